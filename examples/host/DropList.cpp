#include "DropList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace {
constexpr int kPreviewSize = 64;

// A picture scaled down while it is read, or a null icon for other files.
QIcon preview(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        return {};
    }
    QSize size = reader.size();
    if (size.isValid()) {
        reader.setScaledSize(size.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio));
    }
    const QImage image = reader.read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}
} // namespace

DropList::DropList(QWidget* parent)
    : QListWidget(parent) {
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setIconSize(QSize(kPreviewSize, kPreviewSize));
}

QStringList DropList::paths() const {
    QStringList result;
    for (int row = 0; row < count(); ++row) {
        result.append(item(row)->data(Qt::UserRole).toString());
    }
    return result;
}

void DropList::addFile(const QString& path) {
    QIcon icon = preview(path);
    if (icon.isNull()) {
        icon = QFileIconProvider().icon(QFileInfo(path));
    }
    auto* row = new QListWidgetItem(icon, path, this);
    row->setData(Qt::UserRole, path);
}

void DropList::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void DropList::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void DropList::dropEvent(QDropEvent* event) {
    // The browser drags text/uri-list with file:// URLs of the files themselves.
    QStringList dropped;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            addFile(url.toLocalFile());
            dropped.append(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(dropped);
}
