#include "platform/catalogues/PlistReader.h"
#include "platform/catalogues/XmlTextRepair.h"
#include "support/TempHome.h"

#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

QByteArray plist(const QByteArray& body) {
    return kHeader + "<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

TEST(PlistReader, ReadsEveryValueType) {
    const PlistValue root = PlistReader::parse(plist(R"(<dict>
        <key>text</key><string>Tom &#38; Jerry&apos;s &lt;b&gt; caf&#xE9;</string>
        <key>empty</key><string></string>
        <key>big</key><integer>6000000000</integer>
        <key>negative</key><integer> -42 </integer>
        <key>real</key><real>2.5e1</real>
        <key>yes</key><true/>
        <key>no</key><false/>
        <key>when</key><date>2008-03-14T09:26:53Z</date>
        <key>bytes</key><data>
            SGVs
            bG8=
        </data>
        <key>list</key><array><integer>1</integer><string>two</string><array/></array>
        <key>nested</key><dict><key>inner</key><string>x</string></dict>
    </dict>)"));

    ASSERT_TRUE(root.isDictionary());
    EXPECT_EQ(root.toDictionary().size(), 11u);
    EXPECT_EQ(root.value(u"text").toString(), QStringLiteral("Tom & Jerry's <b> caf\u00e9"));
    EXPECT_FALSE(root.value(u"empty").toString().isNull());
    EXPECT_TRUE(root.value(u"empty").toString().isEmpty());
    EXPECT_EQ(root.value(u"big").toInteger(), 6000000000LL);
    EXPECT_EQ(root.value(u"negative").toInteger(), -42);
    EXPECT_EQ(root.value(u"real").toReal(), 25.0);
    EXPECT_TRUE(root.value(u"yes").toBool());
    EXPECT_EQ(root.value(u"no").type(), PlistValue::Type::Boolean);
    EXPECT_FALSE(root.value(u"no").toBool());
    EXPECT_EQ(root.value(u"when").toDate(), QDateTime(QDate(2008, 3, 14), QTime(9, 26, 53), Qt::UTC));
    EXPECT_EQ(root.value(u"bytes").toData(), QByteArray("Hello"));
    const PlistArray& list = root.value(u"list").toArray();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].toInteger(), 1);
    EXPECT_EQ(list[1].toString(), QStringLiteral("two"));
    EXPECT_TRUE(list[2].isArray());
    EXPECT_EQ(root.value(u"nested").value(u"inner").toString(), QStringLiteral("x"));
}

TEST(PlistReader, AccessorsOfTheWrongTypeAnswerEmptyValues) {
    const PlistValue root = PlistReader::parse(
        plist("<dict><key>n</key><integer>2</integer><key>z</key><integer>0</integer>"
              "<key>r</key><real>0.5</real><key>s</key><string>1</string><key>a</key><array/></dict>"));
    EXPECT_TRUE(root.value(u"n").toString().isNull());
    EXPECT_TRUE(root.value(u"n").toBool()) << "a non-zero number counts as true";
    EXPECT_FALSE(root.value(u"z").toBool());
    EXPECT_TRUE(root.value(u"r").toBool());
    EXPECT_FALSE(root.value(u"s").toBool());
    EXPECT_FALSE(root.value(u"s").toInteger().has_value());
    EXPECT_TRUE(root.value(u"a").value(u"x").isNone());
    EXPECT_TRUE(root.value(u"missing").isNone());
    EXPECT_TRUE(root.value(u"n").toArray().empty());
}

TEST(PlistReader, AcceptsTheShapesOfRealExports) {
    const QByteArray body =
        "<dict>\r\n\t<key>Name</key>\r\n\t<string>line one\r\nline two</string>\r\n</dict>";
    const QByteArray variants[] = {
        "\xEF\xBB\xBF" + plist(body),                                         // byte-order mark
        plist(body).replace("\r\n", "\n").replace("\n", "\r\n"),              // CRLF everywhere
        "<?xml version=\"1.0\"?><plist version=\"1.0\">" + body + "</plist>", // no DOCTYPE
        "<!DOCTYPE plist SYSTEM \"file:///nonexistent/PropertyList.dtd\"><plist>" + body + "</plist>",
        body, // no <plist> wrapper
    };
    for (const QByteArray& document : variants) {
        const PlistValue root = PlistReader::parse(document);
        EXPECT_EQ(root.value(u"Name").toString(), QStringLiteral("line one\nline two"))
            << document.constData();
    }
}

TEST(PlistReader, AKeyWithoutValueIsAbsent) {
    const PlistValue root = PlistReader::parse(plist("<dict><key>lost</key><key>kept</key><string>v</string>"
                                                     "<key>bad</key><integer>twelve</integer>"
                                                     "<key>huge</key><integer>99999999999999999999</integer>"
                                                     "<key>odd</key><unknown>x</unknown>"
                                                     "<key>after</key><true/><key>dangling</key></dict>"));
    ASSERT_TRUE(root.isDictionary());
    EXPECT_FALSE(root.contains(u"lost"));
    EXPECT_EQ(root.value(u"kept").toString(), QStringLiteral("v"));
    EXPECT_FALSE(root.contains(u"bad"));
    EXPECT_FALSE(root.contains(u"huge"));
    EXPECT_FALSE(root.contains(u"odd"));
    EXPECT_TRUE(root.value(u"after").toBool());
    EXPECT_FALSE(root.contains(u"dangling"));
    EXPECT_EQ(root.toDictionary().size(), 2u);
}

TEST(PlistReader, ALaterDuplicateKeyWins) {
    const PlistValue root = PlistReader::parse(
        plist("<dict><key>k</key><string>first</string><key>k</key><string>second</string></dict>"));
    EXPECT_EQ(root.value(u"k").toString(), QStringLiteral("second"));
}

TEST(PlistReader, RefusesMalformedAndTruncatedFiles) {
    const QByteArray good = plist("<dict><key>a</key><array><string>x</string><integer>1</integer></array>"
                                  "<key>b</key><dict><key>c</key><true/></dict></dict>");
    ASSERT_TRUE(PlistReader::parse(good).isDictionary());
    // Every prefix that cuts into the root element is refused as a whole.
    const qsizetype rootEnd = good.lastIndexOf("</plist>");
    for (qsizetype length = 0; length < rootEnd + 7; ++length) {
        EXPECT_TRUE(PlistReader::parse(good.left(length)).isNone()) << length;
    }
    const QByteArray bad[] = {
        "",
        "not xml at all",
        plist("<dict><key>a</key><string>x</dict>"),
        plist("<dict><key>a</key><string>x</string></dict></dict>"),
        plist(""),
        "<plist><dict></dict></plist><plist></plist>",
    };
    for (const QByteArray& document : bad) {
        EXPECT_TRUE(PlistReader::parse(document).isNone()) << document.constData();
    }
    // Bytes that are not UTF-8 are no reason to refuse a file: they read as U+FFFD.
    EXPECT_EQ(PlistReader::parse(plist("<dict><key>a</key><string>\x80\x81</string></dict>"))
                  .value(u"a")
                  .toString(),
              QStringLiteral("\uFFFD\uFFFD"));
}

TEST(PlistReader, BoundsTheNestingDepth) {
    const auto nested = [](int depth) {
        return plist(QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth));
    };
    EXPECT_TRUE(PlistReader::parse(nested(100)).isArray());
    EXPECT_TRUE(PlistReader::parse(nested(PlistReader::maxDepth + 1)).isNone());
    EXPECT_TRUE(PlistReader::parse(nested(100000)).isNone());
}

TEST(PlistReader, NeverLoadsOrExpandsEntities) {
    TempHome home;
    const QString secret = home.writeFile(QStringLiteral("secret.txt"), "TOP-SECRET");
    const QString dtd = home.writeFile(QStringLiteral("evil.dtd"), "<!ENTITY fromDtd \"EXPANDED\">");
    const QByteArray secretUrl = QUrl::fromLocalFile(secret).toEncoded();
    const QByteArray dtdUrl = QUrl::fromLocalFile(dtd).toEncoded();
    const QByteArray documents[] = {
        "<!DOCTYPE plist [<!ENTITY x SYSTEM \"" + secretUrl + "\">]><plist><string>&x;</string></plist>",
        "<!DOCTYPE plist [<!ENTITY % p SYSTEM \"" + dtdUrl +
            "\"> %p;]><plist><string>&fromDtd;</string></plist>",
        "<!DOCTYPE plist SYSTEM \"" + dtdUrl + "\"><plist><string>&fromDtd;</string></plist>",
        "<!DOCTYPE plist [<!ENTITY a \"EXPANDED\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
        "<plist><string>&b;</string></plist>",
    };
    for (const QByteArray& document : documents) {
        const QString text = PlistReader::parse(document).toString();
        EXPECT_FALSE(text.contains(QStringLiteral("SECRET"))) << document.constData();
        EXPECT_FALSE(text.contains(QStringLiteral("EXPANDED"))) << document.constData();
    }
}

TEST(PlistReader, ReadsFilesAndRefusesMissingOnes) {
    TempHome home;
    const QString path =
        home.writeFile(QStringLiteral("a.plist"), plist("<array><integer>7</integer></array>"));
    EXPECT_EQ(PlistReader::parseFile(path).toArray().at(0).toInteger(), 7);
    EXPECT_TRUE(PlistReader::parseFile(home.file(QStringLiteral("missing.plist"))).isNone());
    EXPECT_TRUE(PlistReader::parseFile(home.makeDirectory(QStringLiteral("dir"))).isNone());
}

// A catalogue large enough to cross many read chunks, with multi-byte text.
QByteArray largeCatalogue(int records) {
    QByteArray body = "<dict><key>Version</key><integer>1</integer><key>Records</key><dict>";
    for (int i = 0; i < records; ++i) {
        const QByteArray n = QByteArray::number(i);
        body += "<key>" + n + "</key><dict><key>Name</key><string>Caf\xC3\xA9 \xE2\x99\xAB " + n +
                "</string><key>Skip</key><array><string>padding padding padding</string></array>"
                "<key>Size</key><integer>" +
                n + "</integer></dict>";
    }
    body += "</dict><key>Lists</key><array>";
    for (int i = 0; i < 3; ++i) {
        body += "<dict><key>Name</key><string>L" + QByteArray::number(i) + "</string></dict>";
    }
    body += "</array><key>Other</key><string>o</string></dict>";
    return plist(body);
}

TEST(PlistReader, StreamsRecordsAcrossChunksKeepingOnlyTheirFields) {
    constexpr int records = 20000;
    TempHome home;
    const QString path = home.writeFile(QStringLiteral("big.plist"), largeCatalogue(records));

    PlistReader reader;
    reader.setRootKeys({QStringLiteral("Version")});
    int seen = 0;
    bool allMatch = true;
    reader.streamDictionary(QStringLiteral("Records"), {QStringLiteral("Name"), QStringLiteral("Size")},
                            [&](const QString& key, PlistValue&& record) {
                                const QString expected = QString::number(seen);
                                allMatch = allMatch && key == expected &&
                                           record.value(u"Name").toString() ==
                                               QStringLiteral("Caf\u00e9 \u266b ") + expected &&
                                           record.value(u"Size").toInteger() == seen &&
                                           record.toDictionary().size() == 2;
                                ++seen;
                            });
    QStringList lists;
    reader.streamArray(QStringLiteral("Lists"), {},
                       [&](PlistValue&& list) { lists.append(list.value(u"Name").toString()); });

    const PlistValue root = reader.readFile(path);
    ASSERT_TRUE(root.isDictionary());
    EXPECT_EQ(seen, records);
    EXPECT_TRUE(allMatch);
    EXPECT_EQ(lists, QStringList({QStringLiteral("L0"), QStringLiteral("L1"), QStringLiteral("L2")}));
    // The streamed containers and the keys left out are not in the root.
    EXPECT_EQ(root.toDictionary().size(), 1u);
    EXPECT_EQ(root.value(u"Version").toInteger(), 1);

    // Read whole, the same file gives the same records.
    const PlistValue whole = PlistReader::parseFile(path);
    EXPECT_EQ(whole.value(u"Records").toDictionary().size(), std::size_t(records));
    EXPECT_EQ(whole.value(u"Other").toString(), QStringLiteral("o"));
}

TEST(PlistReader, StreamSkipsAContainerOfTheWrongType) {
    PlistReader reader;
    int entries = 0;
    reader.streamDictionary(QStringLiteral("Tracks"), {}, [&](const QString&, PlistValue&&) { ++entries; });
    reader.streamArray(QStringLiteral("Playlists"), {}, [&](PlistValue&&) { ++entries; });
    const PlistValue root = reader.read(plist("<dict><key>Tracks</key><array><dict/></array>"
                                              "<key>Playlists</key><dict><key>1</key><dict/></dict>"
                                              "<key>Other</key><true/></dict>"));
    EXPECT_EQ(entries, 0);
    EXPECT_TRUE(root.value(u"Other").toBool());
    EXPECT_FALSE(root.contains(u"Tracks"));
    EXPECT_FALSE(root.contains(u"Playlists"));
}

// A playlist of a million tracks: its items come one at a time, each before
// the playlist's own record, which no longer holds them.
TEST(PlistReader, StreamsTheListInsideEachRecordBeforeTheRecord) {
    PlistReader reader;
    QStringList events;
    reader.streamArray(QStringLiteral("Playlists"), {QStringLiteral("Name"), QStringLiteral("Items")},
                       [&](PlistValue&& record) {
                           events.append(
                               record.value(u"Name").toString() +
                               (record.contains(u"Items") ? QStringLiteral(" with items") : QString()));
                       });
    reader.streamNestedArray(
        QStringLiteral("Playlists"), QStringLiteral("Items"), {QStringLiteral("Id")}, [&](PlistValue&& item) {
            events.append(item.isDictionary()
                              ? QString::number(item.value(u"Id").toInteger().value_or(-1)) +
                                    QLatin1Char('/') + QString::number(item.toDictionary().size())
                              : QStringLiteral("not a record"));
        });
    const PlistValue root = reader.read(
        plist("<dict><key>Playlists</key><array>"
              "<dict><key>Items</key><array><dict><key>Id</key><integer>7</integer><key>Extra</key><true/>"
              "</dict><string>x</string><dict><key>Id</key><integer>9</integer></dict></array>"
              "<key>Name</key><string>A</string></dict>"
              "<dict><key>Name</key><string>B</string><key>Items</key><dict><key>Id</key><integer>1</integer>"
              "</dict></dict>"
              "<dict><key>Name</key><string>C</string><key>List</key><array><dict><key>Id</key>"
              "<integer>2</integer></dict></array></dict>"
              "</array><key>Items</key><array><integer>3</integer></array></dict>"));
    ASSERT_TRUE(root.isDictionary());
    // A list of another type is skipped; a list under another key is no record's list.
    EXPECT_EQ(events, QStringList({"7/1", "not a record", "9/1", "A", "B", "C"}));
    EXPECT_EQ(root.value(u"Items").toArray().size(), 1u);
}

} // namespace

namespace {

// The parser gets the file in chunks of 256 KiB: a reference or a UTF-8
// character cut by a chunk's end must be mended as if it were whole.
TEST(XmlTextRepair, MendsAlikeWhereverTheTextIsCut) {
    // Long plain stretches are scanned many bytes at a time: a control
    // character and a reference inside one must still be found.
    const std::string plain = "\t<k>" + std::string(37, 'p') + "\x02" + std::string(20, 'q') + "&#1;\r\n";
    const std::string text =
        plain + "<s>a&#55357;&#56842;b\x04&#0;&#x1F600;\xC3\xA9\xE9\xF0\x9F\x98\x8A&#xD83D;x&amp;"
                "\xED\xA0\xBD\xEF\xBF\xBE&#1234567890123456789;</s>";
    std::string whole;
    XmlTextRepair().feed(text.data(), text.size(), whole, true);
    EXPECT_EQ(whole, "\t<k>" + std::string(37, 'p') + std::string(20, 'q') +
                         "\r\n<s>a\xF0\x9F\x98\x8A"
                         "b&#x1F600;\xC3\xA9\xEF\xBF\xBD\xF0\x9F\x98\x8Ax&amp;"
                         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD</s>");
    for (std::size_t step = 1; step < 8; ++step) {
        XmlTextRepair repair;
        std::string pieces;
        for (std::size_t i = 0; i < text.size(); i += step) {
            repair.feed(text.data() + i, std::min(step, text.size() - i), pieces, false);
        }
        repair.feed(nullptr, 0, pieces, true);
        EXPECT_EQ(pieces, whole) << "in pieces of " << step;
    }
    // UTF-16 passes as it is.
    const std::string utf16("\xFF\xFE<\0s\0\x04\0", 8);
    std::string out;
    XmlTextRepair().feed(utf16.data(), utf16.size(), out, true);
    EXPECT_EQ(out, utf16);
}

} // namespace
