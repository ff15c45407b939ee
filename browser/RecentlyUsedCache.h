#pragma once

#include <QHash>

#include <cstddef>
#include <list>
#include <utility>

// A map that keeps at most a fixed number of entries: each look-up marks its
// entry as the most recently used, and inserting beyond the capacity drops the
// least recently used one.
template <typename Key, typename Value> class RecentlyUsedCache {
public:
    explicit RecentlyUsedCache(std::size_t capacity)
        : _capacity(capacity) {}

    // The value under key, made by make() when there is none.
    template <typename Make> const Value& value(const Key& key, Make make) {
        if (const auto found = _entries.find(key); found != _entries.end()) {
            _order.splice(_order.end(), _order, found.value());
            return found.value()->second;
        }
        _order.emplace_back(key, make());
        _entries.insert(key, std::prev(_order.end()));
        if (_order.size() > _capacity) {
            _entries.remove(_order.front().first);
            _order.pop_front();
        }
        return _order.back().second;
    }

    // The value under key, or null, leaving the order as it is.
    const Value* peek(const Key& key) const {
        const auto found = _entries.constFind(key);
        return found == _entries.constEnd() ? nullptr : &found.value()->second;
    }

    // Drops the least recently used entries beyond the new capacity.
    void setCapacity(std::size_t capacity) {
        _capacity = capacity;
        while (_order.size() > _capacity) {
            _entries.remove(_order.front().first);
            _order.pop_front();
        }
    }

    void clear() {
        _entries.clear();
        _order.clear();
    }
    std::size_t size() const { return _order.size(); }
    std::size_t capacity() const { return _capacity; }
    // Least recently used first.
    auto begin() const { return _order.begin(); }
    auto end() const { return _order.end(); }

private:
    using Order = std::list<std::pair<Key, Value>>;
    std::size_t _capacity;
    Order _order;
    QHash<Key, typename Order::iterator> _entries;
};
