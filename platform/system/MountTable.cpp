#include "platform/system/MountTable.h"

#include "platform/system/Path.h"

#include <QFile>

namespace MountTable {

namespace {

// The table escapes space, tab, newline and backslash as three octal digits.
QString unescaped(QByteArrayView field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
            bytes.append(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                           (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return Path::fromNative(bytes);
}

} // namespace

std::vector<Mount> parse(const QByteArray& table) {
    std::vector<Mount> result;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 3) {
            result.push_back({unescaped(fields[0]), unescaped(fields[1]), QString::fromLatin1(fields[2])});
        }
    }
    return result;
}

std::vector<Mount> mounts() {
    QFile file(QStringLiteral("/proc/self/mounts"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // The table reports a size of 0: read to its end.
    return parse(file.readAll());
}

} // namespace MountTable
