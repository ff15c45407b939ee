#pragma once

#include "platform/Export.h"
#include "platform/MovieFile.h"

#include <QString>
#include <QUrl>

// Display data of an audio or movie file that is not read through ID3.
struct QVMB_EXPORT TrackMetaData {
    QString name;       // null when the file has none
    QString artist;     // null when the file has none
    qint32 length = -1; // whole seconds; -1 when unknown or indefinite
};

// Opens the file at url and reads its duration and its "©nam" and "©ART"
// short-form metadata. A file that cannot be opened gives no name, no artist
// and length -1.
QVMB_EXPORT TrackMetaData MovieMetaData(const QUrl& url);

// The value of the first 'itsk' metadata item with key, as UTF-8 text; null
// when there is no such item or its bytes are not valid UTF-8. A byte-order
// mark is kept as a character.
QVMB_EXPORT QString TagValue(const MovieMetaDataItems& metaData, quint32 key);
