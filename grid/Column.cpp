#include "Column.h"

#include "DBGridColumns.h"

TColumn::TColumn(TDBGridColumns* owner) : FOwner(owner) {}

TColumn::~TColumn() = default;

int TColumn::Index() const
{
    return FOwner ? FOwner->IndexOf(this) : -1;
}

void TColumn::SetFieldName(const QString& name)
{
    if (FFieldName == name) return;
    FFieldName = name;
    Changed();
}

QString TColumn::TitleCaption() const
{
    if (FTitleCaptionSet) return FTitleCaption;
    return FField ? FField->DisplayName() : FFieldName;
}

void TColumn::SetTitleCaption(const QString& caption)
{
    FTitleCaption = caption;
    FTitleCaptionSet = true;
    Changed();
}

void TColumn::SetWidth(int width)
{
    FWidth = qMax(0, width);
    FWidthSet = true;
    Changed();
}

void TColumn::SetVisible(bool visible)
{
    if (FVisible == visible) return;
    FVisible = visible;
    Changed();
}

TAlignment TColumn::Alignment() const
{
    return FField ? FField->Alignment() : TAlignment::taLeftJustify;
}

void TColumn::Changed()
{
    if (FOwner) FOwner->ColumnChanged(this);
}
