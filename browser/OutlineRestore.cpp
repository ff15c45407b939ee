#include "browser/OutlineRestore.h"

#include "browser/QVMBTreeController.h"
#include "model/MediaFolder.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QTimer>
#include <QTreeView>

OutlineRestore::OutlineRestore(QVMBTreeController* model, QTreeView* outline, const QStringList& expanded,
                               const QString& selected)
    : QObject(model)
    , _model(model)
    , _outline(outline)
    , _expanded(expanded)
    , _selected(selected.isEmpty() ? QString() : selected) {
    // The rows a path waits for arrive with these.
    connect(model, &QAbstractItemModel::rowsInserted, this, &OutlineRestore::scheduleStep);
    connect(model, &QAbstractItemModel::modelReset, this, &OutlineRestore::scheduleStep);
    connect(model, &QAbstractItemModel::layoutChanged, this, &OutlineRestore::scheduleStep);
    outline->installEventFilter(this);
    outline->viewport()->installEventFilter(this);
    scheduleStep();
}

QString OutlineRestore::pathOf(const QStringList& names) {
    QStringList escaped;
    for (QString name : names) {
        name.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        name.replace(QLatin1Char('/'), QStringLiteral("\\/"));
        escaped.append(name);
    }
    return escaped.join(QLatin1Char('/'));
}

QStringList OutlineRestore::namesOf(const QString& path) {
    QStringList names;
    QString name;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == QLatin1Char('\\') && i + 1 < path.size()) {
            name.append(path.at(++i));
        } else if (c == QLatin1Char('/')) {
            names.append(name);
            name.clear();
        } else {
            name.append(c);
        }
    }
    names.append(name);
    return names;
}

QString OutlineRestore::pathOf(const MediaFolder* folder, const MediaFolder* root) {
    QStringList names;
    for (; folder != nullptr && folder != root; folder = folder->parent()) {
        names.prepend(folder->name());
    }
    return folder == root ? pathOf(names) : QString();
}

OutlineRestore::Found OutlineRestore::find(const QString& path, QModelIndex* index) {
    QModelIndex parent;
    for (const QString& name : namesOf(path)) {
        // Asking for the rows starts a folder's loading; they arrive later.
        const int rows = _model->rowCount(parent);
        QModelIndex match;
        for (int row = 0; row < rows && !match.isValid(); ++row) {
            const QModelIndex candidate = _model->index(row, 0, parent);
            if (_model->folderForIndex(candidate)->name() == name) {
                match = candidate;
            }
        }
        if (!match.isValid()) {
            const MediaFolder* folder = _model->folderForIndex(parent);
            const bool settled = folder->isLoaded() && folder->loadState() != MediaFolder::LoadState::Loading;
            return settled ? Found::Never : Found::NotYet;
        }
        parent = match;
    }
    *index = parent;
    return index->isValid() ? Found::Yes : Found::Never;
}

void OutlineRestore::scheduleStep() {
    // After the model's own handling of the change (a reset selects its kept row first).
    if (!_stepQueued) {
        _stepQueued = true;
        QTimer::singleShot(0, this, &OutlineRestore::step);
    }
}

void OutlineRestore::step() {
    _stepQueued = false;
    if (!_model || !_outline) {
        finish();
        return;
    }
    for (qsizetype i = 0; i < _expanded.size();) {
        QModelIndex index;
        const Found found = find(_expanded.at(i), &index);
        if (found == Found::Yes) {
            _outline->expand(index);
        }
        if (found == Found::NotYet) {
            ++i;
        } else {
            _expanded.removeAt(i);
        }
    }
    if (!_selected.isNull()) {
        QModelIndex index;
        const Found found = find(_selected, &index);
        if (found == Found::Yes) {
            for (QModelIndex above = index.parent(); above.isValid(); above = above.parent()) {
                _outline->expand(above);
            }
            _outline->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
            _outline->scrollTo(index);
        }
        if (found != Found::NotYet) {
            _selected = QString();
        }
    }
    if (isDone()) {
        finish();
    }
}

void OutlineRestore::finish() {
    _expanded.clear();
    _selected = QString();
    if (_outline) {
        _outline->removeEventFilter(this);
        _outline->viewport()->removeEventFilter(this);
    }
    Q_EMIT finished();
    deleteLater();
}

bool OutlineRestore::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
        // The user chooses now; what they had before gives way.
        if (!isDone()) {
            finish();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
