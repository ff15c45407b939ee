#include "platform/index/BalooDocumentData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace BalooDocumentData {

namespace {

// KFileMetaData's property numbers (its Property enum).
const QString durationKey = QStringLiteral("3");
const QString artistKey = QStringLiteral("9");
const QString albumKey = QStringLiteral("10");
const QString albumArtistKey = QStringLiteral("11");
const QString titleKey = QStringLiteral("15");

// Longer texts are no title a row can show.
constexpr qsizetype maximumTextLength = 1024;
// Longer durations are no song's (more than a year).
constexpr double maximumDuration = 366.0 * 24 * 60 * 60;

QString cleaned(QString text) {
    // Control characters (C0, DEL and C1) become spaces, the spaces then simplified.
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)) {
            c = QLatin1Char(' ');
        }
    }
    text = text.simplified();
    if (text.size() > maximumTextLength) {
        text.truncate(maximumTextLength);
        if (text.back().isHighSurrogate()) {
            text.chop(1);
        }
    }
    return text;
}

// A text property: a string, or the strings of an array joined; anything
// else is no text.
QString text(const QJsonValue& value) {
    if (value.isString()) {
        return cleaned(value.toString());
    }
    if (!value.isArray()) {
        return {};
    }
    QStringList texts;
    for (const QJsonValue& element : value.toArray()) {
        if (element.isString()) {
            if (const QString part = cleaned(element.toString()); !part.isEmpty() && !texts.contains(part)) {
                texts.append(part);
            }
        }
    }
    return cleaned(texts.join(QStringLiteral(", ")));
}

quint32 seconds(const QJsonValue& value) {
    const QJsonValue first = value.isArray() && !value.toArray().isEmpty() ? value.toArray().at(0) : value;
    const double number = first.toDouble(0);
    if (!std::isfinite(number) || number <= 0 || number > maximumDuration) {
        return 0;
    }
    return static_cast<quint32>(std::lround(number));
}

} // namespace

Properties parse(QByteArrayView json) {
    if (json.isEmpty() || json.size() > maximumSize) {
        return {};
    }
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()));
    if (!document.isObject()) {
        return {};
    }
    const QJsonObject object = document.object();
    Properties properties;
    properties.title = text(object.value(titleKey));
    properties.artist = text(object.value(artistKey));
    properties.album = text(object.value(albumKey));
    properties.albumArtist = text(object.value(albumArtistKey));
    properties.duration = seconds(object.value(durationKey));
    return properties;
}

} // namespace BalooDocumentData
