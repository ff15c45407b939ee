// A small window that accepts dropped files, for checking drags out of the
// browser by hand (tools/check-drag): it prints the local path of each dropped
// URL on a line of its own and exits after the first drop.
// Usage: qvmb-drop-target [X Y]   (places the window at X,Y; 300x300)
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {
class DropTarget : public QLabel {
public:
    DropTarget()
        : QLabel(QStringLiteral("Drop files here")) {
        setAlignment(Qt::AlignCenter);
        setAcceptDrops(true);
        setWindowTitle(QStringLiteral("Drop target"));
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) {
            event->acceptProposedAction();
        }
    }
    void dragMoveEvent(QDragMoveEvent* event) override {
        if (event->mimeData()->hasUrls()) {
            event->acceptProposedAction();
        }
    }
    void dropEvent(QDropEvent* event) override {
        for (const QUrl& url : event->mimeData()->urls()) {
            const QByteArray path =
                url.isLocalFile() ? QFile::encodeName(url.toLocalFile()) : url.toEncoded();
            std::printf("%s\n", path.constData());
        }
        std::fflush(stdout);
        event->acceptProposedAction();
        // Leave after the drag source has heard that the drop was taken.
        QTimer::singleShot(100, qApp, &QApplication::quit);
    }
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    DropTarget target;
    target.resize(300, 300);
    if (argc == 3) {
        target.move(QString::fromLocal8Bit(argv[1]).toInt(), QString::fromLocal8Bit(argv[2]).toInt());
    }
    target.show();
    return QApplication::exec();
}
