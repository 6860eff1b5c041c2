#include "DBGridColumns.h"

#include "Column.h"
#include "CustomDBGrid.h"
#include "TDataSet.h"

#include <algorithm>

TDBGridColumns::TDBGridColumns(TCustomDBGrid* grid) : FGrid(grid) {}

TDBGridColumns::~TDBGridColumns() = default;

int TDBGridColumns::IndexOf(const TColumn* column) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].get() == column) return i;
    return -1;
}

TColumn* TDBGridColumns::Add()
{
    FState = TDBGridColumnsState::csCustomized;
    FItems.push_back(FGrid->CreateColumn(this));
    TColumn* column = FItems.back().get();
    FGrid->ColumnsChanged();
    return column;
}

void TDBGridColumns::Clear()
{
    FItems.clear();
    FGrid->ColumnsChanged();
}

void TDBGridColumns::Move(int from, int to)
{
    if (FState != TDBGridColumnsState::csCustomized || from < 0 || from >= Count()) return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    auto column = std::move(FItems[from]);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(column));
    FGrid->ColumnsChanged();
}

void TDBGridColumns::SetState(TDBGridColumnsState state)
{
    if (FState == state) return;
    FState = state;
    if (state == TDBGridColumnsState::csDefault) FGrid->LayoutChanged();
}

void TDBGridColumns::Rebuild(const TDataSet* dataSet)
{
    FRebuilding = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FRebuilding};
    if (FState == TDBGridColumnsState::csDefault) {
        FItems.clear();
        FGrid->AddDefaultColumns(dataSet);
        return;
    }
    for (const auto& column : FItems)
        column->FField = dataSet ? dataSet->FindField(column->FFieldName) : nullptr;
}

void TDBGridColumns::ColumnChanged(TColumn* column)
{
    if (FRebuilding) return;
    FState = TDBGridColumnsState::csCustomized;
    FGrid->ColumnsChanged();
}
