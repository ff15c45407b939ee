#pragma once

#include <QString>

// The user's base directories as the freedesktop conventions define them:
// the XDG variable when it holds an absolute path, the usual place under the
// home directory otherwise. Read from the environment on every call.
namespace UserDirectories {

QString dataHome();   // XDG_DATA_HOME, ~/.local/share
QString configHome(); // XDG_CONFIG_HOME, ~/.config
QString cacheHome();  // XDG_CACHE_HOME, ~/.cache

} // namespace UserDirectories
