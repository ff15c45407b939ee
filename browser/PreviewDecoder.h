#pragma once

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <mutex>
#include <optional>

// Reads the picture a preview window shows, off the main thread: its size,
// file size, date taken and camera, and its pixels at the size it is drawn
// at (the whole window, or one picture pixel to a screen pixel). One
// request at a time counts: a newer request replaces an older one still
// queued, and what an older one still produces is dropped.
class PreviewDecoder : public QObject {
    Q_OBJECT
public:
    struct Request {
        QString path;
        // The device pixels the picture is fitted into; an empty box asks
        // for the picture at its own size (one pixel per screen pixel).
        QSize box;
    };
    struct Result {
        QString path;
        QImage image;      // null when the file cannot be read as a picture
        QSize pictureSize; // the picture's own size, upright; empty when unknown
        qint64 fileBytes = -1;
        QDateTime modified;        // invalid when unknown
        QDateTime taken;           // invalid when the file does not say
        QString camera;            // empty when the file does not say
        bool wholePicture = false; // the image holds every pixel of the picture
    };

    explicit PreviewDecoder(QObject* parent = nullptr);
    ~PreviewDecoder() override;

    void request(const Request& request);
    // Drops every request and what they would still deliver.
    void cancel();

    // What the request does on the calling thread (benchmarks, tests).
    static Result decode(const Request& request);

    // The box a picture of size is drawn in when fitted to fit (device
    // pixels): the picture's shape, never larger than the picture itself.
    static QSize fittedBox(QSize size, QSize fit);

Q_SIGNALS:
    void decoded(const PreviewDecoder::Result& result);

private:
    void deliver();

    QThreadPool _pool;
    std::mutex _mutex;
    quint64 _generation = 0;      // guarded by _mutex
    std::optional<Result> _ready; // guarded by _mutex
};
