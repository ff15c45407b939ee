#pragma once

#include <libheif/heif.h>

// The libheif functions the HEIF and AVIF picture reader calls, taken from the
// library at run time (see SharedLibrary.h): the program starts without
// loading libheif and the HEVC and AV1 decoders it brings, which come in with
// the first such picture drawn.
#define QVMB_HEIF_FUNCTIONS(X)                                                                               \
    X(heif_init)                                                                                             \
    X(heif_context_alloc)                                                                                    \
    X(heif_context_free)                                                                                     \
    X(heif_context_read_from_reader)                                                                         \
    X(heif_context_set_maximum_image_size_limit)                                                             \
    X(heif_context_get_primary_image_handle)                                                                 \
    X(heif_image_handle_release)                                                                             \
    X(heif_image_handle_get_width)                                                                           \
    X(heif_image_handle_get_height)                                                                          \
    X(heif_image_handle_has_alpha_channel)                                                                   \
    X(heif_image_handle_get_luma_bits_per_pixel)                                                             \
    X(heif_image_handle_get_nclx_color_profile)                                                              \
    X(heif_image_get_nclx_color_profile)                                                                     \
    X(heif_nclx_color_profile_free)                                                                          \
    X(heif_image_handle_get_number_of_thumbnails)                                                            \
    X(heif_image_handle_get_list_of_thumbnail_IDs)                                                           \
    X(heif_image_handle_get_thumbnail)                                                                       \
    X(heif_image_handle_get_list_of_metadata_block_IDs)                                                      \
    X(heif_image_handle_get_metadata_size)                                                                   \
    X(heif_image_handle_get_metadata)                                                                        \
    X(heif_decode_image)                                                                                     \
    X(heif_image_get_width)                                                                                  \
    X(heif_image_get_height)                                                                                 \
    X(heif_image_get_plane_readonly)                                                                         \
    X(heif_image_release)                                                                                    \
    X(heif_register_decoder)                                                                                 \
    X(heif_image_create)                                                                                     \
    X(heif_image_add_plane)                                                                                  \
    X(heif_image_get_plane)                                                                                  \
    X(heif_nclx_color_profile_alloc)                                                                         \
    X(heif_image_set_nclx_color_profile)

struct HeifApi {
#define QVMB_HEIF_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_HEIF_FUNCTIONS(QVMB_HEIF_POINTER)
#undef QVMB_HEIF_POINTER

    // The functions, loaded and libheif initialised on first use (safe on any
    // thread); null when libheif, of the version built against, is not installed.
    static const HeifApi* load();
};
