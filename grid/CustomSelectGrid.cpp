#include "CustomSelectGrid.h"

#include "GridDataLink.h"
#include "IndicatorGlyphs.h"
#include "TDataSet.h"
#include "TField.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

using enum TDBGridOption;
using enum TGridDrawStateFlag;
using enum TBackgroundOption;

namespace
{
const QChar Tab(QLatin1Char('\t'));

QStringList LineParts(const QString& line, int count)
{
    QStringList parts = line.split(Tab);
    while (parts.size() < count)
        parts.append(QString());
    return parts;
}

// Restores a record window's ActiveRecord when it goes out of scope, also
// when a step in between fails.
struct TActiveRecordKeeper {
    TDataLink* Link;
    int Line;
    explicit TActiveRecordKeeper(TDataLink* link) : Link(link), Line(link->ActiveRecord()) {}
    ~TActiveRecordKeeper() { Link->SetActiveRecord(Line); }
};
} // namespace

TCustomSelectGrid::TCustomSelectGrid(QWidget* parent)
    : TCustomDBGrid(parent), FPlaceholder(nullptr, this, true), FPaintOptions(viewport())
{
    ResetRowSelectedFlags();
}

TCustomSelectGrid::~TCustomSelectGrid()
{
    // The entries go back to their dataset before the grid goes.
    if (TDataSet* dataSet = DataLink()->DataSet())
        for (int i = 0; i < FSelection.Count(); ++i) {
            TBookmark bookmark = FSelection[i];
            dataSet->FreeBookmark(bookmark);
        }
    FSelection.Clear();
}

// ---- properties -----------------------------------------------------------------

void TCustomSelectGrid::SetTitleButtons(bool value)
{
    FTitleButtons = value;
    InvalidateTitles();
}

void TCustomSelectGrid::SetTitleAlignment(TAlignment alignment)
{
    FTitleAlignment = alignment;
    InvalidateTitles();
}

void TCustomSelectGrid::SetTitleLines(int lines)
{
    FTitleLines = std::max(1, lines);
    UpdateLayout();
}

void TCustomSelectGrid::SetTitleColor(TColor color)
{
    FTitleColor = color;
    // The fixed tints are made with it.
    FPaintOptions.SetPaintImagesStale();
    InvalidateGrid();
}

void TCustomSelectGrid::SetDisableThemesInTitle(bool value)
{
    FDisableThemesInTitle = value;
    InvalidateTitles();
}

void TCustomSelectGrid::SetHideAllLines(bool value)
{
    FHideAllLines = value;
    InvalidateGrid();
}

void TCustomSelectGrid::SetUseTFields(bool value)
{
    if (FUseTFields == value) return;
    FUseTFields = value;
    RebuildColumns();
}

void TCustomSelectGrid::SetSelected(const QStringList& lines)
{
    FSelected = lines;
    RebuildSelectedColumns();
    RebuildColumns();
}

void TCustomSelectGrid::SetIndicatorIconColor(TColor color)
{
    FIndicatorIconColor = color;
    InvalidateGrid();
}

void TCustomSelectGrid::SetLineStyle(TGridLineStyle style)
{
    FLineStyle = style;
    InvalidateGrid();
}

void TCustomSelectGrid::SetLineColors(const TGridLineColors& colors)
{
    FLineColors = colors;
    InvalidateGrid();
}

void TCustomSelectGrid::SetShowHorzScrollBar(bool value)
{
    FShowHorzScrollBar = value;
    setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TCustomSelectGrid::SetBorderStyle(TGridBorderStyle style)
{
    FBorderStyle = style;
    setFrameShape(style == TGridBorderStyle::bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TCustomSelectGrid::SetThemesInUse(bool value)
{
    FThemesInUse = value;
    FHotTitleCell = {};
    InvalidateGrid();
}

// ---- selection --------------------------------------------------------------------

void TCustomSelectGrid::ResetRowSelectedFlags()
{
    FRowSelectedFlags.assign(std::size_t(VisibleRowCount()), false);
}

bool TCustomSelectGrid::CurrentRowMembership(int windowRow) const
{
    const TDataSet* dataSet = DataSet();
    if ((dataSet->State() == TDataSetState::dsEdit ||
         dataSet->State() == TDataSetState::dsInsert) &&
        windowRow == CurrentWindowRow())
        return false;
    const TBookmark bookmark = dataSet->ActiveBookmark();
    return !bookmark.IsNull() && FSelection.Contains(bookmark);
}

void TCustomSelectGrid::RefreshRowSelectedFlags()
{
    ResetRowSelectedFlags();
    if (FSelection.IsEmpty() || !DataSet()) return;
    const int rows = std::min(DataLink()->RecordCount(), int(FRowSelectedFlags.size()));
    TActiveRecordKeeper keeper(DataLink());
    for (int i = 0; i < rows; ++i) {
        DataLink()->SetActiveRecord(i);
        FRowSelectedFlags[std::size_t(i)] = CurrentRowMembership(i);
    }
}

bool TCustomSelectGrid::IsWindowRowSelected(int row) const
{
    return row >= 0 && row < int(FRowSelectedFlags.size()) && FRowSelectedFlags[std::size_t(row)];
}

bool TCustomSelectGrid::IsCurrentRowSelected() const
{
    return IsWindowRowSelected(CurrentWindowRow());
}

int TCustomSelectGrid::FindCurrentRowEntry() const
{
    const TDataSet* dataSet = DataSet();
    return dataSet ? FSelection.IndexOf(dataSet->GetBookmark()) : -1;
}

void TCustomSelectGrid::CheckSelectionOpening()
{
    if (FSelection.IsEmpty()) return;
    TDataSet* dataSet = DataSet();
    if (!dataSet || dataSet->OpenSerial() != FSelectionOpening) {
        ClearSelection();
        return;
    }
    // Rows can only have gone away when there are fewer of them.
    if (dataSet->RecordCount() < FSelectionRowCount)
        for (int i = FSelection.Count() - 1; i >= 0; --i)
            if (!dataSet->BookmarkValid(FSelection[i])) {
                TBookmark bookmark = FSelection[i];
                dataSet->FreeBookmark(bookmark);
                FSelection.RemoveAt(i);
            }
    FSelectionRowCount = dataSet->RecordCount();
}

void TCustomSelectGrid::AddCurrentRowToSelection()
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!dataSet) return;
    dataSet->CheckBrowseMode();
    CheckSelectionOpening();
    RefreshRowSelectedFlags();
    if (IsCurrentRowSelected() || !FSelection.Append(dataSet->GetBookmark())) return;
    FSelectionOpening = dataSet->OpenSerial();
    FSelectionRowCount = dataSet->RecordCount();
    const int row = CurrentWindowRow();
    if (row >= 0 && row < int(FRowSelectedFlags.size())) FRowSelectedFlags[std::size_t(row)] = true;
    InvalidateRow(row);
}

void TCustomSelectGrid::RemoveCurrentRowFromSelection()
{
    if (!IsCurrentRowSelected()) return;
    const int index = FindCurrentRowEntry();
    if (index < 0) return;
    TBookmark bookmark = FSelection[index];
    DataSet()->FreeBookmark(bookmark);
    FSelection.RemoveAt(index);
    // The flag follows at once, so that a second toggle before the next
    // paint adds the row again.
    const int row = CurrentWindowRow();
    FRowSelectedFlags[std::size_t(row)] = false;
    InvalidateRow(row);
}

void TCustomSelectGrid::ToggleCurrentRowSelection()
{
    if (IsCurrentRowSelected())
        RemoveCurrentRowFromSelection();
    else
        AddCurrentRowToSelection();
}

void TCustomSelectGrid::ClearSelection()
{
    if (TDataSet* dataSet = DataLink()->DataSet())
        for (int i = 0; i < FSelection.Count(); ++i) {
            TBookmark bookmark = FSelection[i];
            dataSet->FreeBookmark(bookmark);
        }
    FSelection.Clear();
    InvalidateGrid();
    ResetRowSelectedFlags();
}

// ---- columns and titles -------------------------------------------------------------

std::unique_ptr<TColumn> TCustomSelectGrid::CreateColumn(TDBGridColumns* owner)
{
    return std::make_unique<TSelectGridColumn>(owner, this);
}

void TCustomSelectGrid::AddDefaultColumns(const TDataSet* dataSet)
{
    if (FUseTFields) {
        TCustomDBGrid::AddDefaultColumns(dataSet);
        return;
    }
    for (const QString& line : std::as_const(FSelected)) {
        const QString name = line.section(Tab, 0, 0);
        AddDefaultColumn(name, dataSet ? dataSet->FindField(name) : nullptr);
    }
}

int TCustomSelectGrid::DefaultColumnWidth(const TColumn& column) const
{
    int width = 64;
    if (const TField* field = column.Field()) {
        int characters = field->DisplayWidth();
        if (!FUseTFields) {
            bool ok = false;
            const int fromLine =
                LineParts(FSelected.value(SelectedLineOf(column.FieldName())), 2)[1].toInt(&ok);
            if (ok) characters = fromLine;
        }
        width = ZeroWidth() * characters + 4;
    }
    if (Options().Contains(dgTitles)) {
        const QFontMetrics metrics(TitleFont());
        for (const QString& line : column.TitleCaption().split(QLatin1Char('~')))
            width = std::max(width, metrics.horizontalAdvance(line) + 4);
    }
    return width;
}

int TCustomSelectGrid::SelectedLineOf(const QString& fieldName) const
{
    for (int i = 0; i < FSelected.size(); ++i)
        if (FSelected[i].section(Tab, 0, 0).compare(fieldName, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString TCustomSelectGrid::SelectedTitle(const QString& fieldName) const
{
    const int line = SelectedLineOf(fieldName);
    return line < 0 ? QString() : LineParts(FSelected[line], 3)[2];
}

void TCustomSelectGrid::RebuildSelectedColumns()
{
    FSelectedColumns.clear();
    for (const QString& line : std::as_const(FSelected)) {
        FSelectedColumns.push_back(std::make_unique<TSelectGridColumn>(nullptr, this));
        FSelectedColumns.back()->SetFieldName(line.section(Tab, 0, 0));
    }
}

TSelectGridColumn* TCustomSelectGrid::ColumnAt(int i)
{
    if (DataSet())
        return i >= 0 && i < ShownColumnCount() ? static_cast<TSelectGridColumn*>(ShownColumn(i))
                                                : &FPlaceholder;
    return i >= 0 && i < int(FSelectedColumns.size()) ? FSelectedColumns[std::size_t(i)].get()
                                                      : &FPlaceholder;
}

void TCustomSelectGrid::SetColumnTitle(const QString& fieldName, const QString& text)
{
    if (const int line = SelectedLineOf(fieldName); line >= 0) {
        QStringList parts = LineParts(FSelected[line], 3);
        parts[2] = text;
        FSelected[line] = parts.join(Tab);
    }
    if (FUseTFields)
        if (TDataSet* dataSet = DataLink()->DataSet())
            if (TField* field = dataSet->FindField(fieldName)) field->SetDisplayLabel(text);
    RebuildColumns();
}

TGridCoord TCustomSelectGrid::PressedTitleCell() const
{
    if (!FTitleButtons || TitlePressColumn() < 0 || ColumnDragging()) return {};
    return {TitlePressColumn() + IndicatorOffset(), 0};
}

void TCustomSelectGrid::TitleClick(TColumn* column)
{
    TCustomDBGrid::TitleClick(column);
    if (FTitleButtons && column && column->Field() && OnTitleButtonClick)
        OnTitleButtonClick(this, column->Field()->FieldName());
}

void TCustomSelectGrid::ColumnMoved(int from, int to)
{
    if (FUseTFields) {
        TCustomDBGrid::ColumnMoved(from, to);
        return;
    }
    const int source = SelectedLineOf(ShownColumn(from)->FieldName());
    const int target = SelectedLineOf(ShownColumn(to)->FieldName());
    if (source < 0 || target < 0) return;
    FSelected.move(source, target);
    RebuildSelectedColumns();
    RebuildColumns();
}

void TCustomSelectGrid::ColumnResized(int displayPosition, int width)
{
    if (FUseTFields) {
        TCustomDBGrid::ColumnResized(displayPosition, width);
        return;
    }
    const int line = SelectedLineOf(ShownColumn(displayPosition)->FieldName());
    if (line >= 0) {
        const int zero = ZeroWidth();
        QStringList parts = LineParts(FSelected[line], 2);
        parts[1] = QString::number(std::max(0, (width + std::max(0, zero / 2 - 3) - 4) / zero));
        FSelected[line] = parts.join(Tab);
    }
    RebuildColumns();
}

// ---- data link and input --------------------------------------------------------------

void TCustomSelectGrid::LinkActive(bool active)
{
    if (active) {
        CheckSelectionOpening();
    } else if (!FSelection.IsEmpty()) {
        // A data source only disabled for a while still shows the same opening.
        const TDataSet* dataSet = DataLink()->DataSet();
        if (!dataSet || !dataSet->Active() || dataSet->OpenSerial() != FSelectionOpening)
            ClearSelection();
    }
    TCustomDBGrid::LinkActive(active);
    RefreshRowSelectedFlags();
    FCurrentRowSeen = CurrentWindowRow();
}

void TCustomSelectGrid::DataChanged()
{
    CheckSelectionOpening();
    TCustomDBGrid::DataChanged();
    RefreshRowSelectedFlags();
    FCurrentRowSeen = CurrentWindowRow();
}

void TCustomSelectGrid::Scroll(int distance)
{
    const int visible = VisibleRowCount();
    if (std::abs(distance) <= visible && distance % 2 != 0) FAlternationParity ^= 1;
    if (FPaintOptions.FastRecordScrolling() && distance != 0 && std::abs(distance) < visible &&
        !UpdatePending() && isVisible())
        FastScroll(distance);
    else
        TCustomDBGrid::Scroll(distance);
    RefreshRowSelectedFlags();
    FCurrentRowSeen = CurrentWindowRow();
}

void TCustomSelectGrid::FastScroll(int distance)
{
    // Rows already painted move with their records; their shades still
    // match, as the parity has flipped with an odd distance.
    const QRect pad = PadRect();
    const int right = pad.isEmpty() ? viewport()->width() : pad.left();
    const QRect rows(0, DataTop(), right, VisibleRowCount() * RowPitch());
    viewport()->scroll(0, -distance * RowPitch(), rows);
    UpdateScrollBars();
    InvalidateRow(FCurrentRowSeen - distance);
    InvalidateRow(CurrentWindowRow());
    viewport()->update(0, DataTop(), FixedWidth(), rows.height());
}

void TCustomSelectGrid::LayoutChanged()
{
    // A dataset reopened while its controls were disabled shows up here only.
    CheckSelectionOpening();
    TCustomDBGrid::LayoutChanged();
    RefreshRowSelectedFlags();
}

void TCustomSelectGrid::EditingChanged()
{
    TCustomDBGrid::EditingChanged();
    RefreshRowSelectedFlags();
}

void TCustomSelectGrid::RecordChanged(TField* field)
{
    // Edit raises this even for a read-only grid: the edited row stops
    // counting as selected.
    TCustomDBGrid::RecordChanged(field);
    RefreshRowSelectedFlags();
}

void TCustomSelectGrid::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                  const QPoint& point)
{
    const TGridCoord cell = MouseCoord(point);
    const int row = cell.Y - TitleOffset();
    const bool dataRow = cell.Y >= TitleOffset() && row < DataLink()->RecordCount();
    TCustomDBGrid::MouseDown(button, shift, point);
    if (dataRow && CanTakeFocus() && Options().Contains(dgMultiSelect) &&
        (shift & (Qt::ControlModifier | Qt::ShiftModifier)))
        ToggleCurrentRowSelection();
}

void TCustomSelectGrid::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                                  const QPoint& point)
{
    TCustomDBGrid::MouseMove(buttons, shift, point);
    if (!FThemesInUse || buttons.testFlag(Qt::LeftButton)) return;
    const TGridCoord cell = MouseCoord(point);
    TGridCoord hot;
    if (Options().Contains(dgTitles) && cell.Y == 0 && cell.X >= IndicatorOffset()) hot = cell;
    if (hot == FHotTitleCell) return;
    FHotTitleCell = hot;
    InvalidateTitles();
}

void TCustomSelectGrid::leaveEvent(QEvent* event)
{
    TCustomDBGrid::leaveEvent(event);
    if (FHotTitleCell == TGridCoord()) return;
    FHotTitleCell = {};
    InvalidateTitles();
}

void TCustomSelectGrid::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Space && DataLink()->Active() && Options().Contains(dgRowSelect) &&
        Options().Contains(dgMultiSelect)) {
        ToggleCurrentRowSelection();
        key = 0;
        return;
    }
    TCustomDBGrid::KeyDown(key, shift);
}

void TCustomSelectGrid::resizeEvent(QResizeEvent* event)
{
    FPaintOptions.SetPaintImagesStale();
    TCustomDBGrid::resizeEvent(event);
    RefreshRowSelectedFlags();
}

int TCustomSelectGrid::ScreenDepth() const
{
    return viewport()->depth();
}

// ---- painting -------------------------------------------------------------------------

bool TCustomSelectGrid::FocusInsideGrid() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != this && focus != viewport() && isAncestorOf(focus);
}

void TCustomSelectGrid::BeforePaint()
{
    RefreshRowSelectedFlags();
    if (FPaintOptions.PaintImagesStale()) {
        const int firstRow = Options().Contains(dgTitles) ? TitleRowHeight() : DefaultRowHeight();
        FPaintOptions.PrepareImages(viewport()->size(), ColorToQColor(FTitleColor), firstRow,
                                    ScreenDepth());
    }
}

void TCustomSelectGrid::PaintBackground(QPainter& painter, const QRect& area)
{
    const QImage& ground = FPaintOptions.BackgroundImage();
    if (!ground.isNull() && FPaintOptions.BackgroundOptions().Contains(coFillDataCells))
        painter.drawImage(area.topLeft(), ground, area);
    else
        painter.fillRect(area, ColorToQColor(Color()));
}

void TCustomSelectGrid::DrawTitleBackground(QPainter& painter, const QRect& rect, bool pressed,
                                            bool hot)
{
    const QImage& fixedRow = FPaintOptions.FixedRowTint();
    if (FThemesInUse && !FDisableThemesInTitle && fixedRow.isNull()) {
        DrawHeaderSection(painter, rect, pressed, hot && FTitleButtons);
    } else if (!fixedRow.isNull()) {
        painter.drawImage(rect.topLeft(), fixedRow, rect);
    } else {
        painter.fillRect(rect, ColorToQColor(FTitleColor));
    }
}

void TCustomSelectGrid::DrawTitleCell(QPainter& painter, int displayPosition, const QRect& rect,
                                      TGridDrawState state)
{
    const int col = displayPosition + IndicatorOffset();
    const bool pressed = displayPosition >= 0 && PressedTitleCell().X == col;
    const bool hot = displayPosition >= 0 && FHotTitleCell == TGridCoord{col, 0};
    DrawTitleBackground(painter, rect, pressed, hot);
    const TColumn* column = ShownColumn(displayPosition);
    if (!column) return;
    const QStringList lines = column->TitleCaption().split(QLatin1Char('~'));
    const QFontMetrics metrics(TitleFont());
    const int textHeight = metrics.height();
    const int shift = pressed ? 1 : 0;
    const int top = int(std::trunc(rect.height() / 2.0 - textHeight * FTitleLines / 2.0));
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    if (FTitleAlignment == TAlignment::taRightJustify)
        flags |= Qt::AlignRight;
    else if (FTitleAlignment == TAlignment::taCenter)
        flags |= Qt::AlignHCenter;
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(TitleFont());
    painter.setPen(ColorToQColor(TColor::clWindowText));
    for (int i = 0; i < std::min<int>(lines.size(), FTitleLines); ++i) {
        const QRect line(rect.left() + 2 + shift, rect.top() + top + i * textHeight + shift,
                         rect.width() - 4, textHeight);
        painter.drawText(line, flags, metrics.elidedText(lines[i], Qt::ElideRight, line.width()));
    }
    painter.restore();
}

void TCustomSelectGrid::DrawIndicatorCell(QPainter& painter, int windowRow, const QRect& rect,
                                          TGridDrawState state)
{
    if (FThemesInUse && FPaintOptions.FixedRowTint().isNull()) {
        DrawHeaderSection(painter, rect);
    } else if (const QImage& tint = FPaintOptions.FixedColumnTint(); !tint.isNull()) {
        painter.drawImage(rect.topLeft(), tint, rect);
    } else {
        painter.fillRect(rect, ColorToQColor(FTitleColor));
    }
    const bool current = windowRow == CurrentWindowRow();
    const bool selected = Options().Contains(dgMultiSelect) && IsWindowRowSelected(windowRow);
    const TDataSetState dataSetState = DataSet() ? DataSet()->State() : TDataSetState::dsInactive;
    TIndicatorGlyph glyph;
    if (current && dataSetState == TDataSetState::dsEdit)
        glyph = TIndicatorGlyph::igEdit;
    else if (current && dataSetState == TDataSetState::dsInsert)
        glyph = TIndicatorGlyph::igInsert;
    else if (current)
        glyph = selected ? TIndicatorGlyph::igCurrentSelected : TIndicatorGlyph::igCurrent;
    else if (selected)
        glyph = TIndicatorGlyph::igSelected;
    else
        return;
    TIndicatorGlyphs::Draw(painter, rect, DefaultRowHeight(), glyph,
                           ColorToQColor(FIndicatorIconColor));
}

void TCustomSelectGrid::DrawDataCell(QPainter& painter, int windowRow, TColumn* column,
                                     const QRect& rect, TGridDrawState state)
{
    TField* field = column->Field();
    const QString text = field ? field->DisplayText() : QString();
    const bool highlighted = Options().Contains(dgMultiSelect)
                                 ? IsWindowRowSelected(windowRow)
                                 : state.Contains(gdSelected) &&
                                       (hasFocus() || Options().Contains(dgAlwaysShowSelection));
    // With themes, a cell whose grid holds the focus in a window of its own
    // keeps its ground and shows neither highlight nor text.
    const bool keepGround = highlighted && FThemesInUse && FocusInsideGrid();
    TGridCanvas* canvas = Canvas();
    canvas->SetFont(font());
    canvas->SetBrushColor(Color());
    canvas->SetFontColor(TColor::clWindowText);
    if (highlighted) {
        const TColor brush = FPaintOptions.ActiveRecordColor() == TColor::clNone
                                 ? TColor::clHighlight
                                 : FPaintOptions.ActiveRecordColor();
        canvas->SetBrushColor(brush);
        canvas->SetFontColor(TColor::clHighlightText);
    }

    const QImage& ground = FPaintOptions.BackgroundImage();
    const bool fromPicture =
        !ground.isNull() && FPaintOptions.BackgroundOptions().Contains(coFillDataCells);
    QColor groundColor = ColorToQColor(Color());
    if (fromPicture) {
        QRect area = rect;
        if (!Options().Contains(dgRowLines) && !Options().Contains(dgHideBottomDataLine))
            area.setBottom(area.bottom() + 1);
        const TColor alternating = FPaintOptions.AlternatingRowColor();
        if (alternating != TColor::clNone &&
            FPaintOptions.AlternatingRowRegions().Contains(TAlternatingRowRegion::arrDataColumns) &&
            windowRow % 2 != FAlternationParity) {
            const QRect band = area.adjusted(-1, 0, 0, 0);
            if (const QImage& tint = FPaintOptions.AlternatingTint(); !tint.isNull()) {
                painter.drawImage(band.topLeft(), tint, band);
            } else {
                groundColor = ColorToQColor(alternating);
                painter.fillRect(band, groundColor);
            }
        } else {
            painter.drawImage(area.topLeft(), ground, area);
        }
    }

    bool filled = false;
    if (DefaultDrawing() && !keepGround) {
        if (highlighted) {
            canvas->FillRect(rect);
            filled = true;
        }
        canvas->DrawCellText(rect, text, column->Alignment(), Options().Contains(dgWordWrap));
    }
    if (Options().Contains(dgRowLines))
        DrawRowLine(painter, rect, filled || fromPicture || groundColor == QColor(Qt::white));

    if (OnDrawDataCell) {
        try {
            OnDrawDataCell(this, rect, field, state);
        } catch (...) {
            // A failing handler costs its own cell only; the paint goes on.
        }
    }
}

void TCustomSelectGrid::DrawRowLine(QPainter& painter, const QRect& cell, bool plainGround)
{
    const QRect line(cell.left(), cell.bottom() + 1, cell.width(), 1);
    if (FLineStyle == TGridLineStyle::glsSingle || plainGround) {
        painter.fillRect(line, ColorToQColor(FLineColors.DataColor));
        return;
    }
    painter.fillRect(line, ColorToQColor(FLineColors.ShadowColor));
    painter.fillRect(QRect(cell.left(), cell.top(), cell.width(), 1),
                     ColorToQColor(FLineColors.HighlightColor));
}

void TCustomSelectGrid::DrawDataCellDefault(const QRect& Rect, TField* Field, TGridDrawState State)
{
    TGridCanvas* canvas = Canvas();
    if (!canvas->Painter()) return;
    canvas->FillRect(Rect);
    canvas->DrawCellText(Rect, Field ? Field->DisplayText() : QString(),
                         Field ? Field->Alignment() : TAlignment::taLeftJustify);
}

void TCustomSelectGrid::PaintPadArea(QPainter& painter, const QRect& area)
{
    if (const QImage& tint = FPaintOptions.FixedColumnTint(); !tint.isNull())
        painter.drawImage(area.topLeft(), tint, area);
    else
        painter.fillRect(area, ColorToQColor(FTitleColor));
}

void TCustomSelectGrid::DrawGridLines(QPainter& painter, const QRect& area)
{
    if (FHideAllLines) return;
    // Row lines come with each data cell; the rest are the column lines and
    // the line under the titles.
    const QColor color = ColorToQColor(FLineColors.DataColor);
    const int bottom = DataTop() + DataLink()->RecordCount() * RowPitch() - 1;
    const std::vector<TColumnSpan> spans = ColumnSpans();
    if (ColLineWidth() && bottom >= DataTop()) {
        if (Options().Contains(dgIndicator))
            painter.fillRect(QRect(IndicatorWidth(), DataTop(), 1, bottom - DataTop() + 1), color);
        for (const TColumnSpan& span : spans)
            painter.fillRect(QRect(span.Left + span.Width, DataTop(), 1, bottom - DataTop() + 1),
                             color);
    }
    if (RowLineWidth() && Options().Contains(dgTitles) && !spans.empty())
        painter.fillRect(QRect(0, TitleRowHeight(), spans.back().Left + spans.back().Width, 1),
                         color);
}
