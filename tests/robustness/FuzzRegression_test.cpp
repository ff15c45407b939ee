#include "FuzzTargets.h"
#include "HostileHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Every input that once crashed a fuzz program or took it too long, kept
// under the program's target name, is read again by the same code and must
// now return normally, quickly and without a large allocation.
TEST(FuzzRegressions, EveryKeptInputIsReadWithoutFailing) {
    const QDir root(QStringLiteral(QVMB_FUZZ_REGRESSIONS));
    int replayed = 0;
    for (const QString& target : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const FuzzTargets::Function run = FuzzTargets::byName(target.toLatin1().constData());
        ASSERT_NE(run, nullptr) << "no fuzz target " << target.toStdString();
        for (const QFileInfo& input : QDir(root.filePath(target)).entryInfoList(QDir::Files)) {
            SCOPED_TRACE(input.filePath().toStdString());
            QFile file(input.filePath());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const long memoryBefore = peakMemoryKb();
            EXPECT_LT(millisecondsOf([&] { run(bytes); }), kMainThreadBudgetMs);
            EXPECT_LT(peakMemoryKb() - memoryBefore, 128 * 1024) << "kilobytes more at the peak";
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
