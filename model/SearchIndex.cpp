#include "model/SearchIndex.h"

#include "platform/TextMatch.h"

#include <algorithm>

void SearchIndex::build(const std::vector<MediaItemPtr>& items) {
    clear();
    _itemFields.reserve(items.size() + 1);
    _fieldEnds.reserve(items.size());
    _fieldItem.reserve(items.size());
    _text.reserve(static_cast<qsizetype>(items.size()) * 24);
    for (std::uint32_t item = 0; item < items.size(); ++item) {
        _itemFields.push_back(static_cast<std::uint32_t>(_fieldEnds.size()));
        const int fields = items[item]->searchFieldCount();
        for (int field = 0; field < fields; ++field) {
            TextMatch::appendSearchForm(_text, items[item]->searchField(field));
            _fieldEnds.push_back(_text.size());
            _fieldItem.push_back(item);
        }
    }
    _itemFields.push_back(static_cast<std::uint32_t>(_fieldEnds.size()));
    _text.squeeze();
    _built = true;
}

void SearchIndex::clear() {
    _text = QString();
    _fieldEnds.clear();
    _fieldItem.clear();
    _itemFields.clear();
    _built = false;
    _lastForm = QString();
    _result.clear();
}

const std::vector<std::uint32_t>& SearchIndex::match(const QString& text) {
    const QString form = TextMatch::searchForm(text);
    // A text that extends the last one only narrows its result, as long as
    // the added text does not start with a mark (which would change where
    // the last text's matches end).
    const bool narrows = !_lastForm.isEmpty() && form.startsWith(_lastForm) &&
                         !TextMatch::startsWithMark(QStringView(form).mid(_lastForm.size()));
    if (form == _lastForm) {
        return _result;
    }
    if (narrows) {
        refine(form);
    } else {
        scanAll(form);
    }
    _lastForm = form;
    return _result;
}

void SearchIndex::scanAll(QStringView needle) {
    _result.clear();
    const QStringView text(_text);
    const qsizetype length = needle.size();
    auto fieldEnd = _fieldEnds.begin();
    qsizetype from = 0;
    const QChar first = needle.front();
    const QStringView rest = needle.mid(1);
    while (from < text.size()) {
        // Candidates by their first character (a vectorised search), then the rest compared in place.
        const qsizetype at = text.indexOf(first, from);
        if (at < 0) {
            break;
        }
        if (text.mid(at + 1, rest.size()) != rest) {
            from = at + 1;
            continue;
        }
        // The field holding the match's start: the first that ends after it.
        fieldEnd = std::upper_bound(fieldEnd, _fieldEnds.end(), at);
        const qsizetype end = *fieldEnd;
        const qsizetype matchEnd = at + length;
        if (matchEnd > end || TextMatch::startsWithMark(text.mid(matchEnd, end - matchEnd))) {
            from = at + 1; // across two fields, or ending inside a character
            continue;
        }
        const std::uint32_t item = _fieldItem[static_cast<std::size_t>(fieldEnd - _fieldEnds.begin())];
        _result.push_back(item);
        // On to the next item's first field.
        const std::uint32_t next = _itemFields[item + 1];
        if (next >= _fieldEnds.size()) {
            break;
        }
        fieldEnd = _fieldEnds.begin() + next;
        from = next == 0 ? 0 : _fieldEnds[next - 1];
    }
}

void SearchIndex::refine(QStringView needle) {
    const QStringView text(_text);
    std::size_t kept = 0;
    for (const std::uint32_t item : _result) {
        for (std::uint32_t field = _itemFields[item]; field < _itemFields[item + 1]; ++field) {
            const qsizetype start = field == 0 ? 0 : _fieldEnds[field - 1];
            if (TextMatch::containsSearchForm(text.mid(start, _fieldEnds[field] - start), needle)) {
                _result[kept++] = item;
                break;
            }
        }
    }
    _result.resize(kept);
}
