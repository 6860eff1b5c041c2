#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent), FGroup(new QButtonGroup(this)), FLayout(new QGridLayout(this))
{
    FLayout->setContentsMargins(6, 2, 6, 2);
    FLayout->setHorizontalSpacing(4);
    FLayout->setVerticalSpacing(0);
    connect(FGroup, &QButtonGroup::idToggled, this,
            [this](int id, bool checked) { ButtonToggled(id, checked); });
}

void TRadioGroup::SetItems(const QStringList& items)
{
    FItems = items;
    FItemIndex = -1;
    Rebuild();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1) index = -1;
    if (index >= FItems.size()) index = int(FItems.size()) - 1;
    if (index == FItemIndex) return;
    FItemIndex = index;
    FUpdating = true;
    if (index < 0) {
        // A QButtonGroup can't uncheck its last checked button while exclusive.
        FGroup->setExclusive(false);
        for (QRadioButton* button : std::as_const(FButtons))
            button->setChecked(false);
        FGroup->setExclusive(true);
    } else {
        FButtons[index]->setChecked(true);
    }
    FUpdating = false;
    if (OnClick) OnClick(this);
}

QString TRadioGroup::SelectedText() const
{
    return FItemIndex >= 0 ? FItems.at(FItemIndex) : QString();
}

void TRadioGroup::SetColumns(int columns)
{
    columns = qMax(1, columns);
    if (columns == FColumns) return;
    FColumns = columns;
    Rebuild();
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && index < FButtons.size() ? FButtons.at(index) : nullptr;
}

void TRadioGroup::Rebuild()
{
    FUpdating = true;
    FGroup->setExclusive(false);
    for (QRadioButton* button : std::as_const(FButtons)) {
        button->setChecked(false);
        FLayout->removeWidget(button);
    }
    FGroup->setExclusive(true);
    const int count = int(FItems.size());
    while (FButtons.size() > count) {
        QRadioButton* button = FButtons.takeLast();
        FGroup->removeButton(button);
        delete button;
    }
    // The buttons are kept and a new one follows the one before it in the
    // focus chain: a new widget would join the chain at the window's end, and
    // Tab would no longer reach the group where it stands.
    for (int i = 0; i < count; ++i) {
        if (i < FButtons.size()) {
            FButtons[i]->setText(FItems.at(i));
            continue;
        }
        auto* button = new QRadioButton(FItems.at(i), this);
        FGroup->addButton(button, i);
        if (i > 0) QWidget::setTabOrder(FButtons[i - 1], button);
        FButtons.append(button);
    }
    const int rows = (count + FColumns - 1) / FColumns;
    for (int i = 0; i < count; ++i)
        FLayout->addWidget(FButtons[i], rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
    for (int c = 0; c < FLayout->columnCount(); ++c)
        FLayout->setColumnStretch(c, c < FColumns ? 1 : 0);
    FUpdating = false;
}

void TRadioGroup::ButtonToggled(int id, bool checked)
{
    if (FUpdating || !checked) return;
    FItemIndex = id;
    if (OnClick) OnClick(this);
}
