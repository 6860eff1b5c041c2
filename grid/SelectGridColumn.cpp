#include "SelectGridColumn.h"

#include "CustomSelectGrid.h"

TSelectGridColumn::TSelectGridColumn(TDBGridColumns* owner, TCustomSelectGrid* grid,
                                     bool placeholder)
    : TColumn(owner), FGrid(grid), FPlaceholder(placeholder)
{
}

QString TSelectGridColumn::GetTitle() const
{
    if (FPlaceholder) return {};
    if (FGrid->UseTFields() && Field()) return Field()->DisplayName();
    return FGrid->SelectedTitle(FieldName());
}

void TSelectGridColumn::SetTitle(const QString& text)
{
    if (FPlaceholder) return;
    TCustomSelectGrid* grid = FGrid;
    const QString fieldName = FieldName();
    grid->SetColumnTitle(fieldName, text);
}
