#include "platform/system/TextMatch.h"

#include <gtest/gtest.h>

namespace {

bool contains(const QString& haystack, const QString& text) {
    return TextMatch::contains(TextMatch::searchForm(haystack), text);
}

const QString kComposed = QStringLiteral("Caf\u00e9 Tacuba");    // é as one character
const QString kDecomposed = QStringLiteral("Cafe\u0301 Tacuba"); // e + combining acute

TEST(TextMatch, IgnoresCaseAlsoBeyondAscii) {
    EXPECT_TRUE(contains(QStringLiteral("Morning Song"), QStringLiteral("mORNING s")));
    EXPECT_TRUE(contains(QStringLiteral("\u00c9T\u00c9"), QStringLiteral("\u00e9t\u00e9")));
    EXPECT_TRUE(contains(QStringLiteral("\u0394\u03b5\u03bb\u03c6\u03bf\u03af"),
                         QStringLiteral("\u03b4\u0395\u039b")));
    EXPECT_FALSE(contains(QStringLiteral("Morning Song"), QStringLiteral("evening")));
}

TEST(TextMatch, ComposedAndDecomposedFormsAreTheSameCharacter) {
    EXPECT_TRUE(contains(kDecomposed, QStringLiteral("caf\u00e9")));
    EXPECT_TRUE(contains(kComposed, QStringLiteral("cafe\u0301")));
    EXPECT_TRUE(contains(kDecomposed, QStringLiteral("CAFE\u0301 t")));
}

TEST(TextMatch, AccentsStaySignificant) {
    EXPECT_FALSE(contains(kComposed, QStringLiteral("cafe ")));
    EXPECT_FALSE(contains(kDecomposed, QStringLiteral("cafe ")));
    EXPECT_FALSE(contains(QStringLiteral("Cafe Tacuba"), QStringLiteral("caf\u00e9")));
    // q with an acute has no composed form: a match may not stop inside it.
    EXPECT_FALSE(contains(QStringLiteral("aq\u0301b"), QStringLiteral("aq")));
    EXPECT_TRUE(contains(QStringLiteral("aq\u0301b"), QStringLiteral("aq\u0301")));
    // ...but a later plain occurrence still counts.
    EXPECT_TRUE(contains(QStringLiteral("q\u0301 q"), QStringLiteral("q")));
}

TEST(TextMatch, AlternatingSearchTextsAreEachFoldedAfresh) {
    const QString haystack = TextMatch::searchForm(QStringLiteral("Abc"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(TextMatch::contains(haystack, QStringLiteral("AB")));
        EXPECT_FALSE(TextMatch::contains(haystack, QStringLiteral("x")));
    }
}

} // namespace
