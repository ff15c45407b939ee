#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

// A file type filter as the desktop portal's file chooser passes it: a name
// shown to the user and rules, each a glob pattern ("*.jpg", type 0) or a
// MIME type ("image/png", type 1). D-Bus type (sa(us)).
struct PortalFilterRule {
    uint type = 0;
    QString pattern;

    static constexpr uint Glob = 0;
    static constexpr uint MimeType = 1;
};

struct PortalFilter {
    QString name;
    QList<PortalFilterRule> rules;

    bool operator==(const PortalFilter& other) const;
    // Whether the file at path is of one of the rules' types, by its name.
    bool matchesFile(const QString& path) const;

    // Makes the types known to Qt D-Bus; once, before the first message.
    static void registerTypes();
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalFilterRule& rule);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalFilterRule& rule);
QDBusArgument& operator<<(QDBusArgument& argument, const PortalFilter& filter);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalFilter& filter);

Q_DECLARE_METATYPE(PortalFilterRule)
Q_DECLARE_METATYPE(PortalFilter)
