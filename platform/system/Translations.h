#pragma once

#include "platform/Export.h"

#include <QLocale>
#include <QString>

// The library's texts in the user's language. The catalogues are compiled into
// the library; installing them once per process is enough for every window,
// the host's own texts included.
namespace Translations {

// Installs the catalogues for the locale's languages (the system locale by
// default) on the running application, once. English counts ("1 item",
// "2 items") come from the English catalogue, which is always installed below
// the others. Later calls do nothing; answers whether a catalogue for the
// locale's language (not the English fallback) was found.
bool install(const QLocale& locale = QLocale());

// Replaces whatever install() put in place by the catalogues of locale; for
// tests that switch language within one process.
bool reinstall(const QLocale& locale);

// The resource folder the compiled catalogues live in.
QString catalogueDirectory();

} // namespace Translations
