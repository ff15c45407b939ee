#include "HostWindow.h"

#include "DropList.h"

#include <QApplication>
#include <QDockWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QVMediaBrowser/QVMediaBrowser.h>
#include <QVMediaBrowser/QVMediaBrowserWidget.h>
#include <QVMediaBrowser/QVMediaPicker.h>

HostWindow::HostWindow(QWidget* parent)
    : QMainWindow(parent)
    , _dropList(new DropList(this)) {
    setWindowTitle(tr("Example Host"));
    setCentralWidget(_dropList);
    statusBar()->showMessage(tr("Drag pictures, tracks or movies from the media browser into the list"));
    connect(_dropList, &DropList::filesDropped, this, [this](const QStringList& paths) {
        statusBar()->showMessage(tr("%n file(s) dropped", nullptr, int(paths.size())));
    });

    // The browser's contents as a side panel, picking into the list.
    auto* dock = new QDockWidget(tr("Media"), this);
    _mediaPanel = new QVMediaBrowserWidget(dock, QVMediaBrowser::Pictures | QVMediaBrowser::Music);
    _mediaPanel->setPickerMode(true);
    dock->setWidget(_mediaPanel);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    connect(_mediaPanel, &QVMediaBrowserWidget::itemsChosen, this,
            [this](const QList<QVMediaItemInfo>& items) {
                for (const QVMediaItemInfo& item : items) {
                    _dropList->addFile(item.url.toLocalFile());
                }
                if (items.size() == 1 && items.first().kind == QVMediaItemInfo::Track) {
                    const QVMediaItemInfo& track = items.first();
                    statusBar()->showMessage(
                        tr("Added %1 by %2 (%3 s)").arg(track.name, track.artist).arg(track.durationSeconds));
                } else {
                    statusBar()->showMessage(tr("%n item(s) added", nullptr, int(items.size())));
                }
            });

    QMenu* media = menuBar()->addMenu(tr("&Media"));
    media->addAction(tr("Add Pictures…"), QKeySequence::Open, this, &HostWindow::addPictures);
    media->addAction(tr("Show Media Browser"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), this,
                     [this] { QVMediaBrowser::sharedBrowser()->showWindow(this); });
    media->addAction(tr("Media Browser Preferences…"), this,
                     [this] { QVMediaBrowser::sharedBrowser()->showPreferences(this); });
    media->addSeparator();
    media->addAction(tr("Quit"), QKeySequence(QKeySequence::Quit), qApp, &QApplication::quit);
}

void HostWindow::addPictures() {
    const QList<QUrl> urls =
        QVMediaPicker::getOpenMediaUrls(this, tr("Add Pictures"), {QStringLiteral("pictures")});
    for (const QUrl& url : urls) {
        _dropList->addFile(url.toLocalFile());
    }
}
