#include "model/Photo.h"
#include "model/QVTrack.h"
#include "model/SearchIndex.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// What the items' own matcher keeps, in list order.
std::vector<std::uint32_t> matcherResult(const std::vector<MediaItemPtr>& items, const QString& text) {
    std::vector<std::uint32_t> kept;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (items[i]->matchesFilter(text)) {
            kept.push_back(i);
        }
    }
    return kept;
}

MediaItemPtr track(const QString& title, const QString& artist) {
    return std::make_shared<QVTrack>(title, artist, 0, QUrl());
}

MediaItemPtr photo(const QString& caption) {
    return std::make_shared<Photo>(caption, QString(), QStringLiteral("/p.jpg"), QStringLiteral("/p.jpg"));
}

// Types text one character at a time, then deletes it again, checking every
// step against the matcher: extending steps narrow the last result, the others
// search everything.
void typeAndCompare(SearchIndex& index, const std::vector<MediaItemPtr>& items, const QString& text) {
    for (qsizetype n = 1; n <= text.size(); ++n) {
        const QString typed = text.left(n);
        EXPECT_EQ(index.match(typed), matcherResult(items, typed)) << "typing " << typed.toStdString();
    }
    for (qsizetype n = text.size() - 1; n >= 1; --n) {
        const QString typed = text.left(n);
        EXPECT_EQ(index.match(typed), matcherResult(items, typed)) << "deleting to " << typed.toStdString();
    }
}

TEST(SearchIndex, FindsWhatTheItemsOwnMatcherFindsWhileTypingAndDeleting) {
    const std::vector<MediaItemPtr> items = {
        track(QStringLiteral("Café del Mar"), QStringLiteral("Energy 52")),
        track(QStringLiteral("Cafe\u0301 au lait"), QStringLiteral("Straße")),
        photo(QStringLiteral("CAFÉ NOIR")),
        track(QStringLiteral("ab"), QStringLiteral("cd")), // "bc" only across the two fields
        photo(QStringLiteral("e\u0328\u0301 ogonek and acute")),
        track(QStringLiteral("Naïve"), QString()),
        photo(QString()),
        track(QStringLiteral("ǅemal"), QStringLiteral("ﬃ ligature")),
        photo(QStringLiteral("😀 smile e")),
        track(QStringLiteral("STRASSE"), QStringLiteral("Strasse")),
        photo(QStringLiteral("résumé")),
    };
    SearchIndex index;
    index.build(items);
    for (const QString& text :
         {QStringLiteral("café"), QStringLiteral("CAFE\u0301 "), QStringLiteral("cafe"), QStringLiteral("bc"),
          QStringLiteral("e\u0328"), QStringLiteral("e "), QStringLiteral("naïve"), QStringLiteral("ǆ"),
          QStringLiteral("ffi"), QStringLiteral("😀"), QStringLiteral("straße"), QStringLiteral("ss"),
          QStringLiteral("re\u0301sume\u0301"), QStringLiteral("52"), QStringLiteral("zzz")}) {
        typeAndCompare(index, items, text);
    }
}

TEST(SearchIndex, AgreesWithTheMatcherOnManyRandomNamesAndSearches) {
    // Names from a small alphabet with accents, composed and decomposed,
    // so that substrings, marks and case meet often.
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("e"),       QStringLiteral("é"),
                                QStringLiteral("E"), QStringLiteral("e\u0301"), QStringLiteral("\u0301"),
                                QStringLiteral(" "), QStringLiteral("ß"),       QStringLiteral("s"),
                                QStringLiteral("Å"), QStringLiteral("b")};
    QRandomGenerator random(12);
    auto randomText = [&](int maxPieces) {
        QString text;
        const int count = static_cast<int>(random.bounded(maxPieces + 1));
        for (int i = 0; i < count; ++i) {
            text += pieces[static_cast<int>(random.bounded(pieces.size()))];
        }
        return text;
    };
    std::vector<MediaItemPtr> items;
    for (int i = 0; i < 400; ++i) {
        items.push_back(random.bounded(2) == 0 ? track(randomText(8), randomText(4)) : photo(randomText(10)));
    }
    SearchIndex index;
    index.build(items);
    for (int i = 0; i < 60; ++i) {
        const QString text = randomText(3);
        if (!text.trimmed().isEmpty()) {
            typeAndCompare(index, items, text);
        }
    }
}

} // namespace
