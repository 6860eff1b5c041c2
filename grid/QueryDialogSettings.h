#pragma once

#include "Exceptions.h"
#include "GridPictures.h"
#include "SelectGrid.h"

#include <QFont>

// The result grid as the query dialog sets it up: its settings, and its two
// handlers that touch painting and keys (selected cells drawn white on the
// highlight colour, Delete swallowed). Shared by the demo, the tests and the
// benchmark, so that all of them look at the same grid.
namespace QueryDialogSettings
{

inline QFont DialogFont()
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(12);
    return font;
}

inline constexpr TColor AlternatingRowColor = TColor(8454143);

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
                                  TGridDrawState state) {
        if (state == TGridDrawState{TGridDrawStateFlag::gdSelected}) {
            grid.Canvas()->SetFontColor(TColor::clWhite);
            grid.Canvas()->SetBrushColor(TColor::clHighlight);
            grid.DrawDataCellDefault(rect, field, state);
        }
    };
    grid.OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Delete) throw EAbort();
    };
}

} // namespace QueryDialogSettings
