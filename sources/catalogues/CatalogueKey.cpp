#include "sources/catalogues/CatalogueKey.h"

#include <QString>

namespace CatalogueKey {

std::optional<qint64> decimalNumber(QStringView key) {
    const qsizetype n = key.size();
    const qsizetype start = n > 0 && key.at(0) == u'-' ? 1 : 0;
    if (n == start || n - start > 19 || (key.at(start) == u'0' && (n - start > 1 || start == 1))) {
        return std::nullopt;
    }
    for (qsizetype i = start; i < n; ++i) {
        if (key.at(i) < u'0' || key.at(i) > u'9') {
            return std::nullopt;
        }
    }
    bool ok = false;
    const qint64 number = key.toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

} // namespace CatalogueKey
