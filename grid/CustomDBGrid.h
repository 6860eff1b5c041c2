#pragma once

#include "DBGridColumns.h"
#include "GridCanvas.h"
#include "GridColor.h"
#include "GridGeometry.h"
#include "GridTypes.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <functional>
#include <memory>
#include <vector>

class TColumn;
class TDataSet;
class TDataSource;
class TField;
class TGridDataLink;

using TGridKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
using TGridNotifyEvent = std::function<void(QObject* Sender)>;
using TDBGridClickEvent = std::function<void(TColumn* Column)>;

// A data-aware grid that browses the rows of a data source, one grid row per
// row of its data link's record window (the visible rows). It draws every
// cell itself: titles, an indicator column with the current row's arrow and
// the fields' display texts in the fields' alignments. The vertical scroll
// bar follows RecNo of RecordCount, the horizontal one scrolls by columns.
// Keys, clicks and the wheel move the dataset's cursor; the grid never edits,
// appends or deletes rows.
//
// Every Qt handler runs through Application()->Guard(), so an error shows in
// the application's box and EAbort cancels silently. OnKeyDown runs before
// the grid's own key handling; setting Key to 0 or raising EAbort stops it.
// Ctrl+Tab and Ctrl+Shift+Tab move the focus to the next or previous control
// of the window, whatever Tab does in the grid.
//
// Properties live in the protected section, as hooks for derived grids;
// TDBGrid publishes them.
class TCustomDBGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TCustomDBGrid(QWidget* parent = nullptr);
    ~TCustomDBGrid() override;

    TGridCanvas* Canvas() { return &FCanvas; }
    // The current column, as an index into Columns(); -1 without columns.
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int index);
    // The first data column shown right of the fixed ones, as a display position.
    int LeftCol() const { return FGeometry.LeftCol; }
    void SetLeftCol(int displayPosition);
    // Data rows that fit the grid: the record window's size.
    int VisibleRowCount() const { return FGeometry.VisibleRows(); }
    int DefaultRowHeight() const { return FGeometry.RowHeight; }
    int TitleRowHeight() const { return FGeometry.TitleHeight; }
    int IndicatorWidth() const { return FGeometry.IndicatorWidth; }
    // Columns shown (the visible ones), in display order.
    int ShownColumnCount() const { return int(FShown.size()); }
    TColumn* ShownColumn(int displayPosition) const;

    // Grid coordinates, as TGridCoord: the indicator column and the title
    // row count when they are shown.
    int IndicatorOffset() const { return FGeometry.IndicatorOffset(); }
    int TitleOffset() const { return FGeometry.TitleOffset(); }
    TGridCoord MouseCoord(const QPoint& point) const { return FGeometry.MouseCoord(point); }
    // A cell's rectangle in the viewport, without its grid lines; empty when
    // the cell is scrolled out.
    QRect CellRect(int col, int row) const { return FGeometry.CellRect(col, row); }
    // The current row's line in the record window, -1 without one.
    int CurrentWindowRow() const;

    void InvalidateGrid();
    void InvalidateRow(int windowRow);
    void InvalidateTitles();
    // Whether an invalidation waits for the next paint.
    bool UpdatePending() const { return FUpdatePending; }

    TGridKeyEvent OnKeyDown;
    TGridNotifyEvent OnDblClick;
    TDBGridClickEvent OnTitleClick;

protected:
    friend class TGridDataLink;
    friend class TDBGridColumns;

    // ---- properties -----------------------------------------------------
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    TGridDataLink* DataLink() const { return FDataLink.get(); }
    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions options);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);
    QFont TitleFont() const { return FTitleFontSet ? FTitleFont : font(); }
    void SetTitleFont(const QFont& font);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool value) { FDefaultDrawing = value; }
    TDBGridColumns& Columns() { return FColumns; }
    const TDBGridColumns& Columns() const { return FColumns; }

    // ---- hooks ------------------------------------------------------------
    virtual std::unique_ptr<TColumn> CreateColumn(TDBGridColumns* owner);
    // Makes the default columns with AddDefaultColumn: one per visible field
    // of the dataset, in field order; none without a dataset.
    virtual void AddDefaultColumns(const TDataSet* dataSet);
    void AddDefaultColumn(const QString& fieldName, TField* field);
    // Columns again from the fields (or bound to them again), then the layout.
    void RebuildColumns();
    // Row heights, column widths, the record window's size, the scroll bars.
    void UpdateLayout();
    void UpdateScrollBars();
    // The data link became active or inactive (the dataset opened, closed or
    // another one took its place).
    virtual void LinkActive(bool active);
    virtual void DataChanged();
    // The record window moved by distance rows (negative: towards the start).
    virtual void Scroll(int distance);
    // The fields or their order changed: columns again from the fields.
    virtual void LayoutChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(TField* field);
    // A column's property changed or columns were added, moved or removed.
    virtual void ColumnsChanged();
    // The width a column gets when none is set: the width of "0" times the
    // field's display width, plus 4 (64 without a field), or with titles the
    // title's width plus 4 when that is larger.
    virtual int DefaultColumnWidth(const TColumn& column) const;
    int ZeroWidth() const;
    virtual int TitleLineCount() const { return 1; }

    // Painting: BeforePaint, the background of the area, the title row, the
    // indicator column, the data cells, the area right of the last column,
    // the grid lines.
    virtual void BeforePaint() {}
    virtual void PaintBackground(QPainter& painter, const QRect& area);
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                          TGridDrawState state);
    // displayPosition -1: the top-left corner.
    virtual void DrawTitleCell(QPainter& painter, int displayPosition, const QRect& rect,
                               TGridDrawState state);
    virtual void DrawIndicatorCell(QPainter& painter, int windowRow, const QRect& rect,
                                   TGridDrawState state);
    // Runs with windowRow as the record window's ActiveRecord.
    virtual void DrawDataCell(QPainter& painter, int windowRow, TColumn* column, const QRect& rect,
                              TGridDrawState state);
    virtual void PaintPadArea(QPainter& painter, const QRect& area);
    // A title or indicator cell's ground as the style draws a header section.
    void DrawHeaderSection(QPainter& painter, const QRect& rect, bool pressed = false,
                           bool hot = false) const;
    virtual void DrawGridLines(QPainter& painter, const QRect& area);
    // gdSelected for the current row's cells with dgRowSelect, for the
    // current cell without; gdFocused for the current cell while focused.
    TGridDrawState DataCellState(int windowRow, int displayPosition) const;
    using TColumnSpan = TGridGeometry::TColumnSpan;
    std::vector<TColumnSpan> ColumnSpans() const { return FGeometry.ColumnSpans(); }
    QRect PadRect() const { return FGeometry.PadRect(); }
    int DataTop() const { return FGeometry.DataTop(); }
    int RowPitch() const { return FGeometry.RowPitch(); }
    int ColLineWidth() const { return FGeometry.ColLineWidth; }
    int RowLineWidth() const { return FGeometry.RowLineWidth; }
    int FixedWidth() const { return FGeometry.FixedWidth(); }

    // Input, after Qt's event has been taken apart. MouseDown on a data row
    // takes the focus and moves to the row; on the title row it starts a
    // column resize, a column drag or a title click (TitleClick on release).
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           const QPoint& point);
    virtual void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                           const QPoint& point);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& point);
    virtual void DblClick();
    // Handles navigation keys and sets key to 0 for each one handled.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void TitleClick(TColumn* column);
    // A column dragged from one display position to another. Default columns
    // move their fields in the dataset; customized ones move themselves.
    virtual void ColumnMoved(int from, int to);
    // A column's width set with the mouse. Default columns store it in the
    // field's display width; customized ones keep it themselves.
    virtual void ColumnResized(int displayPosition, int width);
    bool CanTakeFocus() const;
    bool TakeFocus();
    // The dataset moves by distance rows; nothing without an active link.
    void MoveBy(int distance);

    // The title press being followed: its display position (-1: none), and
    // whether it has become a column drag.
    int TitlePressColumn() const { return FTitlePress; }
    bool ColumnDragging() const { return FMouseState == TMouseState::msColumnDrag; }

    // ---- Qt -----------------------------------------------------------------
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    enum class TMouseState { msNone, msTitlePress, msColumnDrag, msColumnResize };

    void MakeColumnVisible(int displayPosition);
    void MoveToColumn(int displayPosition);
    void PaintGrid(QPainter& painter, const QRect& area);
    int SelectedDisplayPosition() const;
    void PaintDragImage(QPainter& painter);
    void VerticalScrollBarMoved(int value);

    std::unique_ptr<TGridDataLink> FDataLink;
    TDBGridColumns FColumns;
    TGridCanvas FCanvas;
    TDBGridOptions FOptions;
    bool FReadOnly = false;
    bool FDefaultDrawing = true;
    QFont FTitleFont;
    bool FTitleFontSet = false;
    TColor FColor = TColor::clWindow;

    std::vector<int> FShown;
    TGridGeometry FGeometry;
    int FSelectedIndex = -1;
    bool FUpdatingScrollBars = false;
    bool FUpdatePending = false;
    ulong FLastLeftPress = 0;
    QPointF FLastLeftPressPoint;
    int FWheelDelta = 0;
    int FWheelDeltaX = 0;

    TMouseState FMouseState = TMouseState::msNone;
    int FTitlePress = -1;
    QPoint FPressPoint;
    QPoint FPointer;
    int FResizeColumn = -1;
    int FResizeStartWidth = 0;
    int FResizeWidth = 0;
};
