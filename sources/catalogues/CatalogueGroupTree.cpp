#include "sources/catalogues/CatalogueGroupTree.h"

CatalogueGroupTree::Node& CatalogueGroupTree::Node::child(const QString& name) {
    std::unique_ptr<Node>& slot = children[name];
    if (!slot) {
        slot = std::make_unique<Node>();
    }
    return *slot;
}

std::vector<CatalogueGroup> CatalogueGroupTree::takeGroups(CatalogueGroup::Kind kind) {
    std::vector<CatalogueGroup> groups = groupsOf(_root, kind);
    _root = {};
    return groups;
}

std::vector<CatalogueGroup> CatalogueGroupTree::groupsOf(Node& node, CatalogueGroup::Kind kind) {
    std::vector<CatalogueGroup> groups;
    for (auto& [name, child] : node.children) {
        CatalogueGroup group;
        group.name = name;
        group.kind = kind;
        group.id = std::move(child->id);
        group.items = std::move(child->items);
        group.groups = groupsOf(*child, kind);
        if (!group.items.empty() || !group.groups.empty()) {
            groups.push_back(std::move(group));
        }
    }
    return groups;
}
