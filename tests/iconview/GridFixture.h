#pragma once

#include "iconview/IconView.h"
#include "platform/system/NotificationCenter.h"

#include <QImage>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

// A data source of in-memory pictures that records what the view asks of it.
class FakeSource : public IconViewDataSource {
public:
    int count = 0;
    // The picture of every item unless images holds one for its index.
    IconImagePtr picture = IconImage::fromImage(solid(QSize(40, 40), Qt::red));
    std::vector<IconImagePtr> images;
    bool noImages = false;
    bool acceptWrite = true;

    int countAsks = 0;
    std::vector<int> askedIndexes;
    std::vector<IndexSet> written;

    static QImage solid(QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    int numberOfItemsInIconView(IconView*) override {
        ++countAsks;
        return count;
    }
    IconImagePtr imageForIndex(IconView*, int index) override {
        ask(index);
        if (noImages) {
            return nullptr;
        }
        if (index >= 0 && index < static_cast<int>(images.size()) && images[index]) {
            return images[index];
        }
        return picture;
    }
    QString labelForIndex(IconView*, int index) override {
        ask(index);
        return QStringLiteral("Item %1").arg(index);
    }
    bool writeRowsWithIndexes(IconView*, const IndexSet& indexes, QMimeData* pasteboard) override {
        written.push_back(indexes);
        QList<QUrl> urls;
        for (int i : indexes) {
            urls.append(QUrl::fromLocalFile(QStringLiteral("/pictures/%1.jpg").arg(i)));
        }
        pasteboard->setUrls(urls);
        return acceptWrite;
    }
    // Whether an index at or beyond the count of its time, or a negative one, was asked for.
    bool askedOutOfRange = false;

private:
    void ask(int index) {
        askedIndexes.push_back(index);
        askedOutOfRange |= index < 0 || index >= count;
    }
};

// An icon view as the document of a frameless scroll area whose viewport is
// viewWidth wide and viewportHeight high.
struct Grid {
    explicit Grid(int viewWidth = 310, int viewportHeight = 400) {
        area.setFrameShape(QFrame::NoFrame);
        view = new IconView;
        view->setDataSource(&source);
        area.setWidget(view);
        const int scrollBar = area.verticalScrollBar()->sizeHint().width();
        area.resize(viewWidth + scrollBar, viewportHeight);
        area.show();
        area.resize(viewWidth + (area.width() - area.viewport()->width()), viewportHeight);
    }
    void reload(int count) {
        source.count = count;
        view->reloadData();
        view->count();
    }
    int scrollY() const { return area.verticalScrollBar()->value(); }

    FakeSource source;
    QScrollArea area;
    IconView* view = nullptr;
};

// Counts the notifications of one name about one object.
class NotificationCounter {
public:
    NotificationCounter(const char* name, const void* object) {
        NotificationCenter::defaultCenter().addObserver(this, name, object,
                                                        [this](const Notification&) { ++count; });
    }
    ~NotificationCounter() { NotificationCenter::defaultCenter().removeObserver(this); }
    NotificationCounter(const NotificationCounter&) = delete;
    NotificationCounter& operator=(const NotificationCounter&) = delete;
    int count = 0;
};
