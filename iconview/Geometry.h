#pragma once

// The geometry functions are part of the installed interface.
#include <QVMediaBrowser/Geometry.h>
