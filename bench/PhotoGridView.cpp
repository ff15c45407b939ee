#include "browser/PhotoListController.h"
#include "iconview/IconView.h"
#include "sources/local/LocalFolder.h"

#include <QApplication>
#include <QScrollArea>

// Shows the Pictures grid of a directory, for looking at it:
//   photo_grid_view DIRECTORY [WIDTH HEIGHT [SELECTED...]]
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        qWarning("usage: photo_grid_view DIRECTORY [WIDTH HEIGHT [SELECTED...]]");
        return 2;
    }
    PhotoListController list;
    QScrollArea area;
    area.setFrameShape(QFrame::NoFrame);
    auto* view = new IconView;
    view->setDataSource(&list);
    list.setIconView(view);
    area.setWidget(view);
    area.resize(arguments.size() > 3 ? arguments[2].toInt() : 900,
                arguments.size() > 3 ? arguments[3].toInt() : 700);
    area.show();
    list.setFolder(LocalFolder::create(arguments[1], LocalFolder::Pictures));
    for (qsizetype i = 4; i < arguments.size(); ++i) {
        view->selection().insert(arguments[i].toInt());
    }
    return QApplication::exec();
}
