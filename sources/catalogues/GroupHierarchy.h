#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QHash>
#include <QString>

#include <vector>

// Groups a catalogue keeps as rows that name their parent (collection sets,
// album folders, keyword trees), turned into nested groups. A group whose
// parent is not among them is a top-level group. Groups on a loop of parents
// never reach the top and are left out, as are groups nested deeper than
// any real tree (maxDepth), and groups that hold nothing, here or below.
class GroupHierarchy {
public:
    static constexpr int maxDepth = 64;

    struct Node {
        QString name;
        CatalogueGroup::Kind kind = CatalogueGroup::Kind::Album;
        qint64 parent = 0;
        QString id;
        std::vector<MediaItemPtr> items;
    };

    // Adds the group of id (siblings keep the order they are added in); a
    // second group of the same id is ignored. Answers the group's node, valid until the next add.
    Node& add(qint64 id, qint64 parent, const QString& name, CatalogueGroup::Kind kind,
              const QString& groupId);
    // The node of id, or null.
    Node* find(qint64 id);

    // The top-level groups with everything below them; empties the hierarchy.
    std::vector<CatalogueGroup> takeGroups();

private:
    CatalogueGroup take(std::size_t node, int depth, const QHash<qint64, std::vector<std::size_t>>& children);

    std::vector<Node> _nodes;
    std::vector<qint64> _ids;
    QHash<qint64, std::size_t> _byId;
    std::size_t _lastFound = static_cast<std::size_t>(-1);
};
