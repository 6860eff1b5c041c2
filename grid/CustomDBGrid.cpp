#include "CustomDBGrid.h"

#include "Column.h"
#include "GridDataLink.h"
#include "IndicatorGlyphs.h"
#include "TApplication.h"
#include "TDataSet.h"
#include "TDataSource.h"
#include "TField.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QStyleOptionHeader>
#include <algorithm>

using enum TDBGridOption;
using enum TGridDrawStateFlag;

TCustomDBGrid::TCustomDBGrid(QWidget* parent)
    : QAbstractScrollArea(parent), FDataLink(std::make_unique<TGridDataLink>(this)), FColumns(this),
      FOptions({dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                dgConfirmDelete, dgCancelOnExit})
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    // Every pixel is painted, so Qt need not clear the viewport first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { Application()->Guard([&] { VerticalScrollBarMoved(value); }); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        Application()->Guard([&] {
            if (!FUpdatingScrollBars) SetLeftCol(value);
        });
    });
    UpdateLayout();
}

TCustomDBGrid::~TCustomDBGrid()
{
    FDataLink->Detach();
}

// ---- properties -------------------------------------------------------------

TDataSource* TCustomDBGrid::DataSource() const
{
    return FDataLink->DataSource();
}

void TCustomDBGrid::SetDataSource(TDataSource* source)
{
    if (source == DataSource()) return;
    FDataLink->SetDataSource(source);
    // An active source replacing an active one raises no ActiveChanged.
    LinkActive(FDataLink->Active());
}

TDataSet* TCustomDBGrid::DataSet() const
{
    return FDataLink->Active() ? FDataLink->DataSet() : nullptr;
}

void TCustomDBGrid::SetOptions(TDBGridOptions options)
{
    if (FOptions == options) return;
    FOptions = options;
    UpdateLayout();
}

void TCustomDBGrid::SetReadOnly(bool readOnly)
{
    FReadOnly = readOnly;
    FDataLink->SetReadOnly(readOnly);
}

void TCustomDBGrid::SetTitleFont(const QFont& font)
{
    FTitleFont = font;
    FTitleFontSet = true;
    UpdateLayout();
}

void TCustomDBGrid::SetColor(TColor color)
{
    FColor = color;
    InvalidateGrid();
}

void TCustomDBGrid::SetSelectedIndex(int index)
{
    if (index < 0 || index >= FColumns.Count() || !FColumns[index]->Visible()) return;
    FSelectedIndex = index;
    MakeColumnVisible(SelectedDisplayPosition());
    InvalidateGrid();
}

void TCustomDBGrid::SetLeftCol(int displayPosition)
{
    displayPosition = std::clamp(displayPosition, 0, FGeometry.MaxLeftCol());
    if (displayPosition == FGeometry.LeftCol) return;
    FGeometry.LeftCol = displayPosition;
    UpdateScrollBars();
    InvalidateGrid();
}

TColumn* TCustomDBGrid::ShownColumn(int displayPosition) const
{
    if (displayPosition < 0 || displayPosition >= ShownColumnCount()) return nullptr;
    return FColumns[FShown[displayPosition]];
}

int TCustomDBGrid::SelectedDisplayPosition() const
{
    for (int d = 0; d < ShownColumnCount(); ++d)
        if (FShown[d] == FSelectedIndex) return d;
    return -1;
}

// ---- geometry ---------------------------------------------------------------

int TCustomDBGrid::CurrentWindowRow() const
{
    const TDataSet* dataSet = DataSet();
    if (!dataSet || dataSet->CurrentPosition() < 0) return -1;
    return dataSet->CurrentPosition() - FDataLink->FirstRecord();
}

// ---- layout -----------------------------------------------------------------

int TCustomDBGrid::ZeroWidth() const
{
    return std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')));
}

int TCustomDBGrid::DefaultColumnWidth(const TColumn& column) const
{
    int width = 64;
    if (const TField* field = column.Field()) width = ZeroWidth() * field->DisplayWidth() + 4;
    if (FOptions.Contains(dgTitles))
        width =
            std::max(width, QFontMetrics(TitleFont()).horizontalAdvance(column.TitleCaption()) + 4);
    return width;
}

std::unique_ptr<TColumn> TCustomDBGrid::CreateColumn(TDBGridColumns* owner)
{
    return std::make_unique<TColumn>(owner);
}

void TCustomDBGrid::AddDefaultColumns(const TDataSet* dataSet)
{
    if (!dataSet) return;
    for (TField* field : dataSet->Fields())
        if (field->Visible()) AddDefaultColumn(field->FieldName(), field);
}

void TCustomDBGrid::AddDefaultColumn(const QString& fieldName, TField* field)
{
    FColumns.FItems.push_back(CreateColumn(&FColumns));
    TColumn* column = FColumns.FItems.back().get();
    column->FFieldName = fieldName;
    column->FField = field;
}

void TCustomDBGrid::RebuildColumns()
{
    const TColumn* selected = FSelectedIndex >= 0 && FSelectedIndex < FColumns.Count()
                                  ? FColumns[FSelectedIndex]
                                  : nullptr;
    const QString selectedName = selected ? selected->FieldName() : QString();
    FColumns.Rebuild(DataSet());
    FSelectedIndex = -1;
    for (int i = 0; i < FColumns.Count() && !selectedName.isEmpty(); ++i)
        if (FColumns[i]->FieldName().compare(selectedName, Qt::CaseInsensitive) == 0) {
            FSelectedIndex = i;
            break;
        }
    UpdateLayout();
}

void TCustomDBGrid::UpdateLayout()
{
    FGeometry.Viewport = viewport()->size();
    FGeometry.Indicator = FOptions.Contains(dgIndicator);
    FGeometry.Titles = FOptions.Contains(dgTitles);
    FGeometry.ColLineWidth = FOptions.Contains(dgColLines) ? 1 : 0;
    FGeometry.RowLineWidth = FOptions.Contains(dgRowLines) ? 1 : 0;
    FGeometry.RowHeight = QFontMetrics(font()).height() + 3;
    FGeometry.TitleHeight = QFontMetrics(TitleFont()).height() * TitleLineCount() + 4;
    FShown.clear();
    FGeometry.Widths.clear();
    for (int i = 0; i < FColumns.Count(); ++i) {
        TColumn* column = FColumns[i];
        column->FDefaultWidth = DefaultColumnWidth(*column);
        if (column->Visible()) {
            FShown.push_back(i);
            FGeometry.Widths.push_back(column->Width());
        }
    }
    if (FSelectedIndex >= FColumns.Count() || SelectedDisplayPosition() < 0)
        FSelectedIndex = FShown.empty() ? -1 : FShown.front();
    FDataLink->SetBufferCount(VisibleRowCount());
    FGeometry.LeftCol = std::clamp(FGeometry.LeftCol, 0, FGeometry.MaxLeftCol());
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomDBGrid::UpdateScrollBars()
{
    FUpdatingScrollBars = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FUpdatingScrollBars};
    QScrollBar* vertical = verticalScrollBar();
    if (const TDataSet* dataSet = DataSet()) {
        vertical->setRange(0, std::max(0, dataSet->RecordCount() - 1));
        vertical->setPageStep(VisibleRowCount());
        vertical->setValue(std::max(0, dataSet->RecNo() - 1));
    } else {
        vertical->setRange(0, 0);
    }
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, FGeometry.MaxLeftCol());
    horizontal->setPageStep(std::max<int>(1, ColumnSpans().size()));
    horizontal->setValue(FGeometry.LeftCol);
}

void TCustomDBGrid::VerticalScrollBarMoved(int value)
{
    if (FUpdatingScrollBars) return;
    if (TDataSet* dataSet = DataSet()) dataSet->MoveBy(value + 1 - dataSet->RecNo());
    UpdateScrollBars();
}

void TCustomDBGrid::MakeColumnVisible(int displayPosition)
{
    if (displayPosition >= 0) SetLeftCol(FGeometry.LeftColShowing(displayPosition));
}

void TCustomDBGrid::MoveToColumn(int displayPosition)
{
    displayPosition = std::clamp(displayPosition, 0, ShownColumnCount() - 1);
    if (displayPosition >= 0) SetSelectedIndex(FShown[displayPosition]);
}

void TCustomDBGrid::MoveBy(int distance)
{
    if (TDataSet* dataSet = DataSet(); dataSet && distance != 0) dataSet->MoveBy(distance);
}

void TCustomDBGrid::InvalidateGrid()
{
    FUpdatePending = true;
    viewport()->update();
}

void TCustomDBGrid::InvalidateRow(int windowRow)
{
    if (windowRow < 0 || windowRow >= VisibleRowCount()) return;
    FUpdatePending = true;
    viewport()->update(0, DataTop() + windowRow * RowPitch(), viewport()->width(), RowPitch());
}

void TCustomDBGrid::InvalidateTitles()
{
    FUpdatePending = true;
    viewport()->update(0, 0, viewport()->width(), DataTop());
}

// ---- data link hooks ----------------------------------------------------------

void TCustomDBGrid::LinkActive(bool active)
{
    RebuildColumns();
}

void TCustomDBGrid::DataChanged()
{
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomDBGrid::Scroll(int distance)
{
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomDBGrid::LayoutChanged()
{
    RebuildColumns();
}

void TCustomDBGrid::EditingChanged()
{
    InvalidateGrid();
}

void TCustomDBGrid::RecordChanged(TField* field)
{
    InvalidateRow(CurrentWindowRow());
}

void TCustomDBGrid::ColumnsChanged()
{
    RebuildColumns();
}

// ---- painting -----------------------------------------------------------------

void TCustomDBGrid::paintEvent(QPaintEvent* event)
{
    FUpdatePending = false;
    QPainter painter(viewport());
    FCanvas.FPainter = &painter;
    Application()->Guard([&] { PaintGrid(painter, event->rect()); });
    FCanvas.FPainter = nullptr;
}

void TCustomDBGrid::PaintGrid(QPainter& painter, const QRect& area)
{
    BeforePaint();
    PaintBackground(painter, area);
    const int io = IndicatorOffset();
    const int to = TitleOffset();
    const std::vector<TColumnSpan> spans = ColumnSpans();
    if (FOptions.Contains(dgTitles)) {
        if (io)
            DrawCell(painter, 0, 0, QRect(0, 0, IndicatorWidth(), FGeometry.TitleHeight),
                     {gdFixed});
        for (const TColumnSpan& span : spans) {
            const QRect rect(span.Left, 0, span.Width, FGeometry.TitleHeight);
            if (rect.intersects(area))
                DrawCell(painter, span.DisplayPosition + io, 0, rect, {gdFixed});
        }
    }
    const int rows = FDataLink->RecordCount();
    if (io)
        for (int r = 0; r < rows; ++r) {
            const QRect rect(0, DataTop() + r * RowPitch(), IndicatorWidth(), FGeometry.RowHeight);
            if (rect.intersects(area)) DrawCell(painter, 0, r + to, rect, {gdFixed});
        }
    for (int r = 0; r < rows; ++r) {
        const int top = DataTop() + r * RowPitch();
        if (top > area.bottom() || top + RowPitch() <= area.top()) continue;
        for (const TColumnSpan& span : spans) {
            const QRect rect(span.Left, top, span.Width, FGeometry.RowHeight);
            if (rect.left() <= area.right() && rect.right() + ColLineWidth() >= area.left())
                DrawCell(painter, span.DisplayPosition + io, r + to, rect,
                         DataCellState(r, span.DisplayPosition));
        }
    }
    if (const QRect pad = PadRect().intersected(area); !pad.isEmpty()) PaintPadArea(painter, pad);
    DrawGridLines(painter, area);
    if (ColumnDragging()) PaintDragImage(painter);
}

void TCustomDBGrid::PaintBackground(QPainter& painter, const QRect& area)
{
    painter.fillRect(area, ColorToQColor(FColor));
}

void TCustomDBGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                             TGridDrawState state)
{
    const int io = IndicatorOffset();
    if (row < TitleOffset()) {
        DrawTitleCell(painter, col - io, rect, state);
        return;
    }
    const int windowRow = row - TitleOffset();
    if (col < io) {
        DrawIndicatorCell(painter, windowRow, rect, state);
        return;
    }
    const int saved = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(windowRow);
    struct Restore {
        TGridDataLink* link;
        int line;
        ~Restore() { link->SetActiveRecord(line); }
    } restore{FDataLink.get(), saved};
    DrawDataCell(painter, windowRow, ShownColumn(col - io), rect, state);
}

TGridDrawState TCustomDBGrid::DataCellState(int windowRow, int displayPosition) const
{
    TGridDrawState state;
    if (windowRow != CurrentWindowRow()) return state;
    const bool current = displayPosition == SelectedDisplayPosition();
    if (current || FOptions.Contains(dgRowSelect)) state.Include(gdSelected);
    if (current && hasFocus()) state.Include(gdFocused);
    return state;
}

void TCustomDBGrid::DrawHeaderSection(QPainter& painter, const QRect& rect, bool pressed,
                                      bool hot) const
{
    QStyleOptionHeader option;
    option.initFrom(this);
    option.rect = rect;
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    option.state.setFlag(QStyle::State_MouseOver, hot);
    style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, this);
}

void TCustomDBGrid::DrawTitleCell(QPainter& painter, int displayPosition, const QRect& rect,
                                  TGridDrawState state)
{
    DrawHeaderSection(painter, rect);
    const TColumn* column = ShownColumn(displayPosition);
    if (!column) return;
    const QFontMetrics metrics(TitleFont());
    const QRect inner = rect.adjusted(2, 0, -2, 0);
    painter.setFont(TitleFont());
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(column->TitleCaption(), Qt::ElideRight, inner.width()));
}

void TCustomDBGrid::DrawIndicatorCell(QPainter& painter, int windowRow, const QRect& rect,
                                      TGridDrawState state)
{
    DrawHeaderSection(painter, rect);
    if (windowRow != CurrentWindowRow()) return;
    TIndicatorGlyph glyph = TIndicatorGlyph::igCurrent;
    if (const TDataSet* dataSet = DataSet()) {
        if (dataSet->State() == TDataSetState::dsEdit)
            glyph = TIndicatorGlyph::igEdit;
        else if (dataSet->State() == TDataSetState::dsInsert)
            glyph = TIndicatorGlyph::igInsert;
    }
    TIndicatorGlyphs::Draw(painter, rect, FGeometry.RowHeight, glyph,
                           palette().color(QPalette::ButtonText));
}

void TCustomDBGrid::DrawDataCell(QPainter& painter, int windowRow, TColumn* column,
                                 const QRect& rect, TGridDrawState state)
{
    const bool highlighted =
        state.Contains(gdSelected) && (hasFocus() || FOptions.Contains(dgAlwaysShowSelection));
    FCanvas.SetFont(font());
    FCanvas.SetBrushColor(highlighted ? TColor::clHighlight : FColor);
    FCanvas.SetFontColor(highlighted ? TColor::clHighlightText : TColor::clWindowText);
    if (!FDefaultDrawing) return;
    FCanvas.FillRect(rect);
    const TField* field = column->Field();
    FCanvas.DrawCellText(rect, field ? field->DisplayText() : QString(), column->Alignment());
}

void TCustomDBGrid::PaintPadArea(QPainter& painter, const QRect& area) {}

void TCustomDBGrid::DrawGridLines(QPainter& painter, const QRect& area)
{
    const QColor color = ColorToQColor(TColor::clSilver);
    const int bottom = DataTop() + FDataLink->RecordCount() * RowPitch() - 1;
    const std::vector<TColumnSpan> spans = ColumnSpans();
    const int right = spans.empty() ? FixedWidth() - 1
                                    : spans.back().Left + spans.back().Width + ColLineWidth() - 1;
    if (ColLineWidth() && bottom >= DataTop()) {
        if (FOptions.Contains(dgIndicator))
            painter.fillRect(QRect(IndicatorWidth(), DataTop(), 1, bottom - DataTop() + 1), color);
        for (const TColumnSpan& span : spans)
            painter.fillRect(QRect(span.Left + span.Width, DataTop(), 1, bottom - DataTop() + 1),
                             color);
    }
    if (RowLineWidth()) {
        if (FOptions.Contains(dgTitles))
            painter.fillRect(QRect(0, FGeometry.TitleHeight, right + 1, 1), color);
        for (int r = 0; r < FDataLink->RecordCount(); ++r)
            painter.fillRect(
                QRect(0, DataTop() + r * RowPitch() + FGeometry.RowHeight, right + 1, 1), color);
    }
}

void TCustomDBGrid::PaintDragImage(QPainter& painter)
{
    const TColumn* column = ShownColumn(FTitlePress);
    if (!column) return;
    const QRect cell = CellRect(FTitlePress + IndicatorOffset(), 0);
    const int width = column->Width();
    const int offset = cell.isEmpty() ? width / 2 : FPressPoint.x() - cell.left();
    const QRect image(FPointer.x() - offset, 0, width,
                      std::max(FGeometry.TitleHeight, FGeometry.RowHeight));
    painter.save();
    painter.setOpacity(0.6);
    painter.fillRect(image, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawRect(image.adjusted(0, 0, -1, -1));
    painter.setFont(TitleFont());
    painter.drawText(image.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     column->TitleCaption());
    painter.restore();
}

// ---- input --------------------------------------------------------------------

bool TCustomDBGrid::CanTakeFocus() const
{
    return isEnabled() && (focusPolicy() & Qt::ClickFocus);
}

bool TCustomDBGrid::TakeFocus()
{
    if (!CanTakeFocus()) return false;
    setFocus(Qt::MouseFocusReason);
    return true;
}

void TCustomDBGrid::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                              const QPoint& point)
{
    const TGridCoord cell = MouseCoord(point);
    if (cell.Y < 0) return;
    if (cell.Y < TitleOffset()) {
        if (button != Qt::LeftButton) return;
        if (FOptions.Contains(dgColumnResize)) {
            if (const int border = FGeometry.ColumnBorderAt(point); border >= 0) {
                FResizeStartWidth = FResizeWidth = FGeometry.Widths[std::size_t(border)];
                FMouseState = TMouseState::msColumnResize;
                FResizeColumn = border;
                FPressPoint = point;
                return;
            }
        }
        if (!TakeFocus()) return;
        FMouseState = TMouseState::msTitlePress;
        FPressPoint = FPointer = point;
        FTitlePress = cell.X >= IndicatorOffset() ? cell.X - IndicatorOffset() : -1;
        InvalidateTitles();
        return;
    }
    const int row = cell.Y - TitleOffset();
    if (row >= FDataLink->RecordCount() || !TakeFocus()) return;
    MoveBy(row - CurrentWindowRow());
    if (!FOptions.Contains(dgRowSelect) && cell.X >= IndicatorOffset())
        MoveToColumn(cell.X - IndicatorOffset());
}

void TCustomDBGrid::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                              const QPoint& point)
{
    const QPoint previous = FPointer;
    FPointer = point;
    switch (FMouseState) {
    case TMouseState::msColumnResize:
        FResizeWidth = std::max(1, FResizeStartWidth + point.x() - FPressPoint.x());
        FGeometry.Widths[std::size_t(FResizeColumn)] = FResizeWidth;
        InvalidateGrid();
        break;
    case TMouseState::msTitlePress:
        if (FTitlePress >= 0 && FOptions.Contains(dgColumnResize) &&
            (std::abs(point.x() - FPressPoint.x()) >= 3 ||
             std::abs(point.y() - FPressPoint.y()) >= 3)) {
            FMouseState = TMouseState::msColumnDrag;
            InvalidateGrid();
        }
        break;
    case TMouseState::msColumnDrag:
        // Near an edge, moving towards it, the columns scroll one step.
        if (point.x() > previous.x() && point.x() >= viewport()->width() - 10)
            SetLeftCol(FGeometry.LeftCol + 1);
        else if (point.x() < previous.x() && point.x() < FixedWidth() + 10)
            SetLeftCol(FGeometry.LeftCol - 1);
        InvalidateGrid();
        break;
    default: {
        const bool border = FOptions.Contains(dgColumnResize) && point.y() < DataTop() &&
                            FGeometry.ColumnBorderAt(point) >= 0;
        viewport()->setCursor(border ? Qt::SplitHCursor : Qt::ArrowCursor);
    }
    }
}

void TCustomDBGrid::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                            const QPoint& point)
{
    if (button != Qt::LeftButton) return;
    const TMouseState state = FMouseState;
    const int pressed = FTitlePress;
    FMouseState = TMouseState::msNone;
    FTitlePress = -1;
    switch (state) {
    case TMouseState::msColumnResize: {
        const int column = FResizeColumn;
        FResizeColumn = -1;
        ColumnResized(column, FResizeWidth);
        break;
    }
    case TMouseState::msColumnDrag: {
        InvalidateGrid();
        const int target = FGeometry.DropPosition(point);
        if (pressed >= 0 && target >= 0 && target != pressed) ColumnMoved(pressed, target);
        break;
    }
    case TMouseState::msTitlePress: {
        InvalidateTitles();
        const TGridCoord cell = MouseCoord(point);
        if (pressed >= 0 && point.y() >= 0 && cell.Y == 0 && TitleOffset() &&
            cell.X == pressed + IndicatorOffset())
            TitleClick(ShownColumn(pressed));
        break;
    }
    default:
        break;
    }
}

void TCustomDBGrid::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TCustomDBGrid::TitleClick(TColumn* column)
{
    if (OnTitleClick) OnTitleClick(column);
}

void TCustomDBGrid::ColumnMoved(int from, int to)
{
    TColumn* moved = ShownColumn(from);
    TColumn* target = ShownColumn(to);
    if (!moved || !target) return;
    if (FColumns.State() == TDBGridColumnsState::csCustomized) {
        FColumns.Move(moved->Index(), target->Index());
        return;
    }
    if (moved->Field() && target->Field()) moved->Field()->SetIndex(target->Field()->Index());
}

void TCustomDBGrid::ColumnResized(int displayPosition, int width)
{
    TColumn* column = ShownColumn(displayPosition);
    if (!column) return;
    if (FColumns.State() == TDBGridColumnsState::csDefault && column->Field()) {
        const int zero = ZeroWidth();
        column->Field()->SetDisplayWidth(
            std::max(0, (width + std::max(0, zero / 2 - 3) - 4) / zero));
    } else {
        column->SetWidth(width);
    }
    UpdateLayout();
}

void TCustomDBGrid::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    const bool ctrl = shift.testFlag(Qt::ControlModifier);
    // Tab may move between columns, so Ctrl+Tab is the way on to the next
    // control, with or without rows.
    if (ctrl && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        QAbstractScrollArea::focusNextPrevChild(key == Qt::Key_Tab &&
                                                !shift.testFlag(Qt::ShiftModifier));
        key = 0;
        return;
    }
    if (!FDataLink->Active()) return;
    TDataSet* dataSet = DataSet();
    const bool rowSelect = FOptions.Contains(dgRowSelect);
    const int current = CurrentWindowRow();
    const int last = FDataLink->RecordCount() - 1;
    const int column = SelectedDisplayPosition();
    switch (key) {
    case Qt::Key_Up:
        MoveBy(ctrl ? -current : -1);
        break;
    case Qt::Key_Down:
        MoveBy(ctrl ? last - current : 1);
        break;
    case Qt::Key_PageUp:
        MoveBy(ctrl ? -current : -VisibleRowCount());
        break;
    case Qt::Key_PageDown:
        MoveBy(ctrl ? last - current : VisibleRowCount());
        break;
    case Qt::Key_Home:
        if (ctrl || rowSelect)
            dataSet->First();
        else
            MoveToColumn(0);
        break;
    case Qt::Key_End:
        if (ctrl || rowSelect)
            dataSet->Last();
        else
            MoveToColumn(ShownColumnCount() - 1);
        break;
    case Qt::Key_Left:
        if (rowSelect)
            MoveBy(-1);
        else
            MoveToColumn(column - 1);
        break;
    case Qt::Key_Right:
        if (rowSelect)
            MoveBy(1);
        else
            MoveToColumn(column + 1);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!FOptions.Contains(dgTabs) || rowSelect) return;
        MoveToColumn(key == Qt::Key_Backtab || shift.testFlag(Qt::ShiftModifier) ? column - 1
                                                                                 : column + 1);
        break;
    default:
        return;
    }
    key = 0;
}

// ---- Qt events ------------------------------------------------------------------

void TCustomDBGrid::resizeEvent(QResizeEvent* event)
{
    Application()->Guard([&] { UpdateLayout(); });
}

void TCustomDBGrid::mousePressEvent(QMouseEvent* event)
{
    // Qt delivers the second press of a double-click as a press before the
    // double-click event; like the double-click itself, it moves nothing.
    const QStyleHints* hints = QGuiApplication::styleHints();
    const bool secondPress =
        event->button() == Qt::LeftButton && FLastLeftPress > 0 &&
        event->timestamp() - FLastLeftPress < ulong(hints->mouseDoubleClickInterval()) &&
        (event->position() - FLastLeftPressPoint).manhattanLength() <=
            hints->mouseDoubleClickDistance();
    FLastLeftPress = event->button() == Qt::LeftButton && !secondPress ? event->timestamp() : 0;
    FLastLeftPressPoint = event->position();
    if (secondPress) return;
    Application()->Guard(
        [&] { MouseDown(event->button(), event->modifiers(), event->position().toPoint()); });
}

void TCustomDBGrid::mouseMoveEvent(QMouseEvent* event)
{
    Application()->Guard(
        [&] { MouseMove(event->buttons(), event->modifiers(), event->position().toPoint()); });
}

void TCustomDBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    Application()->Guard(
        [&] { MouseUp(event->button(), event->modifiers(), event->position().toPoint()); });
}

void TCustomDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Other buttons had their second press delivered as a press already.
    if (event->button() == Qt::LeftButton) Application()->Guard([&] { DblClick(); });
}

void TCustomDBGrid::wheelEvent(QWheelEvent* event)
{
    event->accept();
    Application()->Guard([&] {
        FWheelDelta += event->angleDelta().y();
        FWheelDeltaX += event->angleDelta().x();
        const int rows = FWheelDelta / 120;
        const int columns = FWheelDeltaX / 120;
        FWheelDelta -= rows * 120;
        FWheelDeltaX -= columns * 120;
        MoveBy(-rows);
        if (columns != 0) SetLeftCol(FGeometry.LeftCol - columns);
    });
}

void TCustomDBGrid::keyPressEvent(QKeyEvent* event)
{
    bool unhandled = false;
    Application()->Guard([&] {
        int key = event->key();
        const Qt::KeyboardModifiers shift = event->modifiers();
        if (OnKeyDown) OnKeyDown(this, key, shift);
        if (key != 0) KeyDown(key, shift);
        unhandled = key != 0;
    });
    // Keys the grid has no use for go on to the window, as Enter to a dialog.
    event->setAccepted(!unhandled);
}

void TCustomDBGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateGrid();
}

void TCustomDBGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateGrid();
}

void TCustomDBGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) Application()->Guard([&] { UpdateLayout(); });
}

void TCustomDBGrid::scrollContentsBy(int dx, int dy) {}

bool TCustomDBGrid::focusNextPrevChild(bool next)
{
    // With dgTabs, Tab moves between columns instead of leaving the grid.
    if (FOptions.Contains(dgTabs) && !FOptions.Contains(dgRowSelect) && ShownColumnCount() > 0)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}
