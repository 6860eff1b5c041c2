#include "BookmarkList.h"

#include <algorithm>
#include <functional>

std::size_t TBookmarkList::Hash::operator()(const TBookmark& bookmark) const
{
    // All entries of one list normally share both serials: the row id spreads them.
    const std::size_t serials =
        std::hash<quint64>()(bookmark.DataSetSerial * 31 + bookmark.OpenSerial);
    return serials ^ (std::hash<qint32>()(bookmark.RowId) * 0x9E3779B97F4A7C15ull);
}

int TBookmarkList::IndexOf(const TBookmark& bookmark) const
{
    if (!Contains(bookmark)) return -1;
    return int(std::find(FItems.begin(), FItems.end(), bookmark) - FItems.begin());
}

bool TBookmarkList::Append(const TBookmark& bookmark)
{
    if (bookmark.IsNull() || !FMembers.insert(bookmark).second) return false;
    FItems.push_back(bookmark);
    return true;
}

void TBookmarkList::RemoveAt(int index)
{
    FMembers.erase(FItems.at(index));
    FItems.erase(FItems.begin() + index);
}

void TBookmarkList::Clear()
{
    FItems.clear();
    FMembers.clear();
}
