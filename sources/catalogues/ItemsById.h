#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

// Positions of a catalogue's items by the catalogue's own row ids, for the
// rows that name items later (album members, tags, playlist entries). Row
// ids count from 1 in the applications' databases, so a table indexed by id
// answers; ids spread too wide for that are looked up sorted.
class ItemsById {
public:
    static constexpr std::size_t none = std::numeric_limits<std::size_t>::max();

    void add(qint64 id, std::size_t item) { _byId.emplace_back(id, item); }

    // Call once all are added, before find().
    void finish() {
        qint64 highest = -1;
        bool dense = true;
        for (const auto& [id, item] : _byId) {
            dense = dense && id >= 0;
            highest = std::max(highest, id);
        }
        if (dense && highest < 4 * static_cast<qint64>(_byId.size()) + 4096) {
            _table.assign(static_cast<std::size_t>(highest + 1), none);
            for (const auto& [id, item] : _byId) {
                _table[static_cast<std::size_t>(id)] = item;
            }
            _byId.clear();
        } else {
            std::sort(_byId.begin(), _byId.end());
        }
    }

    // The position of the item of id, or none.
    std::size_t find(qint64 id) const {
        if (!_table.empty() || _byId.empty()) {
            return id >= 0 && static_cast<std::size_t>(id) < _table.size()
                       ? _table[static_cast<std::size_t>(id)]
                       : none;
        }
        const auto found = std::lower_bound(_byId.begin(), _byId.end(), std::make_pair(id, std::size_t(0)));
        return found != _byId.end() && found->first == id ? found->second : none;
    }

private:
    std::vector<std::pair<qint64, std::size_t>> _byId;
    std::vector<std::size_t> _table;
};
