#include "HostWindow.h"

#include "DropList.h"

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QVMediaBrowser/QVMediaBrowser.h>

HostWindow::HostWindow(QWidget* parent)
    : QMainWindow(parent)
    , _dropList(new DropList(this)) {
    setWindowTitle(tr("Example Host"));
    setCentralWidget(_dropList);
    statusBar()->showMessage(tr("Drag pictures, tracks or movies from the media browser into the list"));
    connect(_dropList, &DropList::filesDropped, this, [this](const QStringList& paths) {
        statusBar()->showMessage(tr("%n file(s) dropped", nullptr, int(paths.size())));
    });

    QMenu* media = menuBar()->addMenu(tr("&Media"));
    media->addAction(tr("Show Media Browser"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), this,
                     [this] { QVMediaBrowser::sharedBrowser()->showWindow(this); });
    media->addAction(tr("Media Browser Preferences…"), this,
                     [this] { QVMediaBrowser::sharedBrowser()->showPreferences(this); });
    media->addSeparator();
    media->addAction(tr("Quit"), QKeySequence(QKeySequence::Quit), qApp, &QApplication::quit);
}
