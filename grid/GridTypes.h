#pragma once

#include "TSet.h"

// Options of the data grids. The plain grid reads the first thirteen;
// dgWordWrap and dgHideBottomDataLine only change how the select grid paints.
enum class TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect,
    dgWordWrap,
    dgHideBottomDataLine
};
using TDBGridOptions = TSet<TDBGridOption>;

// What a cell is while it is drawn: in the current selection, the focused
// cell, a title or indicator cell.
enum class TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

// A cell in grid coordinates: X counts the indicator column when there is
// one, Y the title row when there is one; -1 for none.
struct TGridCoord {
    int X = -1;
    int Y = -1;
    bool operator==(const TGridCoord&) const = default;
};
