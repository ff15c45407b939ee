#pragma once

#include <QCollator>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <numeric>
#include <vector>

// The order in which the user's file manager lists names: by the rules of
// the user's language, letter case ignored, runs of digits compared as
// numbers ("img_2" before "img_10"); names equal by those rules in their
// code-point order, so that the order never depends on how a directory
// happened to list them. One object per thread (a collator is not shared).
class NameOrder {
public:
    NameOrder();

    bool lessThan(QStringView a, QStringView b) const;

    // Sorts items by the names nameOf gives, comparing each name's sort key
    // (made once per item) rather than the names themselves.
    template <typename T, typename NameOf> void sort(std::vector<T>& items, NameOf nameOf) const {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(items.size());
        for (const T& item : items) {
            keys.push_back(_collator.sortKey(QStringView(nameOf(item)).toString()));
        }
        std::vector<std::size_t> order(items.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const int byKey = keys[a].compare(keys[b]);
            if (byKey != 0) {
                return byKey < 0;
            }
            return QStringView(nameOf(items[a])) < QStringView(nameOf(items[b]));
        });
        std::vector<T> sorted;
        sorted.reserve(items.size());
        for (const std::size_t index : order) {
            sorted.push_back(std::move(items[index]));
        }
        items = std::move(sorted);
    }

private:
    QCollator _collator;
};
