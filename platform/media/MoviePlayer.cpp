#include "platform/media/MoviePlayer.h"

const char QVMovieDidEnd[] = "QVMovieDidEndNotification";

MoviePlayer::~MoviePlayer() = default;
