#pragma once

#include <QByteArray>
#include <QStringList>

#include <map>

// Every entry below a directory with its type, size and modification time,
// read without following links: comparing two snapshots shows what was
// created, changed or removed in between.
class TreeSnapshot {
public:
    explicit TreeSnapshot(const QString& root);

    // The differences from before to this snapshot, one line each ("created
    // X", "modified X", "removed X"), leaving out the paths in allowed.
    QStringList changesSince(const TreeSnapshot& before, const QStringList& allowed = {}) const;

    std::size_t size() const { return _entries.size(); }

private:
    struct Entry {
        unsigned mode = 0;
        long long size = 0;
        long long mtimeNs = 0;
        bool operator==(const Entry&) const = default;
    };
    QString _root;
    std::map<QByteArray, Entry> _entries; // by native path
};
