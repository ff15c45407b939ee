#pragma once

#include <QStringView>

#include <optional>

// Catalogues name their records by keys that are decimal numbers written as
// strings. Looking records up by the number instead of the string is several
// times cheaper for libraries of tens of thousands of records.
namespace CatalogueKey {

// The number key spells, when key is the plain decimal spelling of a 64-bit
// number (no sign but "-", no leading zeros, no spaces); nothing otherwise.
// Two keys that answer the same number are the same text.
std::optional<qint64> decimalNumber(QStringView key);

} // namespace CatalogueKey
