#pragma once

#include "iconview/Geometry.h"
#include "iconview/IconImage.h"
#include "iconview/IconViewDataSource.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QScrollArea>
#include <QVMediaBrowser/Notifications.h>
#include <QWidget>

#include <memory>
#include <optional>

class QMimeData;

// The thumbnail grid: three columns of square pictures with a caption under
// each, as the document widget of a vertically scrolling QScrollArea whose
// viewport width it always takes. A data source gives the count, images and
// captions; the view keeps only the selection and a keyboard cursor. All
// geometry is in the view's own coordinates (y downwards) and is derived from
// its width on every call.
class IconView : public QWidget {
    Q_OBJECT
public:
    explicit IconView(QWidget* parent = nullptr);
    ~IconView() override;

    // Not owned.
    void setDataSource(IconViewDataSource* dataSource);
    IconViewDataSource* dataSource() const { return _dataSource; }
    // Fits the height once the data source is connected.
    void awakeFromNib();

    // Cell geometry: F, the side of a cell's frame; I, the side of the picture
    // square; W x H, a cell's slot. In a right-to-left layout the columns run
    // from the right edge.
    int frameSize() const;
    int imageSize() const;
    NSSize totalBoundSize() const;
    NSRect boundRect(int index) const;
    NSRect imageRect(int index) const;
    NSRect textRect(int index) const;
    // The picture fitted and centred in the picture square; empty when there is no image.
    NSRect scaledImageRect(int index);
    NSRect scaledImageRect(int index, const IconImagePtr& image) const;

    // The item whose slot holds p, the last item for points beyond it, and -1
    // when nothing can be hit (no items, a point before the grid, a width too
    // small for slots).
    int indexAt(NSPoint p);
    // The half-open range of the indexes whose cells can meet r.
    int firstIndexInRect(NSRect r) const;
    int indexAfterRect(NSRect r);

    // Fits the height to the rows (at least the visible height) and keeps the
    // scroll position in proportion.
    void updateSize();
    // The data source's count, asked once after each reload; never negative.
    int count();
    // Forgets the count, empties the selection and shows the top of the grid.
    void reloadData();
    // Reloads as reloadData() does, but where the view is scrolled to.
    void reloadDataInPlace();

    // The view's own selection; every index in it is below the count.
    IndexSet& selection() { return _selection; }
    int cursorPos() const { return _cursorPos; }

    bool isFlipped() const { return true; }
    NSRect flipRect(NSRect r) const;

    // Redraws the rows that meet d with painter (which must paint this view).
    void drawRect(QPainter& painter, NSRect d);

    // Keyboard cursor and selection commands.
    void moveLeft();
    void moveRight();
    void moveUp();
    void moveDown();
    void cursorMoved();
    void selectAll();
    // What a click on the item's picture does: index becomes the cursor and the
    // one selected item; or, with Ctrl, it joins or leaves the selection.
    void moveCursorTo(int index);
    void toggleSelected(int index);
    // The data source's status for the item changed (a movie started or
    // stopped there): screen readers are told.
    void statusChanged(int index);

    // What a drag from p would carry: the drag image (the fitted picture at
    // 0.6 opacity, with the count badge for several items), the picture's top
    // left corner in the view, and the data source's pasteboard contents. None
    // when no drag would start there.
    struct DragPayload {
        QImage image;
        QPoint imageOrigin;
        std::unique_ptr<QMimeData> mimeData;
    };
    std::optional<DragPayload> prepareDrag(NSPoint p);
    // Copy out of the application; nothing inside it.
    static Qt::DropActions draggingSourceOperationMaskForLocal(bool local);

    // The scroll area this view is the document of, if any.
    QScrollArea* enclosingScrollArea() const;
    // The part of the view the scroll area shows (the whole view without one).
    NSRect documentVisibleRect() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // r as laid out in the view's direction (r itself left to right).
    NSRect mirrored(NSRect r) const;
    void attachToScrollArea();
    void fitWidthToViewport();
    void scrollTo(float x, float y);
    void selectionChanged();
    void mouseDown(NSPoint p, Qt::KeyboardModifiers modifiers);
    void mouseDragged(QMouseEvent* event);
    void imageReady(IconImage* image);
    bool showsImage(const IconImage* image);
    // Brings a cursor left beyond the count by a reload back to the last item.
    void clampCursor();
    QImage makeDragImage(const IconImagePtr& image, NSRect r) const;
    // The rectangle a picture at r is drawn at: r on whole device pixels.
    QRectF pixelAligned(NSRect r) const;
    // The item the keyboard is on: the cursor's, or the first while nothing
    // is selected (the first arrow key selects it).
    int focusedIndex() const;
    // Around that item's picture square, drawn while the view has the focus.
    QRectF focusRingRect() const;
    // Draws or removes the focus ring without a redraw of the grid for its observers.
    void updateFocusRing();

    IconViewDataSource* _dataSource = nullptr; // not owned
    int _count = -1;
    TextAttributes _labelAttributes;
    TextAttributes _badgeAttributes;
    IndexSet _selection;
    int _cursorPos = 0;
    QImage _badgeImg;

    QPointer<QScrollArea> _scrollArea; // the enclosing scroll area, not owned
    QPointer<QWidget> _viewport;       // its viewport, whose size the view follows
    // Where the next repaint is only for pictures that arrived: such a repaint
    // draws the cells again but is no redraw of the grid for its observers.
    QRegion _arrivals;
    bool _drawingArrivals = false;
    int _clickCount = 0;
    QPoint _pressPos;
    bool _dragTried = false;
};
