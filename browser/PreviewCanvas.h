#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

// Where the preview window draws its picture: fitted into the canvas and
// centred (never enlarged beyond one picture pixel to a screen pixel), or at
// that one-to-one size, when the canvas is as large as the picture and its
// scroll area pans it. A picture that cannot be read shows a line saying so.
class PreviewCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PreviewCanvas(QWidget* parent = nullptr);

    // The picture as decoded, pictureSize its own size in pixels (the image
    // may be smaller: it is then drawn at the size the picture would be).
    void setPicture(const QImage& image, QSize pictureSize);
    // Shows text instead of a picture ("Loading…", "Cannot show …").
    void setMessage(const QString& text);
    void setActualSize(bool actualSize);
    bool isActualSize() const { return _actualSize; }

    // Where the picture is drawn now, in the canvas's coordinates; empty without one.
    QRectF pictureRect() const;
    // The picture's size in device-independent pixels at one-to-one.
    QSizeF actualSize() const;
    QImage image() const { return _image; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // Drawn with a picture for the first time since setPicture().
    void pictureDrawn();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage _image;
    QSize _pictureSize;
    QString _message;
    bool _actualSize = false;
    bool _announced = false;
    QPoint _dragFrom;
};
