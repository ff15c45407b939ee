#include "model/TrackMetaData.h"

#include <QStringDecoder>

#include <limits>

TrackMetaData MovieMetaData(const QUrl& url) {
    TrackMetaData result;
    const std::unique_ptr<MovieFile> movie = MovieFile::open(url);
    if (!movie) {
        return result;
    }
    const qint64 seconds = movie->durationSeconds();
    result.length =
        seconds < 0 || seconds > std::numeric_limits<qint32>::max() ? -1 : static_cast<qint32>(seconds);
    const MovieMetaDataItems metaData = movie->metaData();
    result.name = TagValue(metaData, MovieMetaDataKeyName);
    result.artist = TagValue(metaData, MovieMetaDataKeyArtist);
    return result;
}

QString TagValue(const MovieMetaDataItems& metaData, quint32 key) {
    for (const MovieMetaDataItem& item : metaData) {
        if (item.keyFormat != MovieMetaDataKeyFormatItunesShort || item.key != key) {
            continue;
        }
        if (item.value.isEmpty()) {
            return QString(QLatin1String(""));
        }
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder.decode(item.value);
        return decoder.hasError() ? QString() : text;
    }
    return {};
}
