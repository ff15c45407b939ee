#pragma once

#include "browser/PreviewDecoder.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class PhotoListController;
class PreviewCanvas;
class QLabel;
class QScrollArea;
class QTimer;
class QToolButton;
struct Notification;

// A larger look at one picture of the pictures list, in a window of its own:
// the picture fitted to the window (HEIC, AVIF and camera RAW included), the
// arrow keys or the window's buttons to its neighbours in the list, 1 (or a
// double click) for one picture pixel to a screen pixel and back, Escape or
// Space to close. A line under it tells the picture's size, file size, date
// taken and camera. The picture is read off the main thread; the window
// remembers where it was.
class PicturePreview : public QWidget {
    Q_OBJECT
public:
    explicit PicturePreview(PhotoListController* list, QWidget* parent = nullptr);
    ~PicturePreview() override;

    // Shows the window with the list's item at position, or moves it there.
    void showItem(int position);
    void showNext();
    void showPrevious();
    int position() const { return _position; }
    QString path() const { return _path; }

    void setActualSize(bool actualSize);
    bool isActualSize() const;

    // The information line as shown.
    QString infoText() const;
    PreviewCanvas* canvas() const { return _canvas; }

Q_SIGNALS:
    // The window moved to another item of the list.
    void positionChanged(int position);
    // The picture of the item shown was drawn (fitted, or at one-to-one).
    void pictureShown();
    // The grid's own picture of the item was drawn while the picture itself
    // is read: something to look at at once, replaced by the sharp picture.
    void quickPictureShown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void listChanged(const Notification& notification);
    void requestPicture();
    // Draws the grid's picture of the item at position, when it holds one.
    void showQuickPicture(int position);
    void pictureDecoded(const PreviewDecoder::Result& result);
    void showInfo(const PreviewDecoder::Result& result);
    void retranslate();
    // Steps by delta through the list, staying within it.
    void step(int delta);

    QPointer<PhotoListController> _list;
    PreviewDecoder _decoder;
    QScrollArea* _scroll;
    PreviewCanvas* _canvas;
    QLabel* _info;
    QToolButton* _previous;
    QToolButton* _next;
    QToolButton* _actual;
    QTimer* _resizeTimer;
    int _position = -1;
    QString _path;
    QSize _requestedBox;
    QSize _pictureSize;
    bool _haveWholePicture = false;
    bool _showingQuickPicture = false;
    bool _awaitingPicture = false; // a request is being read
};
