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
    for (QRadioButton* button : std::as_const(FButtons)) {
        FGroup->removeButton(button);
        delete button;
    }
    FButtons.clear();
    const int count = int(FItems.size());
    const int rows = (count + FColumns - 1) / FColumns;
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(FItems.at(i), this);
        FGroup->addButton(button, i);
        FLayout->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
        FButtons.append(button);
    }
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
