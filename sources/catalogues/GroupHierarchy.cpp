#include "sources/catalogues/GroupHierarchy.h"

GroupHierarchy::Node& GroupHierarchy::add(qint64 id, qint64 parent, const QString& name,
                                          CatalogueGroup::Kind kind, const QString& groupId) {
    if (const auto found = _byId.constFind(id); found != _byId.constEnd()) {
        return _nodes[*found];
    }
    _byId.insert(id, _nodes.size());
    _ids.push_back(id);
    _nodes.push_back({name, kind, parent, groupId, {}});
    return _nodes.back();
}

GroupHierarchy::Node* GroupHierarchy::find(qint64 id) {
    // Members come group by group: most rows name the group of the row before.
    if (_lastFound < _nodes.size() && _ids[_lastFound] == id) {
        return &_nodes[_lastFound];
    }
    const auto found = _byId.constFind(id);
    if (found == _byId.constEnd()) {
        return nullptr;
    }
    _lastFound = *found;
    return &_nodes[*found];
}

std::vector<CatalogueGroup> GroupHierarchy::takeGroups() {
    QHash<qint64, std::vector<std::size_t>> children;
    std::vector<std::size_t> roots;
    for (std::size_t node = 0; node < _nodes.size(); ++node) {
        const qint64 parent = _nodes[node].parent;
        if (parent == _ids[node] || !_byId.contains(parent)) {
            roots.push_back(node);
        } else {
            children[parent].push_back(node);
        }
    }
    std::vector<CatalogueGroup> groups;
    for (const std::size_t root : roots) {
        CatalogueGroup group = take(root, 0, children);
        if (!group.items.empty() || !group.groups.empty()) {
            groups.push_back(std::move(group));
        }
    }
    _nodes.clear();
    _ids.clear();
    _byId.clear();
    _lastFound = static_cast<std::size_t>(-1);
    return groups;
}

CatalogueGroup GroupHierarchy::take(std::size_t node, int depth,
                                    const QHash<qint64, std::vector<std::size_t>>& children) {
    Node& from = _nodes[node];
    CatalogueGroup group{from.name, from.kind, std::move(from.items), {}, from.id};
    if (depth >= maxDepth) {
        return group;
    }
    // Each node is reached from one parent only, so a loop below a top-level
    // group cannot form: every node on a loop has its parent on the loop.
    if (const auto below = children.constFind(_ids[node]); below != children.constEnd()) {
        for (const std::size_t child : *below) {
            CatalogueGroup sub = take(child, depth + 1, children);
            if (!sub.items.empty() || !sub.groups.empty()) {
                group.groups.push_back(std::move(sub));
            }
        }
    }
    return group;
}
