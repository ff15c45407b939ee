#pragma once

#include <QString>
#include <QStringList>

// The desktop portal's other file chooser backends, as it finds them: each
// "<name>.portal" file in its portals folder names a backend's bus name, its
// interfaces and the desktops it is used in (UseIn=). A request the browser
// does not answer goes to the backend the desktop portal would have chosen
// had the browser's not been installed.
namespace PortalBackends {

// The bus name of that backend; empty when no other file chooser is installed.
//  - Where a portals.conf names backends for the file chooser (or by
//    default), the first of those installed that is not ours (the desktop
//    portal from version 1.17 reads these files, in the folders and order
//    it reads them);
//  - otherwise the first, by file name, whose UseIn= names a desktop of
//    XDG_CURRENT_DESKTOP, in that variable's order (version 1.16 chooses so);
//  - otherwise the first by file name.
QString otherFileChooser(const QString& ourBusName);

// The folders searched for portal files: XDG_DESKTOP_PORTAL_DIR alone when it
// is set (as the desktop portal itself does), else each data folder's
// xdg-desktop-portal/portals.
QStringList portalFolders();

} // namespace PortalBackends
