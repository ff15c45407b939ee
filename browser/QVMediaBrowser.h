#pragma once

// The browser's front door is part of the installed interface.
#include <QVMediaBrowser/QVMediaBrowser.h>
