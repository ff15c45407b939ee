#pragma once

#include <libexif/exif-data.h>

// The libexif functions the picture details reader calls, taken from the
// library at run time (see SharedLibrary.h): only a picture's details, asked
// for when the user previews it, load libexif.
#define QVMB_EXIF_FUNCTIONS(X)                                                                               \
    X(exif_data_new_from_data)                                                                               \
    X(exif_data_unref)                                                                                       \
    X(exif_content_get_entry)

struct ExifApi {
#define QVMB_EXIF_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_EXIF_FUNCTIONS(QVMB_EXIF_POINTER)
#undef QVMB_EXIF_POINTER

    // The functions, loaded on first use (safe on any thread); null when
    // libexif is not installed.
    static const ExifApi* load();
};
