#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUrl>

// Path strings as the browser uses them: "~" for the home directory, and file
// names kept lossless. A file name whose bytes are not valid UTF-8 decodes
// each invalid byte b to the lone surrogate U+DC00 + b, and encodes back to
// the very same bytes, so such files can still be listed, opened and dragged.
namespace Path {

QString fromNative(const char* bytes, qsizetype length);
// Whether the bytes are plain ASCII (decoding them is then a plain widening).
bool isAscii(const char* bytes, qsizetype length);
QString fromNative(const QByteArray& bytes);
QByteArray toNative(const QString& path);

QString homeDirectory();
// "~" and "~/rest" become the home directory; "~user/rest" that user's home.
QString expandTilde(const QString& path);
// The home directory at the start of path becomes "~".
QString abbreviateWithTilde(const QString& path);

// The last component, ignoring trailing slashes ("/a/b/" gives "b", "/" gives "/").
QString lastComponent(const QString& path);
// The text after the last "." of the last component; empty when there is none.
QString extension(const QString& path);
// The path without the last component's extension and its dot.
QString deletingExtension(const QString& path);
QString appendingComponent(const QString& path, const QString& component);

// The same as lastComponent() and extension() without copying: views into
// path, valid while it lives. For code that tests thousands of names.
QStringView lastComponentView(QStringView path);
QStringView extensionView(QStringView path);

// A file URL for an absolute path, carrying the path's exact bytes.
QUrl fileUrl(const QString& path);
// The local absolute path of a file URL (host empty or "localhost", percent
// escapes decoded to the exact bytes); a null string for any other URL.
QString localPath(const QUrl& url);

} // namespace Path
