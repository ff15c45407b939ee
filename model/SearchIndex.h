#pragma once

#include "model/MediaItem.h"
#include "platform/Export.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// A list's search index: the search form of every item's texts, folded once
// and laid out one after another in one string, so that a keystroke is one
// pass of a substring search over contiguous memory instead of a call per
// item. Matching is the items' own (matchesFilter): case ignored, composed and
// decomposed forms equal, accents significant, no match ending inside a
// character. When the new text extends the last one, only the last result is
// searched again.
//
// The folded texts (fold()) never change once made, so they can be made on a
// worker and shared; the index adds the last search and its result.
class SearchIndex {
public:
    // Every item's texts in search form, back to back.
    struct Folded {
        QString text;
        std::vector<qsizetype> fieldEnds;      // where each field ends in text
        std::vector<std::uint32_t> fieldItem;  // the item of each field
        std::vector<std::uint32_t> itemFields; // each item's first field, and one past the last
    };

    // Folds items' texts; reads only the items, so any thread may call it
    // while nothing changes them.
    static std::shared_ptr<const Folded> fold(const std::vector<MediaItemPtr>& items);

    // Indexes items (folded now, on the calling thread; the list keeps its order).
    void build(const std::vector<MediaItemPtr>& items);
    // Indexes texts folded elsewhere.
    void use(std::shared_ptr<const Folded> folded);
    void clear();
    bool isBuilt() const { return _folded != nullptr; }

    // Positions in the indexed list of the items matching text (as typed,
    // non-empty), in list order.
    const std::vector<std::uint32_t>& match(const QString& text);

private:
    void scanAll(QStringView needle);
    void refine(QStringView needle);

    std::shared_ptr<const Folded> _folded;
    QString _lastForm;
    std::vector<std::uint32_t> _result;
    // The results of the shorter texts that the last one was typed through,
    // shortest first, so that deleting a letter finds its result again.
    std::vector<std::pair<QString, std::vector<std::uint32_t>>> _typedThrough;
};
