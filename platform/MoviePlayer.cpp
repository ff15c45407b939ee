#include "platform/MoviePlayer.h"

const char QVMovieDidEnd[] = "QVMovieDidEndNotification";

MoviePlayer::~MoviePlayer() = default;
