// An application that shows the media browser and takes what the user drags
// out of it or picks with it. Run with --self-test FILE... to show the
// browser, drop the files on the list through Qt's drag events, open and
// cancel the picker, print what the list holds and leave (the installation
// check runs it so).
#include "DropList.h"
#include "HostWindow.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <QVMediaBrowser/QVMediaBrowser.h>
#include <QVMediaBrowser/QVMediaBrowserWidget.h>
#include <QVMediaBrowser/QVMediaPicker.h>

namespace {
int selfTest(HostWindow& window, const QStringList& files) {
    QTextStream out(stdout);
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    browser->setTypeMask(QVMediaBrowser::Pictures | QVMediaBrowser::Music);
    browser->showWindow(&window);
    out << "browser window: " << browser->window()->windowTitle()
        << (browser->window()->isVisible() ? " (shown)" : " (hidden)") << '\n';

    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) {
        urls.append(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    }
    data.setUrls(urls);
    // A list takes drag events through its viewport, as from a real drag.
    DropList* list = window.dropList();
    QWidget* viewport = list->viewport();
    const QPoint centre = viewport->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);

    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        out << "dropped: " << item->data(Qt::UserRole).toString() << '\n';
    }
    out << "media panel: " << (window.mediaPanel()->isPickerMode() ? "picking" : "browsing") << '\n';

    // The picker, cancelled as soon as it shows: nothing is added.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&cancel] {
        if (auto* picker = qobject_cast<QVMediaPicker*>(QApplication::activeModalWidget())) {
            picker->reject();
            cancel.stop();
        }
    });
    cancel.start(50);
    window.addPictures();
    out << "picker cancelled, list holds " << list->count() << '\n';
    return enter.isAccepted() && drop.isAccepted() && list->count() == files.size() ? 0 : 1;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qvmb-example-host"));

    HostWindow window;
    window.resize(480, 360);
    window.show();

    QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && arguments.at(1) == QStringLiteral("--self-test")) {
        return selfTest(window, arguments.mid(2));
    }
    return QApplication::exec();
}
