#pragma once

#include "platform/media/MoviePlayer.h"
#include "platform/system/NotificationCenter.h"

#include <QSet>
#include <QUrl>

#include <memory>
#include <vector>

// A player that plays nothing: the test ends its movie with finish().
class FakePlayer : public MoviePlayer {
public:
    explicit FakePlayer(const QUrl& url)
        : _url(url) {}
    QUrl url() const override { return _url; }
    void play() override { playing = true; }
    void stop() override { playing = false; }
    bool isPlaying() const override { return playing; }
    void setAudioOnly(bool only) override { audioOnly = only; }

    bool failed() const override { return broken; }

    // Reaches the end of the movie; the observers may destroy this player.
    void finish() {
        playing = false;
        NotificationCenter::defaultCenter().postNotification(QVMovieDidEnd, static_cast<MoviePlayer*>(this));
    }

    bool playing = false;
    bool audioOnly = false;
    bool broken = false; // ends as a file that could not be decoded

private:
    QUrl _url;
};

// Makes fake players and remembers the live one; refuses the URLs in refused.
struct FakePlayers {
    MoviePlayerFactory factory() {
        return [this](const QUrl& url) -> std::unique_ptr<MoviePlayer> {
            opened.push_back(url);
            if (refused.contains(url)) {
                return nullptr;
            }
            auto player = std::make_unique<FakePlayer>(url);
            last = player.get();
            return player;
        };
    }
    // Ends the movie of the player made last.
    void finishLast() {
        FakePlayer* player = last;
        last = nullptr;
        player->finish();
    }

    QSet<QUrl> refused;
    std::vector<QUrl> opened;
    FakePlayer* last = nullptr;
};
