#pragma once

#include "platform/catalogues/RhythmboxXml.h"

#include <QString>

#include <optional>
#include <vector>

class LoadProgress;

// A Rhythmbox automatic playlist whose query the browser answers itself:
// conditions all joined by "and", each an exact ("equals") or a substring
// ("like") match on a song's title, artist, album or genre, or on its kind
// (song or podcast episode); at most a number of songs as its limit, chosen
// in an order the browser can follow (by title, artist, album or genre, or
// the library's). Anything else (ratings, play counts, dates, "or", limits
// by size or time) is not answered here: such playlists are left out rather
// than shown with the wrong songs.
class RhythmboxAutoPlaylist {
public:
    // What the conditions look at in one library entry.
    struct Song {
        QString title;
        QString artist;
        QString album;
        QString genre;
        bool episode = false;
    };

    // The playlist when its query and limits are of that kind; none otherwise.
    static std::optional<RhythmboxAutoPlaylist> fromPlaylist(const RhythmboxXml::Playlist& playlist);

    // The indexes of the songs it lists, in its order; stops early (with
    // what it found so far) when the load is cancelled.
    std::vector<std::size_t> select(const std::vector<Song>& songs, const LoadProgress& progress) const;

    // Text as Rhythmbox folds it for its "-folded" properties and their
    // values: decomposed, accents and other marks and all punctuation left
    // out, letters in lower case, anything else kept ("Beyoncé!" is
    // "beyonce"). Rhythmbox compares the folded texts exactly or by substring.
    static QString fold(const QString& text);

private:
    enum class Field { Title, Artist, Album, Genre, Kind };
    struct Condition {
        Field field = Field::Title;
        bool substring = false; // "like", else "equals"
        bool folded = false;    // on the property's folded form (see fold)
        QString value;          // folded when folded is set
    };

    static bool addConditions(const std::vector<RhythmboxXml::QueryElement>& elements,
                              std::vector<Condition>& conditions);
    static std::optional<Condition> conditionFor(const RhythmboxXml::QueryElement& element);
    static const QString& fieldOf(const Song& song, Field field);
    bool matches(const Song& song) const;

    std::vector<Condition> _conditions;
    qint64 _limit = 0; // 0: none
    std::optional<Field> _sortField;
    bool _descending = false;
};
