#include "sources/catalogues/RhythmboxAutoPlaylist.h"

#include "platform/system/LoadProgress.h"

#include <QList>

#include <algorithm>

std::optional<RhythmboxAutoPlaylist>
RhythmboxAutoPlaylist::fromPlaylist(const RhythmboxXml::Playlist& playlist) {
    RhythmboxAutoPlaylist result;
    if (!addConditions(playlist.query, result._conditions)) {
        return std::nullopt;
    }
    const auto limitOf = [](const QString& text) {
        bool ok = false;
        const qint64 value = text.trimmed().toLongLong(&ok);
        return text.isEmpty() ? 0 : ok && value >= 0 ? value : -1;
    };
    result._limit = limitOf(playlist.limitCount);
    if (result._limit < 0 || limitOf(playlist.limitSize) != 0 || limitOf(playlist.limitTime) != 0) {
        return std::nullopt;
    }
    const QString key = playlist.sortKey.toLower();
    if (key == QLatin1String("title")) {
        result._sortField = Field::Title;
    } else if (key == QLatin1String("artist")) {
        result._sortField = Field::Artist;
    } else if (key == QLatin1String("album")) {
        result._sortField = Field::Album;
    } else if (key == QLatin1String("genre")) {
        result._sortField = Field::Genre;
    } else if (!key.isEmpty() && result._limit > 0) {
        return std::nullopt; // which songs the limit keeps depends on an order not followed here
    }
    result._descending = playlist.sortDirection.trimmed() == QLatin1String("1");
    return result;
}

bool RhythmboxAutoPlaylist::addConditions(const std::vector<RhythmboxXml::QueryElement>& elements,
                                          std::vector<Condition>& conditions) {
    for (const RhythmboxXml::QueryElement& element : elements) {
        if (element.name == QLatin1String("conjunction") || element.name == QLatin1String("subquery")) {
            if (!addConditions(element.children, conditions)) {
                return false;
            }
        } else if (std::optional<Condition> condition = conditionFor(element)) {
            conditions.push_back(std::move(*condition));
        } else {
            return false;
        }
    }
    return true;
}

std::optional<RhythmboxAutoPlaylist::Condition>
RhythmboxAutoPlaylist::conditionFor(const RhythmboxXml::QueryElement& element) {
    Condition condition;
    if (element.name == QLatin1String("like")) {
        condition.substring = true;
    } else if (element.name != QLatin1String("equals")) {
        return std::nullopt;
    }
    QString property = element.property;
    if (property.endsWith(QLatin1String("-folded"))) {
        condition.folded = true;
        property.chop(7);
    }
    if (property == QLatin1String("title")) {
        condition.field = Field::Title;
    } else if (property == QLatin1String("artist")) {
        condition.field = Field::Artist;
    } else if (property == QLatin1String("album")) {
        condition.field = Field::Album;
    } else if (property == QLatin1String("genre")) {
        condition.field = Field::Genre;
    } else if (property == QLatin1String("type") && !condition.substring && !condition.folded &&
               (element.value == QLatin1String("song") || element.value == QLatin1String("podcast-post"))) {
        condition.field = Field::Kind;
    } else {
        return std::nullopt;
    }
    condition.value = condition.folded ? fold(element.value) : element.value;
    return condition;
}

const QString& RhythmboxAutoPlaylist::fieldOf(const Song& song, Field field) {
    switch (field) {
    case Field::Artist:
        return song.artist;
    case Field::Album:
        return song.album;
    case Field::Genre:
        return song.genre;
    case Field::Title:
    case Field::Kind:
        break;
    }
    return song.title;
}

bool RhythmboxAutoPlaylist::matches(const Song& song) const {
    for (const Condition& condition : _conditions) {
        if (condition.field == Field::Kind) {
            if (song.episode != (condition.value == QLatin1String("podcast-post"))) {
                return false;
            }
            continue;
        }
        const QString& field = fieldOf(song, condition.field);
        bool match = false;
        if (condition.folded) {
            const QString folded = fold(field);
            match = condition.substring ? folded.contains(condition.value) : folded == condition.value;
        } else {
            match = condition.substring ? field.contains(condition.value) : field == condition.value;
        }
        if (!match) {
            return false;
        }
    }
    return true;
}

std::vector<std::size_t> RhythmboxAutoPlaylist::select(const std::vector<Song>& songs,
                                                       const LoadProgress& progress) const {
    std::vector<std::size_t> selected;
    for (std::size_t i = 0; i < songs.size(); ++i) {
        if ((i & 4095) == 0 && progress.isCancelled()) {
            return selected;
        }
        if (matches(songs[i])) {
            selected.push_back(i);
        }
    }
    if (_sortField) {
        const Field field = *_sortField;
        std::stable_sort(selected.begin(), selected.end(), [&](std::size_t a, std::size_t b) {
            const int order =
                QString::compare(fieldOf(songs[a], field), fieldOf(songs[b], field), Qt::CaseInsensitive);
            return _descending ? order > 0 : order < 0;
        });
    }
    if (_limit > 0 && selected.size() > static_cast<std::size_t>(_limit)) {
        selected.resize(static_cast<std::size_t>(_limit));
    }
    return selected;
}

QString RhythmboxAutoPlaylist::fold(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const char32_t c : decomposed.toUcs4()) {
        switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Punctuation_Connector:
        case QChar::Punctuation_Dash:
        case QChar::Punctuation_Open:
        case QChar::Punctuation_Close:
        case QChar::Punctuation_InitialQuote:
        case QChar::Punctuation_FinalQuote:
        case QChar::Punctuation_Other:
            break; // left out
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Letter_Other:
            folded.append(QChar::fromUcs4(QChar::toLower(c)));
            break;
        default:
            folded.append(QChar::fromUcs4(c));
            break;
        }
    }
    return folded;
}
