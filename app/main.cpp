#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVMediaBrowserApp"));
    QApplication::setOrganizationName(QStringLiteral("qvmediabrowser"));

    // Until the browser window exists: an empty floating panel.
    QWidget panel(nullptr, Qt::Tool);
    panel.setWindowTitle(QStringLiteral("Media Browser"));
    panel.resize(420, 560);
    panel.show();
    return QApplication::exec();
}
