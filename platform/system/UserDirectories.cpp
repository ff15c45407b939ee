#include "platform/system/UserDirectories.h"

#include "platform/system/Path.h"

namespace {

QString baseDirectory(const char* variable, const QString& underHome) {
    const QString value = Path::fromNative(qgetenv(variable));
    if (value.startsWith(QLatin1Char('/'))) {
        return value;
    }
    return Path::appendingComponent(Path::homeDirectory(), underHome);
}

} // namespace

namespace UserDirectories {

QString dataHome() {
    return baseDirectory("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString configHome() {
    return baseDirectory("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString cacheHome() {
    return baseDirectory("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

} // namespace UserDirectories
