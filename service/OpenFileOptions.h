#pragma once

#include "service/PortalFilter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

#include <optional>

// The options of a file chooser request from the desktop portal, read and
// checked: the keys the browser acts on, each of its D-Bus type or an error.
// Keys it does not know are left alone (they go on with a request handed on).
class OpenFileOptions {
public:
    // More rules in all than any real request has: a longer list is refused.
    static constexpr qsizetype MaxRules = 1024;

    // The options of options; none, with error set, when a known key has the
    // wrong type or there are more than MaxRules rules.
    static std::optional<OpenFileOptions> read(const QVariantMap& options, QString* error);

    bool multiple = false;
    bool modal = true;
    bool directory = false;
    bool hasChoices = false;
    QString acceptLabel;
    QList<PortalFilter> filters;
    std::optional<PortalFilter> currentFilter;

    // The MIME types of the request when it is for media alone: every rule of
    // every filter names a picture, audio or video type (a glob pattern such
    // as "*.jpg" by the type its extension stands for). None for anything
    // else: documents, folders, no filter at all, extra choices to show.
    std::optional<QStringList> mediaTypes() const;

    // The filter the chosen files answer to, for the reply: the current
    // filter when one was given, else the first filter the first file matches.
    std::optional<PortalFilter> filterFor(const QList<QUrl>& chosen) const;
};
