#pragma once

#include "GridDataLink.h"
#include "GridFixtures.h"
#include "QueryDialogSettings.h"
#include "SelectGrid.h"

#include <QApplication>
#include <QMouseEvent>

// A select grid as the query dialog has it, with its protected parts reachable
// and a screen depth that a test can lower.
class TestSelectGrid : public TSelectGrid
{
public:
    TestSelectGrid() { QueryDialogSettings::Apply(*this); }

    using TCustomDBGrid::DataLink;
    using TCustomDBGrid::DataTop;
    using TCustomDBGrid::PadRect;
    using TCustomDBGrid::RowPitch;

    int Depth = 32;

    // The point in the middle of a data row, in the first data column.
    QPoint RowPoint(int windowRow) const
    {
        return CellRect(IndicatorOffset(), windowRow + TitleOffset()).center();
    }
    QPoint TitlePoint(int displayPosition) const
    {
        return CellRect(displayPosition + IndicatorOffset(), 0).center();
    }
    QRect DataCell(int windowRow, int displayPosition) const
    {
        return CellRect(displayPosition + IndicatorOffset(), windowRow + TitleOffset());
    }

protected:
    int ScreenDepth() const override { return Depth; }
};

// The NAME values of the selected rows, in list order; leaves the dataset on
// the last of them, as the query dialog's walk does.
inline QStringList SelectedNames(const TCustomSelectGrid& grid, TDataSet& ds)
{
    QStringList names;
    for (int i = 0; i < grid.SelectionBookmarks().Count(); ++i) {
        ds.GotoBookmark(grid.SelectionBookmarks()[i]);
        names << ds.FieldByName(QStringLiteral("NAME"))->AsString();
    }
    return names;
}

// A press that Qt delivers as the second press of a double-click, followed by
// the double-click event and the release, with the timestamps a platform gives.
inline void DoubleClickAsPlatform(QWidget* target, const QPoint& point,
                                  Qt::KeyboardModifiers modifiers)
{
    static ulong clock = 1000000;
    clock += 10000;
    const QPointF local(point);
    const QPointF global(target->mapToGlobal(point));
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons, ulong time) {
        QMouseEvent event(type, local, local, global, Qt::LeftButton, buttons, modifiers);
        event.setTimestamp(time);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, clock);
    send(QEvent::MouseButtonRelease, Qt::NoButton, clock + 20);
    send(QEvent::MouseButtonPress, Qt::LeftButton, clock + 120);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, clock + 120);
    send(QEvent::MouseButtonRelease, Qt::NoButton, clock + 140);
}
