#pragma once

#include "model/MediaFolder.h"
#include "model/QVMedia.h"

#include <memory>

// The browser's three roots (pictures, music, movies) filled from the home's
// folders and catalogues, as the window fills them when it opens. Tests take
// them apart by name: `auto& [photos, music, movies, media] = roots;`.
struct MediaRoots {
    MediaRoots() {
        media.setPhotos(photos);
        media.setMusic(music);
        media.setMovies(movies);
        media.awakeFromNib();
    }

    std::shared_ptr<MediaFolder> photos = std::make_shared<MediaFolder>();
    std::shared_ptr<MediaFolder> music = std::make_shared<MediaFolder>();
    std::shared_ptr<MediaFolder> movies = std::make_shared<MediaFolder>();
    QVMedia media; // declared last: it goes before the roots it filled
};
