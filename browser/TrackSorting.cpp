#include "browser/TrackSorting.h"

#include "model/QVTrack.h"

#include <algorithm>

namespace TrackSorting {

namespace {

enum class Key { Name, Artist, Length, None };

Key keyOf(const QString& key) {
    if (key == QLatin1String("name")) {
        return Key::Name;
    }
    if (key == QLatin1String("artist")) {
        return Key::Artist;
    }
    if (key == QLatin1String("length")) {
        return Key::Length;
    }
    return Key::None;
}

// Each item's value read once, ahead of the comparisons.
struct Entry {
    QString text;
    quint32 length = QVTrack::UnknownLength;
    std::size_t index = 0;
};

} // namespace

QString sortKey(const QString& columnIdentifier) {
    if (columnIdentifier == QLatin1String("name") || columnIdentifier == QLatin1String("artist")) {
        return columnIdentifier;
    }
    if (columnIdentifier == QLatin1String("time")) {
        return QStringLiteral("length");
    }
    return {};
}

std::vector<MediaItemPtr> sorted(const std::vector<MediaItemPtr>& items, const QString& keyName,
                                 bool ascending) {
    const Key key = keyOf(keyName);
    if (key == Key::None) {
        return items;
    }
    std::vector<Entry> entries(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        Entry& entry = entries[i];
        entry.index = i;
        auto* track = dynamic_cast<QVTrack*>(items[i].get());
        if (track == nullptr) {
            continue;
        }
        switch (key) {
        case Key::Name:
            entry.text = track->name();
            break;
        case Key::Artist:
            entry.text = track->artist();
            break;
        case Key::Length:
            entry.length = track->length();
            break;
        case Key::None:
            break;
        }
    }
    // A null text compares equal to the empty one.
    const auto less = [key](const Entry& a, const Entry& b) {
        return key == Key::Length ? a.length < b.length
                                  : QString::compare(a.text, b.text, Qt::CaseSensitive) < 0;
    };
    if (ascending) {
        std::stable_sort(entries.begin(), entries.end(), less);
    } else {
        std::stable_sort(entries.begin(), entries.end(),
                         [&less](const Entry& a, const Entry& b) { return less(b, a); });
    }
    std::vector<MediaItemPtr> result;
    result.reserve(items.size());
    for (const Entry& entry : entries) {
        result.push_back(items[entry.index]);
    }
    return result;
}

std::function<bool(MediaItem&, MediaItem&)> order(const QString& keyName, bool ascending) {
    const Key key = keyOf(keyName);
    if (key == Key::None) {
        return {};
    }
    const auto value = [key](MediaItem& item) {
        Entry entry;
        if (auto* track = dynamic_cast<QVTrack*>(&item)) {
            if (key == Key::Length) {
                entry.length = track->length();
            } else {
                entry.text = key == Key::Name ? track->name() : track->artist();
            }
        }
        return entry;
    };
    return [key, ascending, value](MediaItem& a, MediaItem& b) {
        const Entry first = value(ascending ? a : b);
        const Entry second = value(ascending ? b : a);
        return key == Key::Length ? first.length < second.length
                                  : QString::compare(first.text, second.text, Qt::CaseSensitive) < 0;
    };
}

} // namespace TrackSorting
