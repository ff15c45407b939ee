#pragma once

#include <QIcon>
#include <QString>

// The desktop's icons for files, by their type.
namespace WorkspaceIcons {

// The icon theme's picture for the type of the file at path, judged by its
// name alone (the file need not exist): the type's own icon, else its generic
// one, else a plain document. Never a null icon. Main thread only.
QIcon iconForFile(const QString& path);

// The icon drawn at exactly size (device-independent pixels) for
// devicePixelRatio, enlarged when the theme has no picture that large.
QImage imageAtSize(const QIcon& icon, const QSize& size, qreal devicePixelRatio);

} // namespace WorkspaceIcons
