#pragma once

#include "iconview/IconImage.h"

#include <QMimeData>
#include <QString>

#include <memory>
#include <set>

class IconView;

// Indexes of items, in ascending order.
using IndexSet = std::set<int>;

// What the icon view asks of the list it shows. Indexes are below the count the
// view was last given.
class IconViewDataSource {
public:
    virtual ~IconViewDataSource() = default;

    // The number of items, zero or more; asked once after each reload.
    virtual int numberOfItemsInIconView(IconView* view) = 0;
    // The item's image, or none; asked on every redraw, so it must be cheap.
    virtual IconImagePtr imageForIndex(IconView* view, int index) = 0;
    virtual QString labelForIndex(IconView* view, int index) = 0;
    // What is going on with the item, for screen readers ("Playing"); empty
    // when nothing is.
    virtual QString statusForIndex(IconView*, int) { return {}; }
    // The pasteboard a drag of the items starts with, before
    // writeRowsWithIndexes fills it: a plain one unless the list hands its
    // data over later (files still to be fetched from the network).
    virtual std::unique_ptr<QMimeData> newPasteboard(IconView*, const IndexSet&) {
        return std::make_unique<QMimeData>();
    }
    // Puts the items on the drag's pasteboard; false cancels the drag.
    virtual bool writeRowsWithIndexes(IconView* view, const IndexSet& indexes, QMimeData* pasteboard) = 0;
};
