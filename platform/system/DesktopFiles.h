#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Handing files to the rest of the desktop: opening them with the default
// application for their type, and showing them in the user's file manager.
namespace DesktopFiles {

// Opens each file with the desktop's default application (at most the first
// twenty: a selection of hundreds would start hundreds of viewers).
void openWithDefaultApplication(const QStringList& paths);

// Shows the files, selected, in the desktop's file manager, asked over the
// session bus (org.freedesktop.FileManager1.ShowItems). Where no file manager
// answers (or there is no session bus), opens the folder of the first file
// with the default application instead. done, when given, learns on the main
// thread whether the file manager took the request.
void showInFolder(const QStringList& paths, const std::function<void(bool fileManagerAnswered)>& done = {});

} // namespace DesktopFiles
