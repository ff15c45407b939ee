#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>
#include <QStringList>

// The details of an item as the user reads them, the same wherever shown: a
// grid cell's tooltip and the picture preview's information line.
namespace ItemDetails {

// "6000 × 4000 pixels"
QString pixelSize(QSize size);
// "7.2 MB", in the user's language, decimal units as file managers show them.
QString fileSize(qint64 bytes);
// "Taken 12/03/2023 14:02"
QString taken(const QDateTime& when);

// What a grid cell's tooltip tells under the item's name: the picture's size
// (when known) and the file's size (when known), in that order.
QStringList facts(QSize pixels, qint64 bytes);
// The facts on one line.
QString joined(const QStringList& facts);

// The file's size in bytes, or -1 when it cannot be read.
qint64 fileBytes(const QString& path);

} // namespace ItemDetails
