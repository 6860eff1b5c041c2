#pragma once

#include "TDataSet.h"

// The database engine's cursor over a table or a query result; only the
// engine knows what is inside.
struct TEngineCursor;

// A dataset that runs directly on a database engine's cursor. The engine
// compares bookmarks itself by the rows they name, so a bookmark taken before
// the dataset was closed and opened again still finds its row afterwards,
// unless that row has gone. The engine also keeps the record buffers of the
// bound controls, so it knows on which line of them the current row stands.
class TBDEDataSet : public TDataSet
{
public:
    using TDataSet::TDataSet;

    // The engine's cursor; null while closed.
    virtual TEngineCursor* Handle() const = 0;
    // The line of the record buffers on which the current row stands (0 for
    // the top one).
    virtual int ActiveRecord() const = 0;

    // Engine calls; each returns the engine's result code, 0 when it did
    // what it was asked.
    virtual int EnginePreliminary() = 0;
    // Brings the cursor's rows up to date without closing it.
    virtual int RereadCursor(TEngineCursor* cursor) = 0;
    // Puts the cursor on the bookmark's row. The dataset reads its rows
    // through the cursor, so that row becomes the current one.
    virtual int PositionOnBookmark(TEngineCursor* cursor, const TBookmark& bookmark) = 0;
};
