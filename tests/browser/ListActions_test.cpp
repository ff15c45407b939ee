#include "browser/ItemContextMenu.h"
#include "browser/ListActions.h"
#include "browser/ListToolTips.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/MusicColumns.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "iconview/IconView.h"
#include "platform/system/DesktopFiles.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/Wait.h"
#include "ui_MediaBrowser.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Records the URLs the desktop is asked to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class ListHome : public TempHome {
public:
    ListHome() {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (const char* name : {"Beach", "Harbour", "A rather long name for a little picture"}) {
            picture.save(makeDirectory(QStringLiteral("Pictures/Holiday")) + QLatin1Char('/') +
                         QString::fromUtf8(name) + QStringLiteral(".png"));
        }
        MediaFixtures::copy(MediaFixtures::Fixture::UntaggedMp3,
                            file(QStringLiteral("Music/Album/A song whose title goes on and on.mp3")));
    }
};

// The window with the only folder of a tab chosen in its outline.
void chooseFolder(MediaBrowserWindow& window, int kind, QTreeView* outline, const QString& name, int items) {
    QVMBTreeController* tree = window.treeController(kind);
    const QModelIndex root = tree->index(0, 0);
    ASSERT_EVENTUALLY(tree->rowCount(root) == 1, 5000);
    const QModelIndex folder = tree->index(0, 0, root);
    ASSERT_EQ(folder.data().toString(), name);
    outline->setCurrentIndex(folder);
    ASSERT_EVENTUALLY(window.actions(kind)->list()->numItems() == items, 5000);
}

QStringList pathsOf(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        paths.append(Path::localPath(url));
    }
    return paths;
}

TEST(ListActions, CopyPutsTheDraggedFilesAndTheirPathsOnTheClipboard) {
    ListHome home;
    MediaBrowserWindow window;
    window.show();
    chooseFolder(window, 0, window.ui().picturesOutline, QStringLiteral("Holiday"), 3);
    IconView* grid = window.photoView();
    grid->moveCursorTo(2);
    grid->toggleSelected(0);
    ListActions* actions = window.actions(0);
    const QStringList selected = {actions->pathAt(0), actions->pathAt(2)};

    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    // What a drag of the same pictures carries, and the paths for a text field.
    std::unique_ptr<QMimeData> dragged(new QMimeData);
    window.photoList()->writeRowsWithIndexes(grid, {0, 2}, dragged.get());
    EXPECT_EQ(copied->urls(), dragged->urls());
    EXPECT_EQ(pathsOf(copied->urls()), selected);
    EXPECT_EQ(copied->text(), selected.join(QLatin1Char('\n')));
}

TEST(ListActions, TheContextMenuActsOnTheItemClickedAndNotOnAGap) {
    ListHome home;
    MediaBrowserWindow window;
    window.show();
    chooseFolder(window, 0, window.ui().picturesOutline, QStringLiteral("Holiday"), 3);
    IconView* grid = window.photoView();
    grid->moveCursorTo(0);
    const auto menuAt = [grid](NSPoint p) {
        const QPoint at(static_cast<int>(p.x), static_cast<int>(p.y));
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &event);
        QMenu* menu = grid->findChild<QMenu*>();
        QStringList texts;
        if (menu != nullptr) {
            for (const QAction* action : menu->actions()) {
                texts.append(action->text());
            }
            delete menu;
        }
        return texts;
    };
    // A right click on another picture selects it alone first.
    const NSRect second = grid->imageRect(1);
    EXPECT_EQ(menuAt(NSMakePoint(second.origin.x + 10, second.origin.y + 10)),
              (QStringList{QStringLiteral("Preview"), QStringLiteral("Open With Default Application"),
                           QStringLiteral("Show in Folder"), QString(), QStringLiteral("Copy")}));
    EXPECT_EQ(grid->selection(), (IndexSet{1}));
    // Below every item: no menu, and the selection stays.
    EXPECT_TRUE(menuAt(NSMakePoint(5, grid->height() - 5)).isEmpty());
    EXPECT_EQ(grid->selection(), (IndexSet{1}));
}

TEST(ListActions, ShowInFolderOpensTheFolderWhereNoFileManagerAnswers) {
    ListHome home;
    PrivateBus bus; // a session bus on which no file manager runs
    ASSERT_TRUE(bus.isRunning());
    OpenedUrls opened;
    const QString picture = home.file(QStringLiteral("Pictures/Holiday/Beach.png"));
    std::optional<bool> answered;
    DesktopFiles::showInFolder({picture}, [&answered](bool fileManager) { answered = fileManager; });
    ASSERT_EVENTUALLY(answered.has_value(), 10000);
    EXPECT_FALSE(*answered);
    EXPECT_EQ(pathsOf(opened.urls), QStringList{home.file(QStringLiteral("Pictures/Holiday"))});
}

TEST(ListActions, TooltipsTellCutOffNamesAndTheCellsDetails) {
    ListHome home;
    MediaBrowserWindow window;
    window.resize(360, 600);
    window.show();
    chooseFolder(window, 0, window.ui().picturesOutline, QStringLiteral("Holiday"), 3);
    ListToolTips pictures(window.actions(0));
    IconView* grid = window.photoView();
    for (int i = 0; i < 3; ++i) {
        const NSRect caption = grid->textRect(i);
        const QString tip = pictures.toolTipAt(
            QPoint(static_cast<int>(caption.origin.x + 5), static_cast<int>(caption.origin.y + 5)));
        const QString name = window.photoList()->labelForIndex(grid, i);
        // The whole name, then the same details the preview shows first.
        const qint64 bytes = QFileInfo(window.actions(0)->pathAt(i)).size();
        EXPECT_EQ(tip, name + QStringLiteral("\n64 × 48 pixels · ") +
                           QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat));
    }
    EXPECT_TRUE(pictures.toolTipAt(QPoint(5, grid->height() - 5)).isEmpty());

    window.ui().buttons->setSelectedSegment(1);
    Q_EMIT window.ui().buttons->clicked();
    chooseFolder(window, 1, window.ui().musicOutline, QStringLiteral("Album"), 1);
    MusicTableView* table = window.musicTable();
    ListToolTips tracks(window.actions(1));
    const auto tipOf = [&](int column) {
        return tracks.toolTipAt(table->visualRect(table->model()->index(0, column)).center());
    };
    // The title is cut off at this width; the time is not.
    EXPECT_EQ(tipOf(0), QStringLiteral("A song whose title goes on and on"));
    table->horizontalHeader()->resizeSection(MusicColumns::kArtistColumn, 60);
    EXPECT_TRUE(tipOf(2).isEmpty());
}

TEST(MusicColumns, TheNameTakesTheSpareWidthAndDraggedWidthsAreKept) {
    ListHome home;
    QSettings().remove(MusicColumns::artistWidthKey());
    QSettings().remove(MusicColumns::timeWidthKey());
    MusicListController list;
    MusicTableView table;
    list.setTableView(&table);
    list.awakeFromNib();
    table.resize(360, 300);
    table.show();
    MusicColumns columns(&table);
    QHeaderView* header = table.horizontalHeader();
    const int available = table.viewport()->width();
    const auto width = [header](int column) {
        return header->sectionSize(column);
    };
    // The name is the widest; the three fill the table.
    EXPECT_GT(width(0), width(1));
    EXPECT_GT(width(0), width(2));
    EXPECT_EQ(width(0) + width(1) + width(2), available);
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(header->sectionResizeMode(column), QHeaderView::Interactive) << column;
    }

    // Dragging the artist's edge: the name gives the width, and it is remembered.
    header->resizeSection(MusicColumns::kArtistColumn, 140);
    EXPECT_EQ(width(1), 140);
    EXPECT_EQ(width(0) + width(1) + width(2), available);
    // Dragging the name's edge trades with the artist.
    header->resizeSection(MusicColumns::kNameColumn, width(0) + 20);
    EXPECT_EQ(width(1), 120);
    EXPECT_EQ(width(0) + width(1) + width(2), available);
    // A wider window gives the name the difference.
    const int name = width(0);
    table.resize(560, 300);
    EXPECT_EQ(width(0), name + 200);
    EXPECT_EQ(width(1), 120);

    MusicTableView again;
    list.setTableView(&again);
    list.awakeFromNib();
    again.resize(560, 300);
    again.show();
    MusicColumns remembered(&again);
    EXPECT_EQ(again.horizontalHeader()->sectionSize(MusicColumns::kArtistColumn), 120);
}

} // namespace

#include "ListActions_test.moc"
