#pragma once

class MediaFolder;

// The three roots a catalogue's folders go to; a root the window did not
// connect is null.
struct CatalogueRoots {
    MediaFolder* photos = nullptr;
    MediaFolder* music = nullptr;
    MediaFolder* movies = nullptr;
};

// One kind of catalogue the browser reads: adds its folders to the roots when
// the user has such a catalogue, and nothing otherwise. Each catalogue folder
// class answers one of these; QVMedia lists them.
using CatalogueKind = void (*)(const CatalogueRoots& roots);
