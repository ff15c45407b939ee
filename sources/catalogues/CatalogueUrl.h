#pragma once

#include <QString>
#include <QUrl>

namespace CatalogueUrl {

// A location URL as a catalogue stores it: file URLs lose a "localhost" host
// so that their path is the local path; text that is not an absolute URL
// gives an empty URL. URLs of other schemes are kept (they play, but are
// never dragged as files).
QUrl fromLocation(const QString& location);

// The local path of a file URL in plain ASCII, without query or fragment,
// whose escapes decode to UTF-8: the usual case, tens of thousands in a
// library, decoded for a fraction of what parsing the URL costs. A null
// string for any other location (fromLocation then parses it in full).
QString plainFilePath(const QString& location);

// The URL of a file path as a catalogue stores it (absolute; "~" is not expanded).
QUrl fromPath(const QString& path);

} // namespace CatalogueUrl
