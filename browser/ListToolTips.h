#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class ListActions;
class QHelpEvent;

// Tooltips of a tab's list. A grid cell tells the item's whole name (its
// caption may be cut off) and, under it, the same details the picture
// preview shows first: the picture's size and the file's size. A cell of the
// music table whose text is cut off shows it whole; a cell that shows all of
// its text has no tooltip.
class ListToolTips : public QObject {
    Q_OBJECT
public:
    explicit ListToolTips(ListActions* actions, QObject* parent = nullptr);

    // The tooltip for a point of the view (the table's viewport), or empty.
    QString toolTipAt(const QPoint& pos) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString gridToolTip(const QPoint& pos) const;
    QString tableToolTip(const QPoint& pos) const;

    QPointer<ListActions> _actions;
};
