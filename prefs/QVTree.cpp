#include "prefs/QVTree.h"

#include <QStringList>

#include <algorithm>

void QVTree::add(const QVTreePtr& node) {
    _subTrees.push_back(node);
    node->_parent = this;
}

void QVTree::addNames(const QStringList& names) {
    for (const QString& name : names) {
        add(std::make_shared<QVTree>(name));
    }
}

void QVTree::remove(const QVTree* node) {
    std::erase_if(_subTrees, [node](const QVTreePtr& child) { return child.get() == node; });
}

void QVTree::removeAll() {
    _subTrees.clear();
}

int QVTree::indexOf(const QVTree* node) const {
    const auto it = std::find_if(_subTrees.begin(), _subTrees.end(),
                                 [node](const QVTreePtr& child) { return child.get() == node; });
    return it == _subTrees.end() ? -1 : static_cast<int>(it - _subTrees.begin());
}
