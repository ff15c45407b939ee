#include "browser/MediaBrowserWindow.h"
#include "platform/system/Translations.h"
#include "prefs/PrefsController.h"
#include "support/TempHome.h"
#include "ui_MediaBrowser.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTreeView>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// Every translation of the catalogue as a pattern a shown text must match
// whole, its arguments (%1, %n) standing for any text.
std::vector<QRegularExpression> translationsOf(const QString& catalogue) {
    QFile file(catalogue);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << catalogue.toStdString();
    std::vector<QRegularExpression> patterns;
    QXmlStreamReader xml(&file);
    bool numerus = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == u"message") {
            numerus = xml.attributes().value(QStringLiteral("numerus")) == QStringLiteral("yes");
            continue;
        }
        // A plural's forms are the children of its translation.
        const bool text = xml.name() == u"numerusform" || (xml.name() == u"translation" && !numerus);
        const QString translation = text ? xml.readElementText() : QString();
        if (!translation.isEmpty()) {
            QStringList parts = translation.split(QRegularExpression(QStringLiteral("%(?:\\d|n)")));
            for (QString& part : parts) {
                part = QRegularExpression::escape(part);
            }
            patterns.emplace_back(QRegularExpression::anchoredPattern(parts.join(QStringLiteral(".+"))));
        }
    }
    return patterns;
}

bool hasLetters(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
}

// The texts a user sees or a screen reader reads in a window.
QStringList shownTexts(QWidget* window) {
    QStringList texts;
    const auto add = [&texts](const QString& text) {
        if (hasLetters(text)) {
            texts.append(text);
        }
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        if (widget->isWindow()) {
            add(widget->windowTitle());
        }
        add(widget->toolTip());
        add(widget->accessibleName());
        add(widget->accessibleDescription());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            add(label->text());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            add(button->text());
        }
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            add(field->placeholderText());
        }
        for (const QAction* action : widget->actions()) {
            add(action->text());
        }
        auto* table = qobject_cast<QTableView*>(widget);
        if (table != nullptr && table->model() != nullptr && !table->horizontalHeader()->isHidden()) {
            for (int column = 0; column < table->model()->columnCount(); ++column) {
                add(table->model()->headerData(column, Qt::Horizontal).toString());
            }
        }
    }
    return texts;
}

TEST(Translations, TheGermanCatalogueLeavesNoShownTextInEnglish) {
    TempHome home; // empty: no folder names from files in the way
    ASSERT_TRUE(Translations::reinstall(QLocale(QLocale::German, QLocale::Germany)));

    MediaBrowserWindow browser;
    browser.show();
    QDialog* prefs = PrefsController::sharedPrefs()->window();
    QStringList texts = shownTexts(&browser) + shownTexts(prefs);
    // The categories of the preferences outline are the window's own words.
    auto* outline = prefs->findChild<QTreeView*>();
    ASSERT_NE(outline, nullptr);
    for (int row = 0; row < outline->model()->rowCount(); ++row) {
        texts.append(outline->model()->index(row, 0).data().toString());
    }
    EXPECT_EQ(browser.ui().buttons->label(0), QStringLiteral("Bilder"));
    EXPECT_EQ(browser.ui().itemCount->text(), QStringLiteral("0 Objekte"));

    const std::vector<QRegularExpression> german =
        translationsOf(QStringLiteral(QVMB_TRANSLATIONS_DIR "/qvmediabrowser_de.ts"));
    QStringList untranslated;
    for (const QString& text : texts) {
        const bool translated =
            std::any_of(german.cbegin(), german.cend(),
                        [&text](const QRegularExpression& p) { return p.match(text).hasMatch(); });
        if (!translated) {
            untranslated.append(text);
        }
    }
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join(QStringLiteral(" | ")).toStdString();
}

TEST(Translations, QtsOwnTextsFollowTheLanguage) {
    TempHome home;
    // The toolkit's catalogue (Debian's Qt translations) names the keys and
    // the standard buttons as the language does.
    ASSERT_TRUE(Translations::reinstall(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_Q).toString(QKeySequence::NativeText),
              QStringLiteral("Strg+Q"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    Translations::reinstall(QLocale(QLocale::English));
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_Q).toString(QKeySequence::NativeText),
              QStringLiteral("Ctrl+Q"));
}

TEST(Translations, CountsTakeEachLanguagesPluralForm) {
    TempHome home;
    const auto countText = [](const QLocale& locale, int n) {
        Translations::reinstall(locale);
        return QCoreApplication::translate("BrowserController", "%n item(s)", nullptr, n);
    };
    // French counts zero as one; German does not; English without a catalogue of its own.
    EXPECT_EQ(countText(QLocale(QLocale::French), 0), QStringLiteral("0 élément"));
    EXPECT_EQ(countText(QLocale(QLocale::French), 2), QStringLiteral("2 éléments"));
    EXPECT_EQ(countText(QLocale(QLocale::German), 0), QStringLiteral("0 Objekte"));
    EXPECT_EQ(countText(QLocale(QLocale::German), 1), QStringLiteral("1 Objekt"));
    EXPECT_EQ(countText(QLocale(QLocale::English), 1), QStringLiteral("1 item"));
    EXPECT_EQ(countText(QLocale(QLocale::English), 0), QStringLiteral("0 items"));
    // A language without a catalogue falls back to English.
    EXPECT_FALSE(Translations::reinstall(QLocale(QLocale::Japanese)));
    EXPECT_EQ(QCoreApplication::translate("BrowserController", "%n item(s)", nullptr, 3),
              QStringLiteral("3 items"));
}

} // namespace
