#include "browser/BrowserStateAutosave.h"

#include "browser/OutlineRestore.h"
#include "browser/QVMBTreeController.h"
#include "browser/SegmentedControl.h"
#include "browser/TabShortcuts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

namespace {

QString kindName(int kind) {
    static const char* const names[] = {"Pictures", "Music", "Movies"};
    return QLatin1String(names[kind]);
}

} // namespace

BrowserStateAutosave::BrowserStateAutosave(QWidget* window, SegmentedControl* tabBar, TabShortcuts* tabs,
                                           const std::array<Tab, 3>& perTab, QObject* parent)
    : QObject(parent)
    , _window(window)
    , _tabBar(tabBar)
    , _tabs(tabs)
    , _perTab(perTab) {
    // One writer: the saves reach the file in the order they were made.
    _writer.setMaxThreadCount(1);
    restore();
    window->installEventFilter(this);
    connect(tabBar, &SegmentedControl::clicked, this, &BrowserStateAutosave::save);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &BrowserStateAutosave::saveNow);
    for (int kind = 0; kind < 3; ++kind) {
        const Tab& tab = _perTab[static_cast<std::size_t>(kind)];
        // What the user does in the outline is their place there.
        tab.outline->installEventFilter(this);
        tab.outline->viewport()->installEventFilter(this);
        connect(tab.splitter, &QSplitter::splitterMoved, this, &BrowserStateAutosave::save);
        // A rebuild (the preferences changed) brings the user's place back.
        connect(tab.tree, &QAbstractItemModel::modelReset, this, [this, kind] {
            const Place& place = _places[static_cast<std::size_t>(kind)];
            if (QVMBTreeController* tree = _perTab[static_cast<std::size_t>(kind)].tree) {
                tree->restoreFolders(place.expanded, place.selected);
            }
        });
    }
}

BrowserStateAutosave::~BrowserStateAutosave() {
    _writer.waitForDone();
}

QString BrowserStateAutosave::settingsKey(const QString& name) {
    return QStringLiteral("BrowserState/") + name;
}

void BrowserStateAutosave::restore() {
    QSettings settings;
    for (int kind = 0; kind < 3; ++kind) {
        const Tab& tab = _perTab[static_cast<std::size_t>(kind)];
        Place& place = _places[static_cast<std::size_t>(kind)];
        const QString prefix = kindName(kind) + QLatin1Char('/');
        // A list of one or none does not survive the settings file as a plain list.
        const int count = settings.beginReadArray(settingsKey(prefix + QStringLiteral("Expanded")));
        for (int i = 0; i < count; ++i) {
            settings.setArrayIndex(i);
            place.expanded.append(settings.value(QStringLiteral("path")).toString());
        }
        settings.endArray();
        place.selected = settings.value(settingsKey(prefix + QStringLiteral("Selected"))).toString();
        const QByteArray splitter =
            settings.value(settingsKey(prefix + QStringLiteral("Splitter"))).toByteArray();
        if (!splitter.isEmpty()) {
            tab.splitter->restoreState(splitter);
        }
        if (!place.expanded.isEmpty() || !place.selected.isEmpty()) {
            tab.tree->restoreFolders(place.expanded, place.selected);
        }
    }
    const QVariant tag = settings.value(settingsKey(QStringLiteral("Tab")));
    if (tag.isValid() && _tabs) {
        for (int segment = 0; segment < _tabBar->segmentCount(); ++segment) {
            if (_tabBar->tag(segment) == tag.toInt()) {
                _tabs->chooseSegment(segment);
            }
        }
    }
}

void BrowserStateAutosave::takePlace(int kind) {
    const Tab& tab = _perTab[static_cast<std::size_t>(kind)];
    Place& place = _places[static_cast<std::size_t>(kind)];
    if (!tab.tree) {
        return;
    }
    place.expanded = tab.tree->expandedFolderPaths();
    const MediaFolderPtr selected = tab.tree->selection();
    place.selected =
        selected ? OutlineRestore::pathOf(selected.get(), tab.tree->folderForIndex({})) : QString();
    save();
}

void BrowserStateAutosave::takePlaceSoon(int kind) {
    // Once the outline has acted on the click or key.
    QTimer::singleShot(0, this, [this, kind] { takePlace(kind); });
}

void BrowserStateAutosave::save() {
    if (!_tabBar) {
        return;
    }
    // What to keep is taken here; the settings file is written on the writer's
    // thread, as writing it takes long on a busy disk and this runs on every
    // click and key in an outline.
    QList<std::pair<QString, QVariant>> values;
    QList<std::pair<QString, QStringList>> arrays;
    values.append({settingsKey(QStringLiteral("Tab")), _tabBar->selectedTag()});
    for (int kind = 0; kind < 3; ++kind) {
        const Tab& tab = _perTab[static_cast<std::size_t>(kind)];
        const Place& place = _places[static_cast<std::size_t>(kind)];
        const QString prefix = kindName(kind) + QLatin1Char('/');
        arrays.append({settingsKey(prefix + QStringLiteral("Expanded")), place.expanded});
        values.append({settingsKey(prefix + QStringLiteral("Selected")), place.selected});
        // The window's parts go before it when it is destroyed.
        if (tab.splitter) {
            values.append({settingsKey(prefix + QStringLiteral("Splitter")), tab.splitter->saveState()});
        }
    }
    _writer.start([values = std::move(values), arrays = std::move(arrays)] {
        QSettings settings;
        for (const auto& [key, paths] : arrays) {
            settings.beginWriteArray(key, static_cast<int>(paths.size()));
            for (int i = 0; i < paths.size(); ++i) {
                settings.setArrayIndex(i);
                settings.setValue(QStringLiteral("path"), paths.at(i));
            }
            settings.endArray();
        }
        for (const auto& [key, value] : values) {
            settings.setValue(key, value);
        }
    });
}

void BrowserStateAutosave::saveNow() {
    save();
    _writer.waitForDone();
}

bool BrowserStateAutosave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window && event->type() == QEvent::Hide) {
        saveNow();
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
        for (int kind = 0; kind < 3; ++kind) {
            const Tab& tab = _perTab[static_cast<std::size_t>(kind)];
            if (tab.outline && (watched == tab.outline || watched == tab.outline->viewport())) {
                takePlaceSoon(kind);
            }
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
