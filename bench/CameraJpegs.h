#pragma once

#include <QString>

// A directory of `count` camera-like 24-megapixel JPEGs (6000 x 4000, with
// sensor-like noise, about 5 MB each), each carrying what cameras store
// beside the picture: a 160 x 107 EXIF thumbnail (written by exiftool) and a
// 1920 x 1280 Multi-Picture preview after the picture. Made under
// /tmp/qvmb-bench on first use and reused; answers its path.
QString cameraJpegs(int count);
