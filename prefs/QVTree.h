#pragma once

#include <QString>

#include <memory>
#include <vector>

class QVTree;
using QVTreePtr = std::shared_ptr<QVTree>;

// A small named tree node: the preferences window keeps the folder lists it
// edits in these (categories with their paths as children).
class QVTree {
public:
    QVTree() = default;
    explicit QVTree(const QString& name)
        : _name(name) {}

    // Appends node and makes this node its parent.
    void add(const QVTreePtr& node);
    // Appends one new node per name, in order.
    void addNames(const QStringList& names);
    // Takes node out of the children; node itself is left unchanged.
    void remove(const QVTree* node);
    void removeAll();

    const std::vector<QVTreePtr>& subTrees() const { return _subTrees; }
    bool isExpandable() const { return !_subTrees.empty(); }
    QString name() const { return _name; }
    void setName(const QString& name) { _name = name; }
    QVTree* parent() const { return _parent; }
    // The position of node among the children, or -1.
    int indexOf(const QVTree* node) const;

private:
    std::vector<QVTreePtr> _subTrees;
    QVTree* _parent = nullptr; // not owned
    QString _name;
};
