#include "DRefresh.h"

#include "TQuery.h"

namespace
{
// Frees every bookmark taken, also when a step fails.
struct TBookmarks {
    TDataSet& DataSet;
    TBookmark Current, Previous, Next;
    ~TBookmarks()
    {
        DataSet.FreeBookmark(Current);
        DataSet.FreeBookmark(Previous);
        DataSet.FreeBookmark(Next);
    }
};

// Closes and opens the dataset and finds the old row again, or the row that
// took its place. Returns whether the dataset could be positioned.
bool Reopen(TBDEDataSet& DataSet, bool OneWay)
{
    TBookmarks marks{DataSet, DataSet.GetBookmark(), {}, {}};
    // A step that finds no row sets BOF or EOF without moving: its bookmark
    // would be the current row's, and the step back would leave it.
    if (!DataSet.Bof() && !OneWay) {
        DataSet.Prior();
        if (!DataSet.Bof()) {
            marks.Previous = DataSet.GetBookmark();
            DataSet.Next();
        }
    }
    if (!DataSet.Eof()) {
        DataSet.Next();
        if (!DataSet.Eof()) {
            marks.Next = DataSet.GetBookmark();
            if (!OneWay) DataSet.Prior();
        }
    }
    DataSet.Close();
    DataSet.Open();

    if (DataSet.PositionOnBookmark(DataSet.Handle(), marks.Current) == 0) {
        DataSet.Resync();
        return true;
    }
    if (!marks.Previous.IsNull() &&
        DataSet.PositionOnBookmark(DataSet.Handle(), marks.Previous) == 0) {
        DataSet.Resync();
        // The row after the old previous row stands where the old row stood.
        if (!DataSet.Eof()) DataSet.Next();
        return true;
    }
    if (!marks.Next.IsNull() && DataSet.PositionOnBookmark(DataSet.Handle(), marks.Next) == 0) {
        DataSet.Resync();
        if (!DataSet.Bof() && !OneWay) DataSet.Prior();
        return true;
    }
    return false;
}

void Refresh(TBDEDataSet& DataSet, bool IsQuery, bool OneWay)
{
    DataSet.UpdateCursorPos();
    if (!IsQuery && DataSet.RereadCursor(DataSet.Handle()) == 0) {
        DataSet.Resync();
        return;
    }
    int ActiveRecord = DataSet.ActiveRecord();
    const bool Found = Reopen(DataSet, OneWay);
    if (!Found || OneWay) return;
    // An open puts the found row on the top line: step back as many rows as
    // stood above it before, as far as there are any, and forward again.
    int moved = 0;
    for (; ActiveRecord > 0; --ActiveRecord) {
        DataSet.Prior();
        if (DataSet.Bof()) break;
        ++moved;
    }
    for (; moved > 0 && !DataSet.Eof(); --moved)
        DataSet.Next();
}
} // namespace

bool IsUniDirectionalQuery(const TDataSet* DataSet)
{
    const auto* query = dynamic_cast<const TQuery*>(DataSet);
    return query && query->UniDirectional();
}

bool RefreshDataSet(TDataSet* DataSet)
{
    if (!DataSet) return false;
    auto* engine = dynamic_cast<TBDEDataSet*>(DataSet);
    if (!engine) {
        DataSet->Refresh();
        return false;
    }
    if (engine->State() != TDataSetState::dsBrowse) return false;
    const bool IsQuery = dynamic_cast<TQuery*>(engine) != nullptr;
    engine->EnginePreliminary();
    engine->DisableControls();
    try {
        Refresh(*engine, IsQuery, IsUniDirectionalQuery(engine));
    } catch (...) {
        engine->EnableControls();
        throw;
    }
    engine->EnableControls();
    return true;
}
