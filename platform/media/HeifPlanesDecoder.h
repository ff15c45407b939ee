#pragma once

struct heif_context;
struct HeifApi;

// An HEVC decoder for libheif that hands a picture over as it was coded: its
// luma and chroma planes, with the chroma brought to the luma's size, labelled
// as the red, green and blue planes of a 4:4:4 picture. libheif then passes
// them through its tile assembly, rotation, mirroring and crop unconverted,
// where its own decoder would turn the whole picture into RGB and, when
// asked for planes, back again (two thirds of the time a 12-megapixel HEIC
// takes). The caller reduces the planes and turns only what is shown into
// RGB. A picture decoded through such a context must be read as planes:
// heif_colorspace_RGB with heif_chroma_444, then R is Y, G is Cb and B is Cr.
namespace HeifPlanesDecoder {

// How the picture will be shown.
enum class Use {
    Whole,   // at its own size or close: decoded exactly
    Reduced, // at half its size or less: the in-loop filters (deblocking,
             // sample adaptive offset) are skipped, whose effect on block
             // edges a reduction by half or more averages away
};

// Registers the decoder on context, for every HEVC picture decoded through it
// (libheif prefers it to its own); false when libde265 cannot be loaded.
bool registerOn(const HeifApi& api, heif_context* context, Use use);

} // namespace HeifPlanesDecoder
