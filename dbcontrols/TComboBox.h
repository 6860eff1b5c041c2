#pragma once

#include <QComboBox>

// An editable drop-down list whose selected entry follows the typed text: an
// entry is selected exactly while the text is its name, and typing anything
// else selects none. So the column that the program works on is always the one
// the box shows. Entered text never becomes a new entry.
class TComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TComboBox(QWidget* parent = nullptr);

    // The selected entry, -1 for none.
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }

    // Removes the entries and the text; no entry stays selected.
    void Clear();
    // Appends entries without selecting one.
    void AddItems(const QStringList& items);

private:
    void FollowText(const QString& text);

    bool FFollowing = false;
};
