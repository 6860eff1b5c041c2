#pragma once

class TDataSet;

// Re-reads a dataset from the database keeping the user on the same row and,
// as far as there are rows above it, on the same line of the bound controls.
//
// Engine datasets in browse state are re-read through their cursor (or closed
// and opened again, queries always) and positioned on the old row's bookmark,
// else on the row after the old previous row, else on the row before the old
// next row, else left on their first row; the result is then true. Any other
// dataset gets its own Refresh() and the result is false, as it is for none
// and for an engine dataset that is not in browse state (left untouched).
// Failures propagate after the bound controls have been enabled again.
bool RefreshDataSet(TDataSet* DataSet);

// True for an engine query that reads forwards only.
bool IsUniDirectionalQuery(const TDataSet* DataSet);
