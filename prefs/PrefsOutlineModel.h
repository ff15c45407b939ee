#pragma once

#include <QAbstractItemModel>

class PrefsController;
class QVTree;

// The preferences outline as a Qt item model. It holds no data of its own:
// every question goes to the controller's outline operations, with each index
// carrying its QVTree node.
class PrefsOutlineModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit PrefsOutlineModel(PrefsController* controller, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The node behind index (the invisible top node for an invalid index).
    QVTree* node(const QModelIndex& index) const;
    QModelIndex indexOf(const QVTree* node) const;
    void reload();

private:
    PrefsController* _controller;
};
