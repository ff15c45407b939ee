#include "iconview/IconView.h"

#include "iconview/AccessibleIconView.h"
#include "iconview/ThumbnailLoader.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Resources.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>
#include <limits>

const char IconViewDraw[] = "IconViewDrawNotification";
const char IconViewSelectionChanged[] = "IconViewSelectionChangedNotification";
const char IconViewDoubleClick[] = "IconViewDoubleClickNotification";

namespace {

constexpr int kColumns = 3;
constexpr int kMargin = 4;
constexpr int kCaptionHeight = 14;

// A coordinate cut towards zero to an integer; not-a-number gives 0 and values
// beyond the 32-bit range stop at its ends, so that later arithmetic stays defined.
qint64 truncated(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double limit = std::numeric_limits<int>::max();
    return static_cast<qint64>(std::clamp(std::trunc(static_cast<double>(value)), -limit, limit));
}

} // namespace

IconView::IconView(QWidget* parent)
    : QWidget(parent) {
    // Captions: the application's font at the grid's caption size, centred,
    // cut at the tail. The badge count: bold, white at 0.8 alpha, centred.
    _labelAttributes.font = QApplication::font();
    _labelAttributes.font.setPixelSize(10);
    _labelAttributes.alignment = Qt::AlignHCenter | Qt::AlignTop;
    _badgeAttributes.font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    _badgeAttributes.font.setPixelSize(10);
    _badgeAttributes.font.setBold(true);
    _badgeAttributes.alignment = Qt::AlignHCenter | Qt::AlignTop;
    _badgeAttributes.colour = QColor::fromRgbF(1, 1, 1, 0.8f);
    _badgeImg = Resources::image(QStringLiteral("MBBadge.tif"));

    AccessibleIconView::installFactory();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(ThumbnailLoader::instance(), &ThumbnailLoader::imageReady, this, &IconView::imageReady);
    attachToScrollArea();
}

IconView::~IconView() = default;

void IconView::setDataSource(IconViewDataSource* dataSource) {
    _dataSource = dataSource;
    _count = -1;
}

void IconView::awakeFromNib() {
    attachToScrollArea();
    updateSize();
}

int IconView::frameSize() const {
    return width() / kColumns;
}

int IconView::imageSize() const {
    return frameSize() - 2 * kMargin;
}

NSSize IconView::totalBoundSize() const {
    const int f = frameSize();
    return NSMakeSize(f, f + kCaptionHeight);
}

NSRect IconView::boundRect(int index) const {
    const NSSize slot = totalBoundSize();
    const int col = index % kColumns;
    const int row = index / kColumns;
    return mirrored(
        NSMakeRect(kMargin + col * slot.width, kMargin + row * slot.height, slot.width, slot.height));
}

NSRect IconView::imageRect(int index) const {
    const NSSize slot = totalBoundSize();
    const int side = imageSize();
    const int col = index % kColumns;
    const int row = index / kColumns;
    return mirrored(NSMakeRect(kMargin + col * slot.width, kMargin + row * slot.height, side, side));
}

NSRect IconView::textRect(int index) const {
    const NSSize slot = totalBoundSize();
    const int col = index % kColumns;
    const int row = index / kColumns;
    return mirrored(
        NSMakeRect(kMargin + col * slot.width, row * slot.height + frameSize(), imageSize(), kCaptionHeight));
}

NSRect IconView::mirrored(NSRect r) const {
    if (!isRightToLeft()) {
        return r;
    }
    // Right to left the columns run from the right: every rectangle is its
    // left-to-right twin reflected about the view's middle.
    r.origin.x = static_cast<float>(width()) - r.origin.x - r.size.width;
    return r;
}

NSRect IconView::scaledImageRect(int index) {
    if (!_dataSource || index < 0 || index >= count()) {
        return {};
    }
    return scaledImageRect(index, _dataSource->imageForIndex(this, index));
}

NSRect IconView::scaledImageRect(int index, const IconImagePtr& image) const {
    if (!image) {
        return {};
    }
    // A file whose size is not known yet, or that is no picture, takes the
    // whole square: its placeholder is drawn there and can be clicked.
    if (image->refersToFile() && (!image->sizeKnown() || image->isBroken())) {
        return imageRect(index);
    }
    return QVScaleRectIntoRect(srcRect(image), imageRect(index), QVAlignHCentre | QVAlignVCentre);
}

int IconView::indexAt(NSPoint p) {
    const NSSize slot = totalBoundSize();
    const qint64 w = truncated(slot.width);
    const qint64 h = truncated(slot.height);
    if (w <= 0 || h <= 0) {
        return -1;
    }
    const float x = isRightToLeft() ? static_cast<float>(width()) - p.x : p.x;
    const qint64 row = truncated(p.y) / h;
    const qint64 col = truncated(x) / w;
    qint64 index = row * kColumns + col;
    index = std::min<qint64>(index, count() - 1);
    return index < 0 ? -1 : static_cast<int>(index);
}

int IconView::firstIndexInRect(NSRect r) const {
    const qint64 h = truncated(totalBoundSize().height);
    if (h <= 0) {
        return 0;
    }
    return static_cast<int>(kColumns * (truncated(r.origin.y) / h));
}

int IconView::indexAfterRect(NSRect r) {
    const qint64 h = truncated(totalBoundSize().height);
    if (h <= 0) {
        return 0;
    }
    const qint64 after = kColumns * (truncated(r.origin.y + r.size.height) / h) + kColumns;
    return static_cast<int>(std::min<qint64>(after, count()));
}

int IconView::count() {
    if (_count >= 0) {
        return _count;
    }
    _count = _dataSource ? std::max(0, _dataSource->numberOfItemsInIconView(this)) : 0;
    updateSize();
    return _count;
}

void IconView::updateSize() {
    // The count first: fetching it fits the height already.
    const int items = count();
    const int oldHeight = height();
    const int rows = items / kColumns + (items % kColumns > 0 ? 1 : 0);
    const qint64 contentHeight = static_cast<qint64>(rows) * truncated(totalBoundSize().height);
    const int visibleHeight = _scrollArea ? _scrollArea->viewport()->height() : 0;
    // QWIDGETSIZE_MAX bounds a widget's height.
    const int newHeight =
        static_cast<int>(std::min<qint64>(std::max<qint64>(contentHeight, visibleHeight), QWIDGETSIZE_MAX));
    // The origin from before the frame change: a shorter frame would first pull
    // it in to the new end and the proportion would then be taken twice.
    const NSRect visible = documentVisibleRect();
    resize(width(), newHeight);
    if (_scrollArea) {
        if (oldHeight > 0) {
            const float ratio = static_cast<float>(newHeight) / static_cast<float>(oldHeight);
            scrollTo(visible.origin.x, visible.origin.y * ratio);
        } else {
            scrollTo(visible.origin.x, 0);
        }
    }
    update();
}

void IconView::reloadData() {
    reloadDataInPlace();
    scrollTo(0, 0);
}

void IconView::reloadDataInPlace() {
    _count = -1;
    _selection.clear();
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, this);
    update();
    AccessibleIconView::reloaded(this);
}

NSRect IconView::flipRect(NSRect r) const {
    return NSMakeRect(r.origin.x, height() - (r.origin.y + r.size.height), r.size.width, r.size.height);
}

QScrollArea* IconView::enclosingScrollArea() const {
    return _scrollArea;
}

NSRect IconView::documentVisibleRect() const {
    if (!_scrollArea) {
        return NSMakeRect(0, 0, width(), height());
    }
    const QWidget* viewport = _scrollArea->viewport();
    const QRect visible = QRect(mapFrom(viewport, QPoint(0, 0)), viewport->size()).intersected(rect());
    return NSMakeRect(visible.x(), visible.y(), visible.width(), visible.height());
}

void IconView::scrollTo(float x, float y) {
    if (!_scrollArea) {
        return;
    }
    _scrollArea->horizontalScrollBar()->setValue(static_cast<int>(std::lround(std::max(0.0f, x))));
    _scrollArea->verticalScrollBar()->setValue(static_cast<int>(truncated(std::round(std::max(0.0f, y)))));
}

bool IconView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        attachToScrollArea();
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::FocusIn) {
        // A reader arriving in the grid hears the item under the cursor.
        AccessibleIconView::focusCursor(this);
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        updateFocusRing();
    }
    return handled;
}

void IconView::updateFocusRing() {
    // Only a counted grid has a ring to redraw; counting here could lay the
    // grid out while its scroll area is being destroyed (focus leaves then).
    if (_count <= 0) {
        return;
    }
    const QRect ring = focusRingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    // Like a picture arriving, no redraw of the grid: a movie playing stays.
    _arrivals += ring;
    update(ring);
}

void IconView::attachToScrollArea() {
    // The document widget's parent is the scroll area's viewport.
    QWidget* viewport = parentWidget();
    auto* area = viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    if (area && area->viewport() != viewport) {
        area = nullptr;
    }
    if (area == _scrollArea) {
        return;
    }
    if (_viewport) {
        _viewport->removeEventFilter(this);
    }
    _scrollArea = area;
    _viewport = area ? viewport : nullptr;
    if (!_scrollArea) {
        return;
    }
    // The view takes the viewport's width itself and scrolls only vertically.
    // The vertical scroll bar stays, so that its appearing cannot change the
    // width and with it the height again.
    _scrollArea->setWidgetResizable(false);
    _scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    _scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    _viewport->installEventFilter(this);
    fitWidthToViewport();
}

void IconView::fitWidthToViewport() {
    if (!_scrollArea) {
        return;
    }
    const int viewportWidth = _scrollArea->viewport()->width();
    if (width() != viewportWidth) {
        resize(viewportWidth, height());
    }
}

bool IconView::eventFilter(QObject* watched, QEvent* event) {
    // The stored viewport, not the scroll area's: the area may be half destroyed.
    if (event->type() == QEvent::Resize && _scrollArea && watched == _viewport) {
        // Every frame of a live resize: the cells follow the width, the height follows the cells.
        fitWidthToViewport();
        updateSize();
    }
    return QWidget::eventFilter(watched, event);
}

void IconView::selectionChanged() {
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, this);
    update();
    AccessibleIconView::selectionChanged(this);
}

void IconView::statusChanged(int index) {
    AccessibleIconView::statusChanged(this, index);
}

bool IconView::showsImage(const IconImage* image) {
    if (!_dataSource || !isVisible()) {
        return false;
    }
    const NSRect visible = documentVisibleRect();
    if (visible.size.width <= 0 || visible.size.height <= 0) {
        return false;
    }
    const int first = std::max(0, firstIndexInRect(visible));
    const int after = indexAfterRect(visible);
    for (int i = first; i < after; ++i) {
        if (_dataSource->imageForIndex(this, i).get() == image) {
            return true;
        }
    }
    return false;
}

void IconView::imageReady(IconImage* image) {
    if (!_dataSource || !isVisible() || imageSize() <= 0) {
        return;
    }
    // Repaint only the cells that show the image: picture, shadow and frame.
    const NSRect visible = documentVisibleRect();
    const int first = std::max(0, firstIndexInRect(visible));
    const int after = indexAfterRect(visible);
    for (int i = first; i < after; ++i) {
        if (_dataSource->imageForIndex(this, i).get() == image) {
            const NSRect r = imageRect(i);
            const QRect cell = QRectF(r.origin.x, r.origin.y, r.size.width, r.size.height)
                                   .toAlignedRect()
                                   .adjusted(-2, -2, 8, 8);
            _arrivals += cell;
            update(cell);
        }
    }
}
