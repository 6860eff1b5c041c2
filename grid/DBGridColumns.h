#pragma once

#include <QList>
#include <memory>
#include <vector>

class TColumn;
class TCustomDBGrid;
class TDataSet;

enum class TDBGridColumnsState { csDefault, csCustomized };

// The columns of a data grid, in display order. Default columns are made
// again from the dataset's visible fields, in field order, at every layout
// (attaching to a dataset, a change of the fields or their order). Customized
// columns stay as they were set; at every layout they find their fields again
// by name. Adding a column, or setting a property of a default one, makes the
// columns customized; SetState(csDefault) goes back to the fields.
class TDBGridColumns
{
public:
    explicit TDBGridColumns(TCustomDBGrid* grid);
    ~TDBGridColumns();
    TDBGridColumns(const TDBGridColumns&) = delete;
    TDBGridColumns& operator=(const TDBGridColumns&) = delete;

    TCustomDBGrid* Grid() const { return FGrid; }
    int Count() const { return int(FItems.size()); }
    TColumn* Items(int index) const { return FItems.at(index).get(); }
    TColumn* operator[](int index) const { return Items(index); }
    int IndexOf(const TColumn* column) const;

    TColumn* Add();
    void Clear();
    // Moves a column to another position; customized columns only (default
    // ones follow the field order).
    void Move(int from, int to);
    TDBGridColumnsState State() const { return FState; }
    void SetState(TDBGridColumnsState state);

private:
    friend class TColumn;
    friend class TCustomDBGrid;

    // Default columns again from the dataset's fields, or customized ones
    // bound to them again; null dataset: no fields.
    void Rebuild(const TDataSet* dataSet);
    void ColumnChanged(TColumn* column);

    TCustomDBGrid* FGrid;
    std::vector<std::unique_ptr<TColumn>> FItems;
    TDBGridColumnsState FState = TDBGridColumnsState::csDefault;
    bool FRebuilding = false;
};
