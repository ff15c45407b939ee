#include "service/OpenFileOptions.h"

#include <QDBusArgument>
#include <QMimeDatabase>
#include <QRegularExpression>

namespace {

bool isMediaFamily(const QString& type) {
    return type.startsWith(QLatin1String("image/")) || type.startsWith(QLatin1String("audio/")) ||
           type.startsWith(QLatin1String("video/"));
}

// The media types a rule stands for; empty when it stands for anything else.
QStringList mediaTypesOf(const PortalFilterRule& rule) {
    if (rule.type == PortalFilterRule::MimeType) {
        const QString type = rule.pattern.toLower();
        return isMediaFamily(type) ? QStringList{type} : QStringList{};
    }
    // Only "*.ext": a pattern that also looks at the rest of the name
    // ("IMG_*.jpg") asks for more than a type.
    static const QRegularExpression extension(QStringLiteral("^\\*\\.([A-Za-z0-9]{1,16})$"));
    const QRegularExpressionMatch match = extension.match(rule.pattern);
    if (!match.hasMatch()) {
        return {};
    }
    QStringList types;
    for (const QMimeType& type :
         QMimeDatabase().mimeTypesForFileName(QStringLiteral("x.") + match.captured(1))) {
        if (!isMediaFamily(type.name())) {
            return {};
        }
        types.append(type.name());
    }
    return types;
}

// value as T when it holds exactly that D-Bus type.
template <typename T> bool readBasic(const QVariant& value, T* out) {
    if (value.metaType() != QMetaType::fromType<T>()) {
        return false;
    }
    *out = value.value<T>();
    return true;
}

// value as a structure or array of the given D-Bus signature.
template <typename T> bool readComplex(const QVariant& value, const char* signature, T* out) {
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return false;
    }
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String(signature)) {
        return false;
    }
    argument >> *out;
    return true;
}

} // namespace

std::optional<OpenFileOptions> OpenFileOptions::read(const QVariantMap& options, QString* error) {
    OpenFileOptions read;
    const auto wrong = [error](const QString& key) {
        *error = QStringLiteral("Option %1 is not of its type").arg(key);
        return std::nullopt;
    };
    for (auto it = options.begin(); it != options.end(); ++it) {
        const QString& key = it.key();
        const QVariant& value = it.value();
        if (key == QLatin1String("multiple")) {
            if (!readBasic(value, &read.multiple)) {
                return wrong(key);
            }
        } else if (key == QLatin1String("modal")) {
            if (!readBasic(value, &read.modal)) {
                return wrong(key);
            }
        } else if (key == QLatin1String("directory")) {
            if (!readBasic(value, &read.directory)) {
                return wrong(key);
            }
        } else if (key == QLatin1String("accept_label")) {
            if (!readBasic(value, &read.acceptLabel)) {
                return wrong(key);
            }
        } else if (key == QLatin1String("filters")) {
            if (!readComplex(value, "a(sa(us))", &read.filters)) {
                return wrong(key);
            }
        } else if (key == QLatin1String("current_filter")) {
            PortalFilter filter;
            if (!readComplex(value, "(sa(us))", &filter)) {
                return wrong(key);
            }
            read.currentFilter = filter;
        } else if (key == QLatin1String("choices")) {
            read.hasChoices = true;
        }
    }
    qsizetype rules = read.currentFilter ? read.currentFilter->rules.size() : 0;
    for (const PortalFilter& filter : read.filters) {
        rules += filter.rules.size();
    }
    if (rules > MaxRules) {
        *error = QStringLiteral("More than %1 filter rules").arg(MaxRules);
        return std::nullopt;
    }
    return read;
}

std::optional<QStringList> OpenFileOptions::mediaTypes() const {
    if (directory || hasChoices) {
        return std::nullopt;
    }
    QList<PortalFilter> all = filters;
    if (currentFilter) {
        all.append(*currentFilter);
    }
    QStringList types;
    for (const PortalFilter& filter : all) {
        if (filter.rules.isEmpty()) {
            return std::nullopt;
        }
        for (const PortalFilterRule& rule : filter.rules) {
            const QStringList ruleTypes = mediaTypesOf(rule);
            if (ruleTypes.isEmpty()) {
                return std::nullopt;
            }
            for (const QString& type : ruleTypes) {
                if (!types.contains(type)) {
                    types.append(type);
                }
            }
        }
    }
    if (types.isEmpty()) {
        return std::nullopt;
    }
    return types;
}

std::optional<PortalFilter> OpenFileOptions::filterFor(const QList<QUrl>& chosen) const {
    if (currentFilter) {
        return currentFilter;
    }
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    for (const PortalFilter& filter : filters) {
        if (filter.matchesFile(chosen.first().toLocalFile())) {
            return filter;
        }
    }
    return std::nullopt;
}
