#pragma once

#include "model/MediaItem.h"

#include <QString>

#include <memory>

class Photo;
using PhotoPtr = std::shared_ptr<Photo>;

// A picture: a caption, the picture file and the file drawn as its thumbnail.
class Photo : public MediaItem {
public:
    // A picture for path when its extension is, exactly and case-sensitively,
    // one that the image readers decode; null otherwise. Named after the file
    // without its extension; the file is its own thumbnail.
    static PhotoPtr photoFromFile(const QString& path);

    // A picture from a catalogue that gives no caption: named after its file,
    // like photoFromFile's, when first asked; thumbPath is drawn for it.
    static PhotoPtr photoNamedAfterFile(const QString& path, const QString& thumbPath);

    Photo() = default;
    Photo(const QString& caption, const QString& comment, const QString& path, const QString& thumbPath);

    QString name() override;
    QString path() const { return _path; }
    QString thumbPath() const { return _thumbPath; }

    bool matchesFilter(const QString& text) override;
    // Of the picture's file, thumbnail and name, made once, without making
    // the name of a picture named after its file.
    std::size_t contentHash() const override;
    QString identity() const override { return _path; }

private:
    struct FromFile {};

public:
    // For the class's own factory only (the tag type is private).
    Photo(FromFile, const QString& path);

private:
    // A picture made from a file names itself when first asked, so that
    // listing a folder of thousands of pictures makes no name strings.
    bool _nameFromPath = false;
    bool _namedAfterFile = false; // stays set once the name is made
    mutable std::size_t _contentHash = 0;
    QString _name;
    QString _comment; // from the iPhoto library; kept, not shown
    QString _path;
    QString _thumbPath;
    QString _searchName; // _name in search form, made on the first match
    bool _searchNameMade = false;
};
