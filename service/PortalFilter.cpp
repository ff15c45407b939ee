#include "service/PortalFilter.h"

#include <QDBusMetaType>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>

bool PortalFilter::operator==(const PortalFilter& other) const {
    if (name != other.name || rules.size() != other.rules.size()) {
        return false;
    }
    for (qsizetype i = 0; i < rules.size(); ++i) {
        if (rules[i].type != other.rules[i].type || rules[i].pattern != other.rules[i].pattern) {
            return false;
        }
    }
    return true;
}

bool PortalFilter::matchesFile(const QString& path) const {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QString name = QFileInfo(path).fileName();
    for (const PortalFilterRule& rule : rules) {
        if (rule.type == PortalFilterRule::MimeType) {
            if (type.inherits(rule.pattern) || (rule.pattern.endsWith(QLatin1String("/*")) &&
                                                type.name().startsWith(rule.pattern.chopped(1)))) {
                return true;
            }
        } else if (QRegularExpression::fromWildcard(rule.pattern, Qt::CaseInsensitive)
                       .match(name)
                       .hasMatch()) {
            return true;
        }
    }
    return false;
}

void PortalFilter::registerTypes() {
    qDBusRegisterMetaType<PortalFilterRule>();
    qDBusRegisterMetaType<QList<PortalFilterRule>>();
    qDBusRegisterMetaType<PortalFilter>();
    qDBusRegisterMetaType<QList<PortalFilter>>();
}

QDBusArgument& operator<<(QDBusArgument& argument, const PortalFilterRule& rule) {
    argument.beginStructure();
    argument << rule.type << rule.pattern;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalFilterRule& rule) {
    argument.beginStructure();
    argument >> rule.type >> rule.pattern;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const PortalFilter& filter) {
    argument.beginStructure();
    argument << filter.name << filter.rules;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalFilter& filter) {
    argument.beginStructure();
    argument >> filter.name >> filter.rules;
    argument.endStructure();
    return argument;
}
