#pragma once

#include <libde265/de265.h>

// The libde265 functions the HEIC planes decoder calls (see
// HeifPlanesDecoder.h), taken at run time from the HEVC decoder that libheif
// itself loads: nothing more is loaded than a HEIC picture already brings.
#define QVMB_DE265_FUNCTIONS(X)                                                                              \
    X(de265_new_decoder)                                                                                     \
    X(de265_start_worker_threads)                                                                            \
    X(de265_free_decoder)                                                                                    \
    X(de265_set_parameter_bool)                                                                              \
    X(de265_push_NAL)                                                                                        \
    X(de265_flush_data)                                                                                      \
    X(de265_decode)                                                                                          \
    X(de265_get_next_picture)                                                                                \
    X(de265_release_next_picture)                                                                            \
    X(de265_get_chroma_format)                                                                               \
    X(de265_get_bits_per_pixel)                                                                              \
    X(de265_get_image_width)                                                                                 \
    X(de265_get_image_height)                                                                                \
    X(de265_get_image_plane)                                                                                 \
    X(de265_get_image_full_range_flag)                                                                       \
    X(de265_get_image_colour_primaries)                                                                      \
    X(de265_get_image_transfer_characteristics)                                                              \
    X(de265_get_image_matrix_coefficients)

struct De265Api {
#define QVMB_DE265_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_DE265_FUNCTIONS(QVMB_DE265_POINTER)
#undef QVMB_DE265_POINTER

    // The functions, loaded on first use (safe on any thread); null when
    // libde265 is not installed or lacks one of them.
    static const De265Api* load();
};
