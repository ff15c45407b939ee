// The start-up baseline: a bare Qt program with the browser window's kinds of
// widgets (a tree, a table and a line edit) and nothing behind them. Run by
// bench/startup.sh beside the program; with QVMB_EXIT_AFTER_FIRST_PAINT set to
// the start time (ns since the epoch) it prints "first-paint-ms N" after its
// first paint and quits, as the program does.
#include "app/FirstPaintProbe.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    for (const char* name : {"Pictures", "Music", "Movies"}) {
        new QTreeWidgetItem(tree, {QString::fromLatin1(name)});
    }
    auto* table = new QTableWidget(20, 3);
    auto* search = new QLineEdit;
    search->setPlaceholderText(QStringLiteral("Search"));
    auto* body = new QHBoxLayout;
    body->addWidget(tree, 1);
    body->addWidget(table, 2);
    auto* layout = new QVBoxLayout(&window);
    layout->addLayout(body);
    layout->addWidget(search);
    window.resize(360, 600); // the browser window's size

    FirstPaintProbe probe([&window] { return &window; }, qgetenv("QVMB_EXIT_AFTER_FIRST_PAINT").toLongLong());
    if (qEnvironmentVariableIsSet("QVMB_EXIT_AFTER_FIRST_PAINT")) {
        app.installEventFilter(&probe);
    }
    window.show();
    return QApplication::exec();
}
