#pragma once

#include "platform/media/MovieFile.h"

// TrackMetaData, MovieMetaData and TagValue are part of the installed interface.
#include <QVMediaBrowser/MovieMetaData.h>
