#pragma once

// The export macro is shared with the installed headers.
#include <QVMediaBrowser/Export.h>
