#include "platform/system/PreferencesStore.h"
#include "support/TempHome.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("org.qvmediabrowser.Test");

TEST(PreferencesStore, ListsOfEveryLengthReadBackExactlyAfterRestart) {
    TempHome home;
    const QStringList empty;
    const QStringList one{QStringLiteral("~/Pictures")};
    const QStringList several{QStringLiteral("/a"), QStringLiteral("~/b, c"), QStringLiteral("d=\"e\"")};
    {
        PreferencesStore store(kApp);
        store.record(QStringLiteral("Empty"), empty);
        store.record(QStringLiteral("One"), one);
        store.record(QStringLiteral("Several"), several);
        // Read back before anything reaches the disk.
        EXPECT_EQ(store.read(QStringLiteral("One"))->toStringList(), one);
        store.synchronize();
    }
    EXPECT_TRUE(QFile::exists(PreferencesStore::filePath(kApp)));
    PreferencesStore restarted(kApp);
    const auto emptyValue = restarted.read(QStringLiteral("Empty"));
    ASSERT_TRUE(emptyValue.has_value()); // stored, though empty
    EXPECT_EQ(emptyValue->metaType(), QMetaType::fromType<QVariantList>());
    EXPECT_TRUE(emptyValue->toList().isEmpty());
    EXPECT_EQ(restarted.read(QStringLiteral("One"))->metaType(), QMetaType::fromType<QVariantList>());
    EXPECT_EQ(restarted.read(QStringLiteral("One"))->toStringList(), one);
    EXPECT_EQ(restarted.read(QStringLiteral("Several"))->toStringList(), several);
    EXPECT_FALSE(restarted.read(QStringLiteral("Missing")).has_value());
}

TEST(PreferencesStore, ReplacingAListWithAShorterOneLeavesNoStaleElements) {
    TempHome home;
    PreferencesStore store(kApp);
    store.record(QStringLiteral("L"),
                 QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    store.record(QStringLiteral("L"), QStringList{QStringLiteral("z")});
    store.synchronize();
    PreferencesStore other(kApp);
    EXPECT_EQ(other.read(QStringLiteral("L"))->toStringList(), QStringList{QStringLiteral("z")});
}

TEST(PreferencesStore, SynchronizePicksUpAnotherWritersValues) {
    TempHome home;
    PreferencesStore reader(kApp);
    EXPECT_FALSE(reader.read(QStringLiteral("K")).has_value());
    {
        PreferencesStore writer(kApp);
        writer.record(QStringLiteral("K"), QStringList{QStringLiteral("new")});
        writer.synchronize();
    }
    reader.synchronize();
    ASSERT_TRUE(reader.read(QStringLiteral("K")).has_value());
    EXPECT_EQ(reader.read(QStringLiteral("K"))->toStringList(), QStringList{QStringLiteral("new")});
}

TEST(PreferencesStore, PlainValuesComeBackAsTheyWereWritten) {
    TempHome home;
    home.writeFile(QStringLiteral(".config/org.qvmediabrowser.Test.conf"), "[General]\nK=just text\nN=5\n");
    PreferencesStore store(kApp);
    EXPECT_EQ(store.read(QStringLiteral("K"))->toString(), QStringLiteral("just text"));
    EXPECT_EQ(store.read(QStringLiteral("N"))->metaType(), QMetaType::fromType<QString>());
}

} // namespace
