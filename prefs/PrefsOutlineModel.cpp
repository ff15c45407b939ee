#include "prefs/PrefsOutlineModel.h"

#include "prefs/PrefsController.h"
#include "prefs/QVTree.h"

#include <QFont>

PrefsOutlineModel::PrefsOutlineModel(PrefsController* controller, QObject* parent)
    : QAbstractItemModel(parent)
    , _controller(controller) {
}

QVTree* PrefsOutlineModel::node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<QVTree*>(index.internalPointer()) : _controller->root();
}

QModelIndex PrefsOutlineModel::indexOf(const QVTree* node) const {
    if (node == nullptr || node->parent() == nullptr) {
        return {};
    }
    const int row = node->parent()->indexOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<QVTree*>(node));
}

QModelIndex PrefsOutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent)) {
        return {};
    }
    return createIndex(row, 0, _controller->child(nullptr, row, node(parent)));
}

QModelIndex PrefsOutlineModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) {
        return {};
    }
    const QVTree* parentNode = node(child)->parent();
    if (parentNode == nullptr || parentNode == _controller->root()) {
        return {};
    }
    return indexOf(parentNode);
}

int PrefsOutlineModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    return _controller->numberOfChildrenOfItem(nullptr, node(parent));
}

int PrefsOutlineModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool PrefsOutlineModel::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return false;
    }
    return _controller->isItemExpandable(nullptr, node(parent));
}

QVariant PrefsOutlineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::FontRole && !_controller->shouldEditItem(nullptr, node(index))) {
        // Category titles stand out from the paths below them.
        QFont font;
        font.setBold(true);
        return font;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    return _controller->objectValueForItem(nullptr, node(index));
}

bool PrefsOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    if (!_controller->setObjectValue(nullptr, value.toString(), node(index))) {
        return false;
    }
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags PrefsOutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (_controller->shouldEditItem(nullptr, node(index))) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

void PrefsOutlineModel::reload() {
    beginResetModel();
    endResetModel();
}
