#include "platform/system/Translations.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

// The compiled catalogues register themselves from a static initialiser that
// nothing refers to, which a program linking the library's objects from a
// static archive would drop; registering here ties them to this file.
static void ensureRegistered() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(qvmb_translations);
        return true;
    }();
    (void)registered;
}

namespace {

const QString kCatalogue = QStringLiteral("qvmediabrowser");

struct Installed {
    bool done = false;
    bool found = false;
    std::vector<std::unique_ptr<QTranslator>> translators;
};

Installed& installed() {
    static Installed state;
    return state;
}

void add(std::unique_ptr<QTranslator> translator) {
    QCoreApplication::installTranslator(translator.get());
    installed().translators.push_back(std::move(translator));
}

void removeAll() {
    for (const std::unique_ptr<QTranslator>& translator : installed().translators) {
        QCoreApplication::removeTranslator(translator.get());
    }
    installed().translators.clear();
}

bool load(const QLocale& locale) {
    // Installed last is asked first: English plurals, then the toolkit's own
    // texts (standard dialogs, the search field's menu), then ours.
    auto english = std::make_unique<QTranslator>();
    if (english->load(kCatalogue + QStringLiteral("_en"), Translations::catalogueDirectory())) {
        add(std::move(english));
    }
    auto toolkit = std::make_unique<QTranslator>();
    if (toolkit->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        add(std::move(toolkit));
    }
    auto own = std::make_unique<QTranslator>();
    // English is the source language: its catalogue holds only the plurals.
    if (locale.language() != QLocale::English && locale.language() != QLocale::C &&
        own->load(locale, kCatalogue, QStringLiteral("_"), Translations::catalogueDirectory())) {
        add(std::move(own));
        return true;
    }
    return false;
}

} // namespace

namespace Translations {

QString catalogueDirectory() {
    ensureRegistered();
    return QStringLiteral(":/qvmediabrowser/translations");
}

bool install(const QLocale& locale) {
    Installed& state = installed();
    if (!state.done && QCoreApplication::instance() != nullptr) {
        state.done = true;
        state.found = load(locale);
    }
    return state.found;
}

bool reinstall(const QLocale& locale) {
    removeAll();
    Installed& state = installed();
    state.done = true;
    state.found = load(locale);
    // Windows that exist hear of the change before this returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return state.found;
}

} // namespace Translations
