#pragma once

#include "TBookmark.h"

#include <cstddef>
#include <unordered_set>
#include <vector>

// Bookmarks in the order they were added, each at most once. A hash of the
// same entries answers membership, so that no caller scans the list to find
// out whether a row is in it.
class TBookmarkList
{
public:
    int Count() const { return int(FItems.size()); }
    bool IsEmpty() const { return FItems.empty(); }
    const TBookmark& Items(int index) const { return FItems.at(index); }
    const TBookmark& operator[](int index) const { return Items(index); }

    bool Contains(const TBookmark& bookmark) const { return FMembers.count(bookmark) > 0; }
    // The entry's position, -1 when absent; scans only for a member.
    int IndexOf(const TBookmark& bookmark) const;
    // False when the bookmark is null or already in the list.
    bool Append(const TBookmark& bookmark);
    void RemoveAt(int index);
    void Clear();

private:
    struct Hash {
        std::size_t operator()(const TBookmark& bookmark) const;
    };

    std::vector<TBookmark> FItems;
    std::unordered_set<TBookmark, Hash> FMembers;
};
