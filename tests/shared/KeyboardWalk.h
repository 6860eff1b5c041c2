#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

// The keyboard audit of a window. Controls are named by their object names;
// a focus widget inside a listed control (the line edit of an editable combo
// box, a button of a radio group) counts as that control.
namespace KeyboardWalk
{

inline QWidget* ControlOf(QWidget* widget, QWidget* window, const QList<QWidget*>& controls)
{
    for (QWidget* w = widget; w && w != window; w = w->parentWidget())
        if (controls.contains(w)) return w;
    return widget;
}

inline QString NameOf(const QWidget* widget)
{
    if (!widget) return QStringLiteral("<none>");
    return widget->objectName().isEmpty()
               ? QStringLiteral("<%1>").arg(QLatin1String(widget->metaObject()->className()))
               : widget->objectName();
}

// From the focused control on: Tab (Shift+Tab backwards), and out of a grid,
// where Tab may move between columns, Ctrl+Tab (Ctrl+Shift+Tab). Ends when
// the focus is back on the first control; the names in the order reached.
inline QStringList Walk(QWidget* window, const QList<QWidget*>& controls, bool forward)
{
    QWidget* const start = ControlOf(QApplication::focusWidget(), window, controls);
    QStringList reached{NameOf(start)};
    for (int step = 0; step < 4 * controls.size(); ++step) {
        QWidget* focus = QApplication::focusWidget();
        Qt::KeyboardModifiers modifiers = forward ? Qt::NoModifier : Qt::ShiftModifier;
        if (focus && focus->inherits("TCustomDBGrid")) modifiers |= Qt::ControlModifier;
        QTest::keyClick(focus, forward ? Qt::Key_Tab : Qt::Key_Backtab, modifiers);
        QWidget* now = ControlOf(QApplication::focusWidget(), window, controls);
        if (now == start) return reached;
        reached << NameOf(now);
    }
    reached << QStringLiteral("<never back at the start>");
    return reached;
}

// Visible widgets that take the focus by Tab but belong to none of the
// controls: an audit list that forgot one.
inline QStringList FocusableOutside(QWidget* window, const QList<QWidget*>& controls)
{
    QStringList names;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus) &&
            !controls.contains(ControlOf(w, window, controls)))
            names << NameOf(w);
    return names;
}

// Visible buttons that take no focus and have no key: out of the keyboard's
// reach.
inline QStringList ButtonsWithoutKey(QWidget* window)
{
    QStringList names;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(window) && b->focusPolicy() == Qt::NoFocus && b->shortcut().isEmpty())
            names << NameOf(b);
    return names;
}

// Keys given to more than one button of the window.
inline QStringList SharedKeys(QWidget* window)
{
    QStringList keys;
    QStringList shared;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        const QString key = b->shortcut().toString();
        if (key.isEmpty()) continue;
        if (keys.contains(key) && !shared.contains(key)) shared << key;
        keys << key;
    }
    return shared;
}

} // namespace KeyboardWalk
