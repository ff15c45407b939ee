#pragma once

#include <QByteArrayView>
#include <QString>

// What KFileMetaData's extractors found in one file, as Baloo keeps it for
// each document (its sub-database "documentdatadb"): a compact JSON object
// whose keys are KFileMetaData property numbers in decimal, each holding a
// string or a number, or an array of them when the file has several values.
// Learnt from Baloo's file indexer (src/file/propertydata.cpp,
// propertyMapToJson) and KFileMetaData's Property enum, in 5.103 (Debian 12's)
// and 6.29 (the newest checked), which number the properties read here alike.
namespace BalooDocumentData {

// The most document data read for one file: songs' data is a few hundred
// bytes; a bigger one (long lyrics and comments) is read no further.
constexpr qsizetype maximumSize = 256 * 1024;

struct Properties {
    QString title;
    QString artist; // several artists joined by ", "
    QString album;
    QString albumArtist;
    quint32 duration = 0; // whole seconds, 0 when unknown
};

// The properties of one document's data. Data that is no JSON object, and
// values of the wrong type, give empty properties; texts are freed of
// control characters and cut to a length a row can show.
Properties parse(QByteArrayView json);

} // namespace BalooDocumentData
