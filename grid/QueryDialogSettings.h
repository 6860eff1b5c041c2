#pragma once

#include "Exceptions.h"
#include "GridPictures.h"
#include "SelectGrid.h"

#include <QFont>

// The result grid as the query dialog sets it up: its settings, and its two
// handlers that touch painting and keys (selected cells drawn white on the
// highlight colour, Delete swallowed). The one place for them: the dialog,
// the grid's demo, its tests and its benchmark all look at the same grid.
namespace QueryDialogSettings
{

// The dialog's font; its grid uses 12 pixels.
inline QFont DialogFont(int pixelSize = 12)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(pixelSize);
    return font;
}

inline constexpr TColor AlternatingRowColor = TColor(8454143);

// A selected cell: white text on the highlight colour.
inline void DrawDataCell(TSelectGrid& grid, const QRect& rect, TField* field, TGridDrawState state)
{
    if (state != TGridDrawState{TGridDrawStateFlag::gdSelected}) return;
    grid.Canvas()->SetFontColor(TColor::clWhite);
    grid.Canvas()->SetBrushColor(TColor::clHighlight);
    grid.DrawDataCellDefault(rect, field, state);
}

// No row ever leaves the grid.
inline void KeyDown(int key)
{
    if (key == Qt::Key_Delete) throw EAbort();
}

inline void Apply(TSelectGrid& grid)
{
    using enum TDBGridOption;
    grid.SetReadOnly(true);
    grid.SetOptions({dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                     dgTabs, dgRowSelect, dgConfirmDelete, dgCancelOnExit, dgWordWrap,
                     dgMultiSelect});
    grid.SetTitleButtons(true);
    grid.SetTitleAlignment(TAlignment::taLeftJustify);
    grid.SetTitleLines(1);
    grid.SetTitleColor(TColor::clBtnFace);
    grid.SetShowHorzScrollBar(true);
    grid.SetBorderStyle(TGridBorderStyle::bsNone);
    TSelectGridPaintOptions& paint = grid.PaintOptions();
    paint.SetBackgroundBitmap(TGridPictures::SelectGridBackground());
    paint.SetBackgroundDrawStyle(TBackgroundDrawStyle::bdsStretch);
    paint.SetAlternatingRowColor(AlternatingRowColor);
    paint.SetBackgroundOptions(
        {TBackgroundOption::coFillDataCells, TBackgroundOption::coBlendFixedColumn,
         TBackgroundOption::coBlendActiveRecord, TBackgroundOption::coBlendAlternatingRow});
    grid.SetHideAllLines(true);
    grid.setFont(DialogFont());
    grid.SetTitleFont(DialogFont());

    grid.OnDrawDataCell = [&grid](QObject*, const QRect& rect, TField* field,
                                  TGridDrawState state) { DrawDataCell(grid, rect, field, state); };
    grid.OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) { KeyDown(key); };
}

} // namespace QueryDialogSettings
