#pragma once

#include "model/MediaFolder.h"

#include <QString>

#include <memory>

class MiniDlna;

// The media a test server serves, made once and kept between runs in the
// build tree: two holiday pictures (640x480 and 480x640), a folder of 5,000
// small pictures, two tagged tracks and two movies.
namespace ServerFixture {

inline const QString kServerName = QStringLiteral("QVMB Test Server");
inline constexpr int kPort = 8200;
inline constexpr int kManyPictures = 5000;

// The media folder (made now if need be) and the server's database folder.
QString media();
QString database();

// The server every test of the suite browses, started on first use and
// stopped by stopServer() (the suite's environment, at its end).
MiniDlna& server();
void stopServer();

// The sub-folder of folder named name, once folder has loaded (started now,
// in the background); null after timeoutMs.
MediaFolderPtr childNamed(const MediaFolderPtr& folder, const QString& name, int timeoutMs = 10000);
// Follows a path of folder names down from folder.
MediaFolderPtr descend(const MediaFolderPtr& folder, const QStringList& names, int timeoutMs = 10000);

} // namespace ServerFixture
