#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

// Groups of a catalogue under construction, nested by name (albums by their
// folders, tags by their parents), then turned into the contents' groups in
// name order with the groups that hold nothing, here or below, left out.
class CatalogueGroupTree {
public:
    struct Node {
        std::map<QString, std::unique_ptr<Node>> children;
        std::vector<MediaItemPtr> items;
        // The catalogue's identifier of the group (see CatalogueGroup::id).
        QString id;

        // The child of this name, made when missing.
        Node& child(const QString& name);
    };

    Node& root() { return _root; }

    // The groups of the whole tree, each of kind; empties the tree.
    std::vector<CatalogueGroup> takeGroups(CatalogueGroup::Kind kind);

private:
    static std::vector<CatalogueGroup> groupsOf(Node& node, CatalogueGroup::Kind kind);

    Node _root;
};
