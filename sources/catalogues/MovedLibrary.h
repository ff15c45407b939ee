#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <array>

// Finds the files of a library copied from another computer. A catalogue
// names its files where they were when it was written (an iPhoto or iTunes
// library copied from a Mac names "/Users/bob/Pictures/iPhoto Library/
// Originals/..."), but a copied library brought its files along, in its own
// library folder beside the catalogue. A file whose directory does not exist
// is looked for there instead: the part of its path after the library
// folder's original path (or, failing that, after the folder's name) below
// the folder's place here, when that directory exists. Paths that exist, or
// that the copy does not hold, stay as the catalogue names them.
//
// Cheap enough for a million files: nothing is done when the library folder
// still exists where the catalogue says (it was not moved), and otherwise
// each distinct directory is looked up once.
class MovedLibrary {
public:
    // Moves nothing.
    MovedLibrary() = default;
    // originalFolder: the library folder as the catalogue names it;
    // localFolder: where that folder is on this computer.
    MovedLibrary(const QString& originalFolder, const QString& localFolder);

    // Whether paths are looked for in the local folder.
    bool isActive() const { return _active; }

    // The path where the file is to be found.
    QString locate(const QString& path);

private:
    struct LastAnswer {
        QString directory;
        bool exists = false;
    };
    struct LastAnswers {
        std::array<LastAnswer, 2> answers;
        std::size_t next = 0;
    };
    bool directoryExists(QStringView directory, LastAnswers& last);

    QString _original;     // without a trailing "/"
    QString _originalName; // its last component, between slashes
    QString _local;
    bool _active = false;
    QHash<QString, bool> _directories;
    LastAnswers _lastOriginal; // of the paths as named
    LastAnswers _lastLocal;    // of the paths in the local folder
};
