#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

#include <vector>

// A set of file-name extensions, compared exactly, for testing thousands of
// names quickly: extensions of up to eight Latin-1 characters (all real ones)
// are packed into one integer each and found by binary search, without
// hashing or copying the name. Longer ones are kept as strings.
class ExtensionSet {
public:
    ExtensionSet() = default;
    explicit ExtensionSet(const QSet<QString>& extensions);

    bool contains(QStringView extension) const;

private:
    static bool pack(QStringView extension, quint64& key);

    std::vector<quint64> _packed; // sorted
    QSet<QString> _others;
};
