#include "browser/ListActions.h"

#include "browser/PicturePreview.h"
#include "browser/QVMBListController.h"
#include "iconview/IconView.h"
#include "model/Photo.h"
#include "platform/system/DesktopFiles.h"
#include "platform/system/Path.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>

#include <algorithm>

ListActions::ListActions(Kind kind, QVMBListController* list, IconView* grid, QObject* parent)
    : QObject(parent)
    , _kind(kind)
    , _list(list)
    , _grid(grid) {
}

ListActions::ListActions(QVMBListController* list, QAbstractItemView* table, QObject* parent)
    : QObject(parent)
    , _kind(Kind::Music)
    , _list(list)
    , _table(table) {
}

void ListActions::setPreview(PicturePreview* preview) {
    _preview = preview;
}

PicturePreview* ListActions::preview() const {
    return _preview;
}

QVMBListController* ListActions::list() const {
    return _list;
}

IconView* ListActions::grid() const {
    return _grid;
}

QAbstractItemView* ListActions::table() const {
    return _table;
}

QWidget* ListActions::view() const {
    if (_grid) {
        return _grid;
    }
    return _table;
}

std::vector<int> ListActions::selection() const {
    std::vector<int> positions;
    const int count = _list ? _list->numItems() : 0;
    if (_grid) {
        for (const int index : _grid->selection()) {
            if (index < count) {
                positions.push_back(index);
            }
        }
    } else if (_table && _table->selectionModel()) {
        for (const QModelIndex& row : _table->selectionModel()->selectedRows()) {
            if (row.row() < count) {
                positions.push_back(row.row());
            }
        }
        std::sort(positions.begin(), positions.end());
    }
    return positions;
}

int ListActions::focusedPosition() const {
    const std::vector<int> selected = selection();
    if (selected.empty()) {
        return -1;
    }
    int cursor = -1;
    if (_grid) {
        cursor = _grid->cursorPos();
    } else if (_table) {
        cursor = _table->currentIndex().row();
    }
    return std::binary_search(selected.begin(), selected.end(), cursor) ? cursor : selected.front();
}

QStringList ListActions::selectedPaths() const {
    QStringList paths;
    if (!_list) {
        return paths;
    }
    for (const int position : selection()) {
        const QString path = pathAt(position);
        if (!path.isEmpty()) {
            paths.append(path);
        }
    }
    return paths;
}

QString ListActions::pathAt(int position) const {
    if (!_list || position < 0 || position >= _list->numItems()) {
        return {};
    }
    MediaItem* item = _list->itemAt(position).get();
    const auto* photo = dynamic_cast<const Photo*>(item);
    return photo != nullptr ? photo->path() : Path::localPath(item->url());
}

void ListActions::open() {
    if (!_list) {
        return;
    }
    if (_kind == Kind::Pictures) {
        showPreview();
    } else {
        _list->play();
    }
}

void ListActions::toggle() {
    if (!_list) {
        return;
    }
    if (_kind == Kind::Pictures) {
        if (_preview && _preview->isVisible()) {
            _preview->close();
        } else {
            showPreview();
        }
    } else if (_list->isPlaying() || _list->canPlay()) {
        _list->togglePlay();
    }
}

void ListActions::showPreview() {
    const int position = focusedPosition();
    if (_kind == Kind::Pictures && _preview && position >= 0) {
        _preview->showItem(position);
    }
}

std::unique_ptr<QMimeData> ListActions::selectionMimeData() const {
    auto data = std::make_unique<QMimeData>();
    const std::vector<int> positions = selection();
    if (_grid && _grid->dataSource()) {
        _grid->dataSource()->writeRowsWithIndexes(_grid, IndexSet(positions.begin(), positions.end()),
                                                  data.get());
    } else if (_table && _table->model()) {
        QModelIndexList rows;
        for (const int row : positions) {
            rows.append(_table->model()->index(row, 0));
        }
        std::unique_ptr<QMimeData> dragged(_table->model()->mimeData(rows));
        if (dragged) {
            data->setUrls(dragged->urls());
        }
    }
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        const QString path = Path::localPath(url);
        if (!path.isEmpty()) {
            paths.append(path);
        }
    }
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

void ListActions::copy() {
    if (selection().empty()) {
        return;
    }
    QGuiApplication::clipboard()->setMimeData(selectionMimeData().release());
}

void ListActions::openWithDefaultApplication() {
    DesktopFiles::openWithDefaultApplication(selectedPaths());
}

void ListActions::showInFolder() {
    DesktopFiles::showInFolder(selectedPaths());
}
