#pragma once

#include <QGroupBox>
#include <QStringList>
#include <functional>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

// A captioned group of radio buttons laid out in Columns() columns, filled
// column by column. ItemIndex() is the checked item, -1 for none. Setting it
// clamps: below -1 gives -1 (nothing checked), past the last item gives the
// last item. Replacing the items keeps no item checked.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    QString Caption() const { return title(); }
    void SetCaption(const QString& caption) { setTitle(caption); }

    QStringList Items() const { return FItems; }
    void SetItems(const QStringList& items);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);
    // The checked item's text; empty with none.
    QString SelectedText() const;

    int Columns() const { return FColumns; }
    void SetColumns(int columns);

    QRadioButton* Button(int index) const;

    // Raised when the checked item changes by a click or SetItemIndex.
    std::function<void(QObject* Sender)> OnClick;

private:
    void Rebuild();
    void ButtonToggled(int id, bool checked);

    QStringList FItems;
    int FItemIndex = -1;
    int FColumns = 1;
    QButtonGroup* FGroup;
    QGridLayout* FLayout;
    QList<QRadioButton*> FButtons;
    bool FUpdating = false;
};
