#pragma once

#include "model/MediaItem.h"
#include "platform/Export.h"

#include <QString>

#include <cstdint>
#include <vector>

// A list's search index: the search form of every item's texts, folded once
// and laid out one after another in one string, so that a keystroke is one
// pass of a substring search over contiguous memory instead of a call per
// item. Matching is the items' own (matchesFilter): case ignored, composed and
// decomposed forms equal, accents significant, no match ending inside a
// character. When the new text extends the last one, only the last result is
// searched again.
class SearchIndex {
public:
    // Indexes items (folded now, on the calling thread; the list keeps its order).
    void build(const std::vector<MediaItemPtr>& items);
    void clear();
    bool isBuilt() const { return _built; }

    // Positions in the indexed list of the items matching text (as typed,
    // non-empty), in list order.
    const std::vector<std::uint32_t>& match(const QString& text);

private:
    void scanAll(QStringView needle);
    void refine(QStringView needle);

    QString _text;                          // every field's search form, back to back
    std::vector<qsizetype> _fieldEnds;      // where each field ends in _text
    std::vector<std::uint32_t> _fieldItem;  // the item of each field
    std::vector<std::uint32_t> _itemFields; // each item's first field, and one past the last
    bool _built = false;
    QString _lastForm;
    std::vector<std::uint32_t> _result;
};
