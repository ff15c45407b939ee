#pragma once

#include <QMetaType>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QtGlobal>

// What the browser knows of an item the user chose, handed to the host with
// its URL. Fields the browser does not know stay at their defaults.
struct QVMediaItemInfo {
    enum Kind { Picture, Track, Movie };

    // A file:// URL of the item's file.
    QUrl url;
    Kind kind = Picture;
    // The name the browser shows: a picture's caption, a track's title, a
    // movie's title or file name.
    QString name;
    // A track's artist; empty when unknown and for pictures and movies.
    QString artist;
    // A track's or movie's length in whole seconds; -1 when unknown.
    qint64 durationSeconds = -1;
    // A picture's size in pixels, upright; invalid when unknown.
    QSize pixelSize;
    // The file's MIME type by its name ("image/jpeg"); empty when unknown.
    QString mimeType;
};

Q_DECLARE_METATYPE(QVMediaItemInfo)
