#include "browser/ListEdit.h"

#include <QHash>
#include <QString>

#include <algorithm>

namespace {

// Adds row to the runs, which grow in the given direction.
void addToRuns(std::vector<std::pair<int, int>>& runs, int row) {
    if (!runs.empty() && runs.back().second + 1 == row) {
        runs.back().second = row;
    } else {
        runs.emplace_back(row, row);
    }
}

} // namespace

ListEdit ListEdit::between(int oldCount, const ItemAt& oldAt, int newCount, const ItemAt& newAt) {
    ListEdit edit;
    // What stayed at both ends is passed over by address: a live change is
    // usually a few rows somewhere in a long list.
    int prefix = 0;
    while (prefix < oldCount && prefix < newCount && oldAt(prefix) == newAt(prefix)) {
        ++prefix;
    }
    int suffix = 0;
    while (suffix < oldCount - prefix && suffix < newCount - prefix &&
           oldAt(oldCount - 1 - suffix) == newAt(newCount - 1 - suffix)) {
        ++suffix;
    }
    const int oldEnd = oldCount - suffix;
    const int newEnd = newCount - suffix;
    if (oldEnd - prefix > kLargestMiddle || newEnd - prefix > kLargestMiddle) {
        edit.reordered = true;
        return edit;
    }

    // The middle: each new row's old row, by address, then by identity for
    // the rows left over; -1 for a row that came.
    QHash<const MediaItem*, int> oldRowOf;
    oldRowOf.reserve(oldEnd - prefix);
    for (int row = prefix; row < oldEnd; ++row) {
        oldRowOf.insert(oldAt(row).get(), row);
    }
    std::vector<int> fromOld(static_cast<std::size_t>(newEnd - prefix), -1);
    std::vector<bool> oldUsed(static_cast<std::size_t>(oldEnd - prefix), false);
    bool leftOver = false;
    for (int row = prefix; row < newEnd; ++row) {
        if (const auto found = oldRowOf.constFind(newAt(row).get()); found != oldRowOf.constEnd()) {
            fromOld[static_cast<std::size_t>(row - prefix)] = *found;
            oldUsed[static_cast<std::size_t>(*found - prefix)] = true;
        } else {
            leftOver = true;
        }
    }
    std::vector<bool> isReplacement(fromOld.size(), false);
    if (leftOver) {
        QHash<QString, int> unusedByIdentity;
        for (int row = prefix; row < oldEnd; ++row) {
            if (!oldUsed[static_cast<std::size_t>(row - prefix)]) {
                unusedByIdentity.insert(oldAt(row)->identity(), row);
            }
        }
        for (int row = prefix; row < newEnd && !unusedByIdentity.isEmpty(); ++row) {
            int& old = fromOld[static_cast<std::size_t>(row - prefix)];
            if (old < 0) {
                if (const auto found = unusedByIdentity.find(newAt(row)->identity());
                    found != unusedByIdentity.end()) {
                    old = *found;
                    oldUsed[static_cast<std::size_t>(old - prefix)] = true;
                    isReplacement[static_cast<std::size_t>(row - prefix)] = true;
                    unusedByIdentity.erase(found);
                }
            }
        }
    }
    // What remains must keep its order to be told as runs.
    int lastOld = -1;
    for (const int old : fromOld) {
        if (old >= 0) {
            if (old < lastOld) {
                edit.reordered = true;
                return edit;
            }
            lastOld = old;
        }
    }
    for (int row = oldEnd - 1; row >= prefix; --row) {
        if (!oldUsed[static_cast<std::size_t>(row - prefix)]) {
            if (!edit.removed.empty() && edit.removed.back().first - 1 == row) {
                edit.removed.back().first = row;
            } else {
                edit.removed.emplace_back(row, row);
            }
        }
    }
    for (int row = prefix; row < newEnd; ++row) {
        const std::size_t at = static_cast<std::size_t>(row - prefix);
        if (fromOld[at] < 0) {
            addToRuns(edit.inserted, row);
        } else if (isReplacement[at]) {
            edit.replaced.push_back(row);
        }
    }
    return edit;
}

ListEdit ListEdit::seenByFirst(int& viewRows) const {
    ListEdit seen;
    // Runs that went, from the last: rows before a run keep their places.
    for (const auto& [first, last] : removed) {
        if (first >= viewRows) {
            continue;
        }
        const int seenLast = std::min(last, viewRows - 1);
        seen.removed.emplace_back(first, seenLast);
        viewRows -= seenLast - first + 1;
    }
    // Runs that came, from the first: one that starts within what the view
    // holds (or right after it) is in the view; one further on lies among
    // the rows it has not been given yet.
    for (const auto& [first, last] : inserted) {
        if (first > viewRows) {
            break;
        }
        seen.inserted.emplace_back(first, last);
        viewRows += last - first + 1;
    }
    for (const int row : replaced) {
        if (row < viewRows) {
            seen.replaced.push_back(row);
        }
    }
    seen.reordered = reordered;
    return seen;
}
