#include "platform/media/HeifPlanesDecoder.h"

#include "platform/media/De265Api.h"
#include "platform/media/HeifApi.h"
#include "platform/media/PictureFile.h"

#include <QSize>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <libheif/heif_plugin.h>

namespace HeifPlanesDecoder {

namespace {

// Above libheif's own HEVC decoder (100).
constexpr int kPriority = 200;

const heif_error kOk{heif_error_Ok, heif_suberror_Unspecified, ""};

heif_error failure(const char* message) {
    return {heif_error_Decoder_plugin_error, heif_suberror_Unspecified, message};
}

struct Decoder {
    de265_decoder_context* context = nullptr;
};

const char* pluginName() {
    return "QVMediaBrowser planes";
}
void initPlugin() {
}
void deinitPlugin() {
}
int supports(heif_compression_format format) {
    return format == heif_compression_HEVC ? kPriority : 0;
}

heif_error newDecoder(void** out, bool filtered) {
    const De265Api* de265 = De265Api::load();
    if (de265 == nullptr) {
        return failure("libde265 is not installed");
    }
    auto* decoder = new Decoder;
    decoder->context = de265->de265_new_decoder();
    if (decoder->context == nullptr) {
        delete decoder;
        return failure("libde265 made no decoder");
    }
    // A worker per core (libheif's own decoder has one): a picture coded in
    // wavefront rows (as encoders write them by default) decodes its rows
    // side by side, which the preview, decoding one picture at a time, needs.
    de265->de265_start_worker_threads(decoder->context, std::clamp(QThread::idealThreadCount(), 1, 4));
    de265->de265_set_parameter_bool(decoder->context, DE265_DECODER_PARAM_DISABLE_DEBLOCKING, !filtered);
    de265->de265_set_parameter_bool(decoder->context, DE265_DECODER_PARAM_DISABLE_SAO, !filtered);
    *out = decoder;
    return kOk;
}
heif_error newWholeDecoder(void** out) {
    return newDecoder(out, true);
}
heif_error newReducedDecoder(void** out) {
    return newDecoder(out, false);
}

void freeDecoder(void* decoder) {
    auto* own = static_cast<Decoder*>(decoder);
    De265Api::load()->de265_free_decoder(own->context);
    delete own;
}

// libheif hands the coded picture as NAL units, each after its length in four bytes.
heif_error pushData(void* decoder, const void* data, size_t size) {
    const De265Api* de265 = De265Api::load();
    auto* own = static_cast<Decoder*>(decoder);
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t at = 0;
    while (at < size) {
        if (size - at < 4) {
            return failure("a NAL unit's length is cut short");
        }
        const size_t length = (size_t(bytes[at]) << 24) | (size_t(bytes[at + 1]) << 16) |
                              (size_t(bytes[at + 2]) << 8) | size_t(bytes[at + 3]);
        at += 4;
        if (length > size - at) {
            return failure("a NAL unit is longer than the data");
        }
        if (de265->de265_push_NAL(own->context, bytes + at, int(length), 0, nullptr) != DE265_OK) {
            return failure("libde265 refused a NAL unit");
        }
        at += length;
    }
    return kOk;
}

// Chroma plane of size chroma brought to size luma by repeating each sample.
void copyUpsampled(const uint8_t* source, int sourceStride, QSize chroma, uint8_t* target, int targetStride,
                   QSize luma) {
    // Subsampled planes are half the luma's size, rounded up.
    const int across = chroma.width() < luma.width() ? 2 : 1;
    const int down = chroma.height() < luma.height() ? 2 : 1;
    for (int y = 0; y < luma.height(); ++y) {
        const uint8_t* in = source + ptrdiff_t(std::min(y / down, chroma.height() - 1)) * sourceStride;
        uint8_t* out = target + ptrdiff_t(y) * targetStride;
        if (across == 1) {
            std::memcpy(out, in, size_t(luma.width()));
            continue;
        }
        for (int x = 0; x + 1 < luma.width(); x += 2) {
            out[x] = out[x + 1] = in[x / 2];
        }
        if (luma.width() % 2 == 1) {
            out[luma.width() - 1] = in[(luma.width() - 1) / 2];
        }
    }
}

// The decoded picture as planes labelled R, G, B (Y, Cb, Cr) at the luma's size.
heif_error toPlanes(const HeifApi& heif, const De265Api& de265, const de265_image* picture,
                    heif_image** out) {
    const de265_chroma chroma = de265.de265_get_chroma_format(picture);
    const QSize luma(de265.de265_get_image_width(picture, 0), de265.de265_get_image_height(picture, 0));
    if (chroma == de265_chroma_mono || luma.isEmpty() || !PictureFile::fitsAllocationLimit(luma, 3)) {
        return failure("not a colour picture of a size we read");
    }
    for (int c = 0; c < 3; ++c) {
        if (de265.de265_get_bits_per_pixel(picture, c) != 8) {
            return failure("not an 8-bit picture");
        }
    }
    heif_image* image = nullptr;
    if (heif.heif_image_create(luma.width(), luma.height(), heif_colorspace_RGB, heif_chroma_444, &image)
            .code != heif_error_Ok) {
        return failure("no picture could be made");
    }
    static constexpr heif_channel kChannels[3] = {heif_channel_R, heif_channel_G, heif_channel_B};
    for (int c = 0; c < 3; ++c) {
        const QSize size(de265.de265_get_image_width(picture, c), de265.de265_get_image_height(picture, c));
        int sourceStride = 0;
        const uint8_t* source = de265.de265_get_image_plane(picture, c, &sourceStride);
        // Chroma planes are the luma's size or half of it, never more.
        const bool fits = size.width() <= luma.width() && size.height() <= luma.height() &&
                          size.width() * 2 >= luma.width() && size.height() * 2 >= luma.height();
        if (source == nullptr || size.isEmpty() || !fits ||
            heif.heif_image_add_plane(image, kChannels[c], luma.width(), luma.height(), 8).code !=
                heif_error_Ok) {
            heif.heif_image_release(image);
            return failure("a plane could not be read");
        }
        int targetStride = 0;
        uint8_t* target = heif.heif_image_get_plane(image, kChannels[c], &targetStride);
        copyUpsampled(source, sourceStride, size, target, targetStride, luma);
    }
    // The stream's own colour description, which the container's overrides.
    if (heif_color_profile_nclx* nclx = heif.heif_nclx_color_profile_alloc()) {
        nclx->color_primaries = heif_color_primaries(de265.de265_get_image_colour_primaries(picture));
        nclx->transfer_characteristics =
            heif_transfer_characteristics(de265.de265_get_image_transfer_characteristics(picture));
        nclx->matrix_coefficients =
            heif_matrix_coefficients(de265.de265_get_image_matrix_coefficients(picture));
        nclx->full_range_flag = uint8_t(de265.de265_get_image_full_range_flag(picture) != 0);
        heif.heif_image_set_nclx_color_profile(image, nclx);
        heif.heif_nclx_color_profile_free(nclx);
    }
    *out = image;
    return kOk;
}

heif_error decodeImage(void* decoder, heif_image** out) {
    const HeifApi* heif = HeifApi::load();
    const De265Api* de265 = De265Api::load();
    auto* own = static_cast<Decoder*>(decoder);
    *out = nullptr;
    de265->de265_flush_data(own->context);
    int more = 0;
    do {
        more = 0;
        if (de265->de265_decode(own->context, &more) != DE265_OK) {
            break;
        }
        // A picture's stream holds one picture: the last one wins, as with libheif's own decoder.
        if (const de265_image* picture = de265->de265_get_next_picture(own->context)) {
            if (*out != nullptr) {
                heif->heif_image_release(*out);
                *out = nullptr;
            }
            const heif_error converted = toPlanes(*heif, *de265, picture, out);
            de265->de265_release_next_picture(own->context);
            if (converted.code != heif_error_Ok) {
                return converted;
            }
        }
    } while (more != 0);
    return *out != nullptr ? kOk : failure("libde265 decoded no picture");
}

void setStrictDecoding(void*, int) {
}

const heif_decoder_plugin kWhole{3,           pluginName,        initPlugin,   deinitPlugin,
                                 supports,    newWholeDecoder,   freeDecoder,  pushData,
                                 decodeImage, setStrictDecoding, "qvmb-planes"};
const heif_decoder_plugin kReduced{3,           pluginName,        initPlugin,           deinitPlugin,
                                   supports,    newReducedDecoder, freeDecoder,          pushData,
                                   decodeImage, setStrictDecoding, "qvmb-planes-reduced"};

} // namespace

bool registerOn(const HeifApi& api, heif_context* context, Use use) {
    if (De265Api::load() == nullptr) {
        return false;
    }
    return api.heif_register_decoder(context, use == Use::Reduced ? &kReduced : &kWhole).code ==
           heif_error_Ok;
}

} // namespace HeifPlanesDecoder
