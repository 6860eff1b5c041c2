#include "TComboBox.h"

#include <QCompleter>
#include <QLineEdit>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    completer()->setCaseSensitivity(Qt::CaseSensitive);
    connect(this, &QComboBox::editTextChanged, this, &TComboBox::FollowText);
}

void TComboBox::Clear()
{
    clear();
    clearEditText();
}

void TComboBox::AddItems(const QStringList& items)
{
    const int selected = currentIndex();
    const QString text = currentText();
    addItems(items);
    // Qt selects the first entry of a box that was empty.
    if (currentIndex() != selected) {
        setCurrentIndex(selected);
        setEditText(text);
    }
}

void TComboBox::FollowText(const QString& text)
{
    if (FFollowing || (currentIndex() >= 0 && itemText(currentIndex()) == text)) return;
    FFollowing = true;
    const int match = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (match != currentIndex()) {
        // Selecting no entry empties the text; the operator's typing stays.
        const int cursor = lineEdit()->cursorPosition();
        setCurrentIndex(match);
        if (match < 0) {
            lineEdit()->setText(text);
            lineEdit()->setCursorPosition(cursor);
        }
    }
    FFollowing = false;
}
