#pragma once

#include "TDataLink.h"

class TCustomDBGrid;

// The data link of a grid: its record window is the grid's visible rows, and
// every notification goes to the grid's protected hooks.
class TGridDataLink : public TDataLink
{
public:
    explicit TGridDataLink(TCustomDBGrid* grid) : FGrid(grid) {}
    // The grid being destroyed hears nothing more.
    void Detach() { FGrid = nullptr; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;

private:
    TCustomDBGrid* FGrid;
};
