#pragma once

#include "BookmarkList.h"
#include "CustomDBGrid.h"
#include "SelectGridColumn.h"
#include "SelectGridPaintOptions.h"

#include <QStringList>
#include <vector>

enum class TGridLineStyle { glsSingle, glsDynamic };
enum class TGridBorderStyle { bsNone, bsSingle };

// The colours of the lines between data rows.
struct TGridLineColors {
    TColor DataColor = TColor::clSilver;
    TColor ShadowColor = TColor::clBtnShadow;
    TColor HighlightColor = TColor::clBtnHighlight;
};

using TTitleButtonClickEvent = std::function<void(QObject* Sender, const QString& AFieldName)>;
using TDrawDataCellEvent =
    std::function<void(QObject* Sender, const QRect& Rect, TField* Field, TGridDrawState State)>;

// The multi-select grid of the query dialog.
//
// Selection: with dgMultiSelect, SelectionBookmarks holds the selected rows
// in the order they were added, independent of the current row. Ctrl- or
// Shift-click and Space toggle the current row; a plain click only moves.
// RowSelectedFlags tells for each row of the record window whether it is
// selected; painting reads only the flags, and the flags are rebuilt from a
// hash of the entries, so neither scans the list. Entries belong to one
// opening of one dataset: the list empties itself when that dataset closes,
// when another dataset takes its place (through the data source or another
// data source), and when it is reopened or refreshed under the grid; it drops
// the entries of rows that were deleted. An entry is therefore never taken
// for a row of another dataset or opening. A data source that is disabled and
// enabled again leaves the list as it was.
//
// Titles: columns come from the dataset's visible fields (UseTFields) or
// from the Selected lines ("field<TAB>width<TAB>title<TAB>T|F[<TAB>group]").
// A left click on a title raises OnTitleButtonClick with the column's field
// name (TitleButtons); moving 3 pixels or more while pressed drags the column
// instead, which moves its field in the dataset.
//
// Painting: see TSelectGridPaintOptions for the ground; every other record is
// banded with the alternating tint, and AlternationParity flips on short
// scrolls so that a record keeps its shade while it moves on the screen.
// OnDrawDataCell runs after each data cell is painted; an exception it
// raises is discarded.
class TCustomSelectGrid : public TCustomDBGrid
{
    Q_OBJECT

public:
    explicit TCustomSelectGrid(QWidget* parent = nullptr);
    ~TCustomSelectGrid() override;

    // ---- selection ----------------------------------------------------------
    const TBookmarkList& SelectionBookmarks() const { return FSelection; }
    // Brings the dataset back to browsing first (a closed dataset fails
    // there); adds nothing when the row is selected or has no bookmark.
    void AddCurrentRowToSelection();
    void RemoveCurrentRowFromSelection();
    void ToggleCurrentRowSelection();
    void ClearSelection();
    bool IsCurrentRowSelected() const;
    // False for a row past the end of the flags.
    bool IsWindowRowSelected(int row) const;
    void RefreshRowSelectedFlags();
    // The first entry equal to the current row's bookmark, or -1.
    int FindCurrentRowEntry() const;
    const std::vector<bool>& RowSelectedFlags() const { return FRowSelectedFlags; }

    // ---- columns and titles -------------------------------------------------
    // The column of the i-th shown field (of the i-th Selected line while no
    // dataset is active); PlaceholderColumn past the last one.
    TSelectGridColumn* ColumnAt(int i);
    TSelectGridColumn* PlaceholderColumn() { return &FPlaceholder; }
    // The title cell pressed with the left button; X, Y -1 for none.
    TGridCoord PressedTitleCell() const;
    TGridCoord HotTitleCell() const { return FHotTitleCell; }

    // ---- painting -------------------------------------------------------------
    TSelectGridPaintOptions& PaintOptions() { return FPaintOptions; }
    const TSelectGridPaintOptions& PaintOptions() const { return FPaintOptions; }
    int AlternationParity() const { return FAlternationParity; }
    // Paints a data cell's default content with the canvas's current font and
    // brush: the rectangle filled, the field's display text on one line.
    void DrawDataCellDefault(const QRect& Rect, TField* Field, TGridDrawState State);

    TTitleButtonClickEvent OnTitleButtonClick;
    TDrawDataCellEvent OnDrawDataCell;

protected:
    friend class TSelectGridColumn;

    // ---- properties -------------------------------------------------------------
    bool TitleButtons() const { return FTitleButtons; }
    void SetTitleButtons(bool value);
    TAlignment TitleAlignment() const { return FTitleAlignment; }
    void SetTitleAlignment(TAlignment alignment);
    int TitleLines() const { return FTitleLines; }
    void SetTitleLines(int lines);
    TColor TitleColor() const { return FTitleColor; }
    void SetTitleColor(TColor color);
    bool DisableThemesInTitle() const { return FDisableThemesInTitle; }
    void SetDisableThemesInTitle(bool value);
    bool HideAllLines() const { return FHideAllLines; }
    void SetHideAllLines(bool value);
    bool UseTFields() const { return FUseTFields; }
    void SetUseTFields(bool value);
    QStringList Selected() const { return FSelected; }
    void SetSelected(const QStringList& lines);
    TColor IndicatorIconColor() const { return FIndicatorIconColor; }
    void SetIndicatorIconColor(TColor color);
    TGridLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TGridLineStyle style);
    TGridLineColors LineColors() const { return FLineColors; }
    void SetLineColors(const TGridLineColors& colors);
    bool ShowHorzScrollBar() const { return FShowHorzScrollBar; }
    void SetShowHorzScrollBar(bool value);
    TGridBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TGridBorderStyle style);
    // Whether title and indicator cells are drawn as the style's header
    // sections (the platform's visual themes) or filled with TitleColor.
    bool ThemesInUse() const { return FThemesInUse; }
    void SetThemesInUse(bool value);

    // ---- hooks ------------------------------------------------------------------
    std::unique_ptr<TColumn> CreateColumn(TDBGridColumns* owner) override;
    void AddDefaultColumns(const TDataSet* dataSet) override;
    int DefaultColumnWidth(const TColumn& column) const override;
    int TitleLineCount() const override { return FTitleLines; }
    void LinkActive(bool active) override;
    void DataChanged() override;
    void Scroll(int distance) override;
    void LayoutChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void BeforePaint() override;
    void PaintBackground(QPainter& painter, const QRect& area) override;
    void DrawTitleCell(QPainter& painter, int displayPosition, const QRect& rect,
                       TGridDrawState state) override;
    void DrawIndicatorCell(QPainter& painter, int windowRow, const QRect& rect,
                           TGridDrawState state) override;
    void DrawDataCell(QPainter& painter, int windowRow, TColumn* column, const QRect& rect,
                      TGridDrawState state) override;
    void PaintPadArea(QPainter& painter, const QRect& area) override;
    void DrawGridLines(QPainter& painter, const QRect& area) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                   const QPoint& point) override;
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                   const QPoint& point) override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void TitleClick(TColumn* column) override;
    void ColumnMoved(int from, int to) override;
    void ColumnResized(int displayPosition, int width) override;
    // The screen's bits per pixel, for the 8-bit rule.
    virtual int ScreenDepth() const;

    void resizeEvent(QResizeEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetColumnTitle(const QString& fieldName, const QString& text);
    int SelectedLineOf(const QString& fieldName) const;
    QString SelectedTitle(const QString& fieldName) const;
    void RebuildSelectedColumns();
    bool CurrentRowMembership(int windowRow) const;
    void CheckSelectionOpening();
    void ResetRowSelectedFlags();
    bool FocusInsideGrid() const;
    void DrawTitleBackground(QPainter& painter, const QRect& rect, bool pressed, bool hot);
    void DrawRowLine(QPainter& painter, const QRect& cell, bool plainGround);
    void FastScroll(int distance);

    TBookmarkList FSelection;
    quint64 FSelectionOpening = 0;
    int FSelectionRowCount = 0;
    std::vector<bool> FRowSelectedFlags;
    int FCurrentRowSeen = -1;

    bool FTitleButtons = false;
    TAlignment FTitleAlignment = TAlignment::taLeftJustify;
    int FTitleLines = 1;
    TColor FTitleColor = TColor::clBtnFace;
    bool FDisableThemesInTitle = false;
    bool FHideAllLines = false;
    bool FUseTFields = true;
    QStringList FSelected;
    TColor FIndicatorIconColor = TColor::clBlack;
    TGridLineStyle FLineStyle = TGridLineStyle::glsDynamic;
    TGridLineColors FLineColors;
    bool FShowHorzScrollBar = true;
    TGridBorderStyle FBorderStyle = TGridBorderStyle::bsSingle;
    bool FThemesInUse = true;
    TGridCoord FHotTitleCell;

    TSelectGridColumn FPlaceholder;
    std::vector<std::unique_ptr<TSelectGridColumn>> FSelectedColumns;
    TSelectGridPaintOptions FPaintOptions;
    int FAlternationParity = 0;
};
