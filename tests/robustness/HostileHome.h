#pragma once

#include "TreeSnapshot.h"
#include "model/MediaFolder.h"
#include "support/TempHome.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <gtest/gtest.h>
#include <optional>

// How long the main thread may be kept from its events by one bad input.
// Sanitized builds run several times slower, and the machine is shared.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr qint64 kMainThreadBudgetMs = 4000;
#else
inline constexpr qint64 kMainThreadBudgetMs = 1000;
#endif

// Milliseconds that work takes.
template <typename Work> qint64 millisecondsOf(Work&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

// A property-list document as the photo and music libraries write it, with
// body inside the root dictionary.
QByteArray catalogue(const QByteArray& body);

// What loading a whole tree found.
struct Tally {
    int folders = 0;
    int items = 0;
};

// Loads the folder and every sub-folder, asking each item what the lists ask
// (name, location, a filter match).
Tally loadEverything(const MediaFolderPtr& folder);

// A temporary home for one bad input. snapshot() records the home once the
// test has laid out its files; at the end the test fails when anything in
// the home was created, changed or removed since, but the preferences file.
class HostileHome : public ::testing::Test {
protected:
    void snapshot() { _before.emplace(_home.path()); }
    // Fails the test when anything but the preferences file was written since
    // the snapshot, and stops watching.
    void expectNothingWritten();
    void TearDown() override { expectNothingWritten(); }
    // Paths the browser may write: the preferences file and the directory
    // that holds it.
    static QStringList preferencesPaths();

    TempHome _home;

private:
    std::optional<TreeSnapshot> _before;
};
