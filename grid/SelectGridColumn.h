#pragma once

#include "Column.h"

class TCustomSelectGrid;

// A column of a select grid, named by its field. Its title is the field's
// display label while the grid uses the fields (UseTFields), otherwise the
// title part of the field's line in the grid's Selected list. A grid's
// PlaceholderColumn stands for a position past the last column: its title
// reads as empty and setting it does nothing.
class TSelectGridColumn : public TColumn
{
public:
    TSelectGridColumn(TDBGridColumns* owner, TCustomSelectGrid* grid, bool placeholder = false);

    bool IsPlaceholder() const { return FPlaceholder; }
    QString GetTitle() const;
    // Sets the title where it lives (the Selected line, the field's display
    // label), then the grid widens the column to it and repaints. The grid
    // makes its columns again when the label changes: this column object
    // may be gone once SetTitle returns.
    void SetTitle(const QString& text);
    QString TitleCaption() const override { return GetTitle(); }

private:
    TCustomSelectGrid* FGrid;
    bool FPlaceholder;
};
