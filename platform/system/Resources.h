#pragma once

#include <QImage>
#include <QString>

// Images delivered inside the library, looked up by their resource names
// ("sl-icon_folder.tiff", "MBPlayN.tif", ...).
namespace Resources {

// The path of the named resource inside the library, or a null string when the
// library has no resource of that name.
QString imagePath(const QString& name);

// The named image read afresh from the library's resources; a null image when
// there is no such resource or it cannot be decoded. The pixels are twice the
// logical size (device pixel ratio 2): use deviceIndependentSize() for layout.
QImage image(const QString& name);

} // namespace Resources
