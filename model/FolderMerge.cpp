#include "model/FolderMerge.h"

#include "model/MediaFolder.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace FolderMerge {

namespace {

constexpr std::uint32_t kNone = UINT32_MAX;

// The old items by identity, each identity's items chained in their order so
// that one given twice is matched in order.
class IdentityTable {
public:
    explicit IdentityTable(const std::vector<MediaItemPtr>& items)
        : _identities(items.size())
        , _next(items.size(), kNone) {
        _first.reserve(static_cast<qsizetype>(items.size()));
        std::vector<std::uint32_t> last;
        QHash<QStringView, std::uint32_t> lastOf;
        lastOf.reserve(static_cast<qsizetype>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i) {
            _identities[i] = items[i]->identity();
            const QStringView key(_identities[i]);
            const auto index = static_cast<std::uint32_t>(i);
            if (const auto found = lastOf.find(key); found != lastOf.end()) {
                _next[*found] = index;
                *found = index;
            } else {
                _first.insert(key, index);
                lastOf.insert(key, index);
            }
        }
    }

    // The first unmatched old item of this identity, taken; kNone when none is left.
    std::uint32_t take(const QString& identity) {
        const auto found = _first.find(QStringView(identity));
        if (found == _first.end()) {
            return kNone;
        }
        const std::uint32_t index = *found;
        if (_next[index] == kNone) {
            _first.erase(found);
        } else {
            *found = _next[index];
        }
        return index;
    }

private:
    std::vector<QString> _identities; // the keys' storage
    std::vector<std::uint32_t> _next;
    QHash<QStringView, std::uint32_t> _first;
};

} // namespace

MergedItems mergeItems(const std::vector<MediaItemPtr>& old, std::vector<MediaItemPtr> fresh) {
    MergedItems merged;
    IdentityTable table(old);
    std::vector<bool> matched(old.size(), false);
    bool inOrder = fresh.size() == old.size();
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        MediaItemPtr& item = fresh[i];
        const std::uint32_t index = table.take(item->identity());
        if (index == kNone) {
            ++merged.changes.inserted;
            inOrder = false;
            continue;
        }
        matched[index] = true;
        if (old[index]->version() != item->version()) {
            ++merged.changes.changed;
            inOrder = false;
            continue;
        }
        ++merged.changes.kept;
        inOrder = inOrder && index == i;
        merged.keptFor.emplace(item.get(), old[index]);
        item = old[index];
    }
    merged.changes.removed = static_cast<std::size_t>(std::count(matched.begin(), matched.end(), false));
    merged.same = inOrder;
    merged.items = std::move(fresh);
    return merged;
}

std::vector<MediaItemPtr> keepOrder(const std::vector<MediaItemPtr>& current,
                                    const std::vector<MediaItemPtr>& merged,
                                    const std::function<bool(MediaItem&, MediaItem&)>& order,
                                    const std::function<bool(MediaItem&)>& comparable) {
    QSet<const MediaItem*> inMerged;
    inMerged.reserve(static_cast<qsizetype>(merged.size()));
    for (const MediaItemPtr& item : merged) {
        inMerged.insert(item.get());
    }
    std::vector<MediaItemPtr> kept;
    kept.reserve(merged.size());
    QSet<const MediaItem*> inKept;
    for (const MediaItemPtr& item : current) {
        if (inMerged.contains(item.get()) && !inKept.contains(item.get())) {
            kept.push_back(item);
            inKept.insert(item.get());
        }
    }
    std::vector<MediaItemPtr> placed;
    std::vector<MediaItemPtr> deferred;
    for (const MediaItemPtr& item : merged) {
        if (!inKept.contains(item.get())) {
            (comparable(*item) ? placed : deferred).push_back(item);
        }
    }
    const auto less = [&order](const MediaItemPtr& a, const MediaItemPtr& b) {
        return order(*a, *b);
    };
    std::stable_sort(placed.begin(), placed.end(), less);
    std::vector<MediaItemPtr> result;
    result.reserve(merged.size());
    // Equal ones: those that were there first.
    std::merge(kept.begin(), kept.end(), placed.begin(), placed.end(), std::back_inserter(result), less);
    result.insert(result.end(), deferred.begin(), deferred.end());
    return result;
}

std::vector<std::shared_ptr<MediaFolder>> mergeFolders(const std::vector<std::shared_ptr<MediaFolder>>& old,
                                                       std::vector<std::shared_ptr<MediaFolder>> fresh,
                                                       FolderChanges* changes) {
    FolderChanges counted;
    QHash<QString, std::vector<std::size_t>> byIdentity;
    for (std::size_t i = old.size(); i-- > 0;) {
        byIdentity[old[i]->identity()].push_back(i); // taken from the back: first one first
    }
    for (std::shared_ptr<MediaFolder>& folder : fresh) {
        const auto found = byIdentity.find(folder->identity());
        if (found == byIdentity.end() || found->empty()) {
            ++counted.inserted;
            continue;
        }
        const std::shared_ptr<MediaFolder>& kept = old[found->back()];
        found->pop_back();
        ++counted.kept;
        kept->adopt(*folder);
        folder = kept;
    }
    counted.removed = old.size() - counted.kept;
    if (changes != nullptr) {
        *changes = counted;
    }
    return fresh;
}

} // namespace FolderMerge
