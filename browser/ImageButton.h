#pragma once

#include <QAbstractButton>
#include <QImage>

// A button drawn as an image alone, showing its alternate image while pressed.
class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ImageButton(QWidget* parent = nullptr);

    QImage image() const { return _image; }
    void setImage(const QImage& image);
    QImage alternateImage() const { return _alternateImage; }
    void setAlternateImage(const QImage& image);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage _image;
    QImage _alternateImage;
};
