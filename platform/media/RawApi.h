#pragma once

#include <libraw/libraw.h>

// The LibRaw functions the camera RAW reader calls, taken from the library at
// run time (see SharedLibrary.h): the program starts without loading LibRaw,
// which comes in with the first RAW picture drawn. The thread-safe build of
// the library: pictures are read on several threads at once.
#define QVMB_RAW_FUNCTIONS(X)                                                                                \
    X(libraw_init)                                                                                           \
    X(libraw_open_file)                                                                                      \
    X(libraw_unpack_thumb)                                                                                   \
    X(libraw_unpack)                                                                                         \
    X(libraw_dcraw_process)                                                                                  \
    X(libraw_dcraw_make_mem_thumb)                                                                           \
    X(libraw_dcraw_make_mem_image)                                                                           \
    X(libraw_dcraw_clear_mem)                                                                                \
    X(libraw_close)

struct RawApi {
#define QVMB_RAW_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_RAW_FUNCTIONS(QVMB_RAW_POINTER)
#undef QVMB_RAW_POINTER

    // The functions, loaded on first use (safe on any thread); null when
    // LibRaw, of the version built against, is not installed.
    static const RawApi* load();
};
