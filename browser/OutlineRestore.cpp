#include "browser/OutlineRestore.h"

#include "browser/QVMBTreeController.h"
#include "model/MediaFolder.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

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

QString OutlineRestore::pathOf(const QList<Step>& steps) {
    QStringList escaped;
    for (const Step& step : steps) {
        QString name = step.name;
        name.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        name.replace(QLatin1Char('/'), QStringLiteral("\\/"));
        if (step.occurrence > 1) {
            name += QStringLiteral("\\#") + QString::number(step.occurrence);
        }
        escaped.append(name);
    }
    return escaped.join(QLatin1Char('/'));
}

QList<OutlineRestore::Step> OutlineRestore::stepsOf(const QString& path) {
    QList<Step> steps;
    Step step;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == QLatin1Char('\\') && i + 1 < path.size() && path.at(i + 1) == QLatin1Char('#')) {
            // The occurrence, up to the end of the step.
            qsizetype end = i + 2;
            while (end < path.size() && path.at(end) != QLatin1Char('/')) {
                ++end;
            }
            step.occurrence = std::max(1, path.mid(i + 2, end - i - 2).toInt());
            i = end - 1;
        } else if (c == QLatin1Char('\\') && i + 1 < path.size()) {
            step.name.append(path.at(++i));
        } else if (c == QLatin1Char('/')) {
            steps.append(step);
            step = Step();
        } else {
            step.name.append(c);
        }
    }
    steps.append(step);
    return steps;
}

QString OutlineRestore::pathOf(const MediaFolder* folder, const MediaFolder* root) {
    QList<Step> steps;
    for (; folder != nullptr && folder != root; folder = folder->parent()) {
        Step step{folder->name()};
        if (MediaFolder* parent = folder->parent()) {
            // The parent holds this folder, so its folders are loaded.
            for (const MediaFolderPtr& sibling : parent->folders()) {
                if (sibling.get() == folder) {
                    break;
                }
                step.occurrence += sibling->name() == step.name ? 1 : 0;
            }
        }
        steps.prepend(step);
    }
    return folder == root ? pathOf(steps) : QString();
}

OutlineRestore::Found OutlineRestore::find(const QString& path, QModelIndex* index) {
    QModelIndex parent;
    for (const Step& step : stepsOf(path)) {
        // Asking for the rows starts a folder's loading; they arrive later.
        const int rows = _model->rowCount(parent);
        QModelIndex match;
        int seen = 0;
        for (int row = 0; row < rows && !match.isValid(); ++row) {
            const QModelIndex candidate = _model->index(row, 0, parent);
            if (_model->folderForIndex(candidate)->name() == step.name && ++seen == step.occurrence) {
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
