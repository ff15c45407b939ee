# Every third-party dependency comes from Debian packages (see tools/setup).

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets DBus OpenGL OpenGLWidgets Concurrent)
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil libswscale)
pkg_check_modules(TAGLIB REQUIRED IMPORTED_TARGET taglib)
pkg_check_modules(MPV REQUIRED IMPORTED_TARGET mpv)
pkg_check_modules(LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)
# Headers only: the picture readers open these libraries at run time.
pkg_check_modules(LIBHEIF REQUIRED libheif)
pkg_check_modules(LIBDE265 REQUIRED libde265)
pkg_check_modules(LIBRAW REQUIRED libraw_r)
pkg_check_modules(TRACKER REQUIRED tracker-sparql-3.0)
pkg_check_modules(LMDB REQUIRED lmdb)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(LIBEXIF REQUIRED IMPORTED_TARGET libexif)
pkg_check_modules(LIBDEFLATE REQUIRED IMPORTED_TARGET libdeflate)
