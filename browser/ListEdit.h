#pragma once

#include "model/MediaItem.h"

#include <functional>
#include <utility>
#include <vector>

// How a shown list went from one state to the next, as rows: the runs that
// went, the runs that came, and the rows whose item was replaced by one
// standing for the same thing (a file written in place). Items that remain
// are the same objects (FolderMerge), so they are found by address; only what
// is left over is matched by identity.
struct ListEdit {
    using ItemAt = std::function<const MediaItemPtr&(int)>;

    // Runs [first, last] of old rows, from the last run to the first.
    std::vector<std::pair<int, int>> removed;
    // Runs [first, last] of new rows, from the first run to the last.
    std::vector<std::pair<int, int>> inserted;
    // New rows whose item replaced another at the same place.
    std::vector<int> replaced;
    // The items that remain are in another order, or the change is too
    // spread out to be worth comparing row by row: not told as runs.
    bool reordered = false;

    // Runs beyond this are not worth telling one by one: the view is told
    // that everything changed.
    static constexpr std::size_t kMostRuns = 64;
    // Nor is a change spread over more rows than this between what stayed
    // at both ends: comparing them would keep the main thread (a library of a
    // million tracks read again with edits everywhere).
    static constexpr int kLargestMiddle = 20000;

    bool isEmpty() const { return removed.empty() && inserted.empty() && replaced.empty() && !reordered; }
    // Whether the change is best told as runs of rows.
    bool isSmall() const { return !reordered && removed.size() + inserted.size() <= kMostRuns; }

    static ListEdit between(int oldCount, const ItemAt& oldAt, int newCount, const ItemAt& newAt);

    // The part of this edit a view sees that holds only the first viewRows
    // rows of the old list (the rest still to be handed to it): runs beyond
    // what it holds are left out, and viewRows becomes the number of rows it
    // holds afterwards, the first ones of the new list.
    ListEdit seenByFirst(int& viewRows) const;
};
