#pragma once

#include "platform/MovieFile.h"

// TrackMetaData, MovieMetaData and TagValue are part of the installed interface.
#include <QVMediaBrowser/MovieMetaData.h>
