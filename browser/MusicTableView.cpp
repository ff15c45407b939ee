#include "browser/MusicTableView.h"

#include "iconview/LocalDropRefuser.h"
#include "platform/system/FileTransferPortal.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QIcon>
#include <QMimeData>

MusicTableView::MusicTableView(QWidget* parent)
    : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAcceptDrops(false);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setIconSize(QSize(16, 16));
    verticalHeader()->hide();
}

Qt::DropActions MusicTableView::draggingSourceOperationMaskForLocal(bool) {
    return Qt::CopyAction;
}

void MusicTableView::startDrag(Qt::DropActions) {
    if (!model() || !selectionModel()) {
        return;
    }
    const QModelIndexList rows = selectionModel()->selectedRows(0);
    if (rows.isEmpty()) {
        return;
    }
    QMimeData* mimeData = model()->mimeData(rows);
    if (mimeData == nullptr) {
        return;
    }
    // Sandboxed targets take the files through the desktop's transfer portal.
    FileTransferPortal::sessionPortal().offerFiles(mimeData);
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData);
    // The first dragged row's icon stands for the files under the pointer.
    const QIcon icon = qvariant_cast<QIcon>(model()->data(rows.first(), Qt::DecorationRole));
    if (!icon.isNull()) {
        drag->setPixmap(icon.pixmap(QSize(32, 32), devicePixelRatioF()));
    }
    LocalDropRefuser refuser(mimeData, window());
    qApp->installEventFilter(&refuser);
    drag->exec(draggingSourceOperationMaskForLocal(false), Qt::CopyAction);
    qApp->removeEventFilter(&refuser);
    // The drag manager deletes the drag object, after the target has taken the
    // files: the drop only starts the target's request for them, so deleting
    // it here would answer that request with nothing.
}
