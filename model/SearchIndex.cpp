#include "model/SearchIndex.h"

#include "platform/system/TextMatch.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The first position from from on (below limit) where text holds first and,
// lastOffset further on, last: the candidates of a search, found eight
// positions at a time. Testing the text's last character as well as its
// first skips nearly every position that only starts like it. Eight
// positions are read at once wherever the text (size characters) goes on
// that far, also past limit, so that a short stretch needs no slow tail.
inline qsizetype nextCandidate(const char16_t* text, qsizetype size, qsizetype from, qsizetype limit,
                               char16_t first, char16_t last, qsizetype lastOffset) {
    qsizetype at = from;
#if defined(__SSE2__)
    const __m128i firsts = _mm_set1_epi16(static_cast<short>(first));
    const __m128i lasts = _mm_set1_epi16(static_cast<short>(last));
    for (; at < limit && at + 8 + lastOffset <= size; at += 8) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + lastOffset));
        int found =
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(starts, firsts), _mm_cmpeq_epi16(ends, lasts)));
        if (const qsizetype left = limit - at; left < 8) {
            found &= (1 << (left * 2)) - 1; // two mask bits per position
        }
        if (found != 0) {
            return at + (__builtin_ctz(static_cast<unsigned>(found)) >> 1);
        }
    }
#endif
    for (; at < limit; ++at) {
        if (text[at] == first && text[at + lastOffset] == last) {
            return at;
        }
    }
    return -1;
}

} // namespace

std::shared_ptr<const SearchIndex::Folded> SearchIndex::fold(const std::vector<MediaItemPtr>& items) {
    auto folded = std::make_shared<Folded>();
    folded->itemFields.reserve(items.size() + 1);
    folded->fieldEnds.reserve(items.size());
    folded->fieldItem.reserve(items.size());
    folded->text.reserve(static_cast<qsizetype>(items.size()) * 24);
    for (std::uint32_t item = 0; item < items.size(); ++item) {
        folded->itemFields.push_back(static_cast<std::uint32_t>(folded->fieldEnds.size()));
        const int fields = items[item]->searchFieldCount();
        for (int field = 0; field < fields; ++field) {
            TextMatch::appendSearchForm(folded->text, items[item]->searchField(field));
            folded->fieldEnds.push_back(folded->text.size());
            folded->fieldItem.push_back(item);
        }
    }
    folded->itemFields.push_back(static_cast<std::uint32_t>(folded->fieldEnds.size()));
    folded->text.squeeze();
    return folded;
}

void SearchIndex::build(const std::vector<MediaItemPtr>& items) {
    use(fold(items));
}

void SearchIndex::use(std::shared_ptr<const Folded> folded) {
    clear();
    _folded = std::move(folded);
}

void SearchIndex::clear() {
    _folded.reset();
    _lastForm = QString();
    _result.clear();
    _typedThrough.clear();
}

const std::vector<std::uint32_t>& SearchIndex::match(const QString& text) {
    const QString form = TextMatch::searchForm(text);
    if (!_folded || form.isEmpty()) {
        _result.clear();
        _lastForm = QString();
        return _result;
    }
    // A text that extends the last one only narrows its result, as long as
    // the added text does not start with a mark (which would change where
    // the last text's matches end).
    const bool narrows = !_lastForm.isEmpty() && form.startsWith(_lastForm) &&
                         !TextMatch::startsWithMark(QStringView(form).mid(_lastForm.size()));
    if (form == _lastForm) {
        return _result;
    }
    if (narrows) {
        // Kept for a later deletion, within a bound: a typed word, not a pasted page.
        constexpr std::size_t kDepth = 32;
        if (_typedThrough.size() == kDepth) {
            _typedThrough.erase(_typedThrough.begin());
        }
        _typedThrough.emplace_back(_lastForm, _result);
        refine(form);
    } else {
        // A letter deleted: the result of the text typed through before, if any.
        while (!_typedThrough.empty() && _typedThrough.back().first.size() > form.size()) {
            _typedThrough.pop_back();
        }
        if (!_typedThrough.empty() && _typedThrough.back().first == form) {
            _result = std::move(_typedThrough.back().second);
            _typedThrough.pop_back();
        } else {
            _typedThrough.clear();
            scanAll(form);
        }
    }
    _lastForm = form;
    return _result;
}

void SearchIndex::scanAll(QStringView needle) {
    _result.clear();
    const Folded& folded = *_folded;
    const QStringView text(folded.text);
    const char16_t* chars = text.utf16();
    const qsizetype length = needle.size();
    const qsizetype limit = text.size() - length + 1; // one past the last start a match can have
    const char16_t* middle = needle.utf16() + 1;
    const std::size_t middleBytes = length > 2 ? static_cast<std::size_t>(length - 2) * sizeof(char16_t) : 0;
    auto fieldEnd = folded.fieldEnds.begin();
    qsizetype from = 0;
    while (from < limit) {
        const qsizetype at = nextCandidate(chars, text.size(), from, limit, needle.front().unicode(),
                                           needle.back().unicode(), length - 1);
        if (at < 0) {
            break;
        }
        if (middleBytes != 0 && std::memcmp(chars + at + 1, middle, middleBytes) != 0) {
            from = at + 1;
            continue;
        }
        // The field holding the match's start: the first that ends after it.
        fieldEnd = std::upper_bound(fieldEnd, folded.fieldEnds.end(), at);
        const qsizetype end = *fieldEnd;
        const qsizetype matchEnd = at + length;
        if (matchEnd > end || TextMatch::startsWithMark(text.mid(matchEnd, end - matchEnd))) {
            from = at + 1; // across two fields, or ending inside a character
            continue;
        }
        const std::uint32_t item =
            folded.fieldItem[static_cast<std::size_t>(fieldEnd - folded.fieldEnds.begin())];
        _result.push_back(item);
        // On to the next item's first field.
        const std::uint32_t next = folded.itemFields[item + 1];
        if (next >= folded.fieldEnds.size()) {
            break;
        }
        fieldEnd = folded.fieldEnds.begin() + next;
        from = next == 0 ? 0 : folded.fieldEnds[next - 1];
    }
}

void SearchIndex::refine(QStringView needle) {
    // Each remaining item's fields are searched as one stretch of the text,
    // the way scanAll searches all of it.
    const Folded& folded = *_folded;
    const QStringView text(folded.text);
    const char16_t* chars = text.utf16();
    const qsizetype length = needle.size();
    const char16_t first = needle.front().unicode();
    const char16_t last = needle.back().unicode();
    const char16_t* middle = needle.utf16() + 1;
    const std::size_t middleBytes = length > 2 ? static_cast<std::size_t>(length - 2) * sizeof(char16_t) : 0;
    const auto matches = [&](std::uint32_t item) {
        std::uint32_t field = folded.itemFields[item];
        const std::uint32_t fieldsEnd = folded.itemFields[item + 1];
        if (field == fieldsEnd) {
            return false;
        }
        qsizetype from = field == 0 ? 0 : folded.fieldEnds[field - 1];
        const qsizetype limit = folded.fieldEnds[fieldsEnd - 1] - length + 1;
        while (from < limit) {
            const qsizetype at = nextCandidate(chars, text.size(), from, limit, first, last, length - 1);
            if (at < 0) {
                return false;
            }
            from = at + 1;
            if (middleBytes != 0 && std::memcmp(chars + at + 1, middle, middleBytes) != 0) {
                continue;
            }
            while (folded.fieldEnds[field] <= at) {
                ++field;
            }
            const qsizetype end = folded.fieldEnds[field];
            const qsizetype matchEnd = at + length;
            if (matchEnd <= end && !TextMatch::startsWithMark(text.mid(matchEnd, end - matchEnd))) {
                return true;
            }
        }
        return false;
    };
    std::size_t kept = 0;
    for (const std::uint32_t item : _result) {
        if (matches(item)) {
            _result[kept++] = item;
        }
    }
    _result.resize(kept);
}
