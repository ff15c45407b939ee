#include "platform/media/PngFilters.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace PngFilters {

namespace {

// The predictor of Paeth's filter: whichever of left, above and upper-left
// is nearest to left + above - upperLeft, ties going in that order.
inline int paethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

void undoSub(std::uint8_t* row, std::size_t rowBytes, int bpp) {
    for (std::size_t i = static_cast<std::size_t>(bpp); i < rowBytes; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - static_cast<std::size_t>(bpp)]);
    }
}

void undoUp(std::uint8_t* __restrict row, const std::uint8_t* __restrict previous, std::size_t rowBytes) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= rowBytes; i += 16) {
        const __m128i sum = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), sum);
    }
#endif
    for (; i < rowBytes; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
    }
}

#if defined(__SSE2__)

// Average and Paeth depend on the pixel to the left as just undone, so they
// go a pixel at a time, each sample in a 16-bit lane.
template <int Bpp> inline __m128i loadPixel(const std::uint8_t* at) {
    std::uint32_t value = 0;
    std::memcpy(&value, at, Bpp);
    return _mm_cvtsi32_si128(static_cast<int>(value));
}

template <int Bpp> inline void storePixel(std::uint8_t* at, __m128i pixel) {
    const auto value = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixel));
    std::memcpy(at, &value, Bpp);
}

inline __m128i abs16(__m128i x) {
    return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x));
}

inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <int Bpp> void undoAverage(std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero;
    for (std::size_t i = 0; i + Bpp <= rowBytes; i += Bpp) {
        const __m128i b = _mm_unpacklo_epi8(loadPixel<Bpp>(previous + i), zero);
        const __m128i mean = _mm_srli_epi16(_mm_add_epi16(a, b), 1);
        const __m128i out = _mm_add_epi8(loadPixel<Bpp>(row + i), _mm_packus_epi16(mean, mean));
        storePixel<Bpp>(row + i, out);
        a = _mm_unpacklo_epi8(out, zero);
    }
}

// One pixel of a Paeth row: the filtered bytes plus the predictor of left a,
// above b and upper-left c (samples in 16-bit lanes).
inline __m128i paethPixel(__m128i filtered, __m128i a, __m128i b, __m128i c) {
    // With p = a + b - c: |p - a| = |b - c|, |p - b| = |a - c|, |p - c| = |(b - c) + (a - c)|.
    const __m128i towardsA = _mm_sub_epi16(b, c);
    const __m128i towardsB = _mm_sub_epi16(a, c);
    const __m128i pa = abs16(towardsA);
    const __m128i pb = abs16(towardsB);
    const __m128i pc = abs16(_mm_add_epi16(towardsA, towardsB));
    const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    __m128i nearest = select(_mm_cmpeq_epi16(smallest, pb), b, c);
    nearest = select(_mm_cmpeq_epi16(smallest, pa), a, nearest);
    return _mm_add_epi8(filtered, _mm_packus_epi16(nearest, nearest));
}

template <int Bpp> void undoPaeth(std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero;
    __m128i c = zero;
    for (std::size_t i = 0; i + Bpp <= rowBytes; i += Bpp) {
        const __m128i b = _mm_unpacklo_epi8(loadPixel<Bpp>(previous + i), zero);
        const __m128i out = paethPixel(loadPixel<Bpp>(row + i), a, b, c);
        storePixel<Bpp>(row + i, out);
        a = _mm_unpacklo_epi8(out, zero);
        c = b;
    }
}

template <int Bpp>
void undoPaethPair(std::uint8_t* upper, std::uint8_t* lower, const std::uint8_t* previous,
                   std::size_t rowBytes) {
    const __m128i zero = _mm_setzero_si128();
    // The upper row's left and upper-left pixels; the lower row's, whose
    // above and upper-left are the upper row's pixels as just undone.
    __m128i upperA = zero;
    __m128i upperC = zero;
    __m128i lowerA = zero;
    __m128i lowerC = zero;
    const std::size_t pixels = rowBytes / Bpp;
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::size_t i = p * Bpp;
        if (p > 0) {
            const __m128i out = paethPixel(loadPixel<Bpp>(lower + i - Bpp), lowerA, upperA, lowerC);
            storePixel<Bpp>(lower + i - Bpp, out);
            lowerA = _mm_unpacklo_epi8(out, zero);
            lowerC = upperA;
        }
        const __m128i b = _mm_unpacklo_epi8(loadPixel<Bpp>(previous + i), zero);
        const __m128i out = paethPixel(loadPixel<Bpp>(upper + i), upperA, b, upperC);
        storePixel<Bpp>(upper + i, out);
        upperA = _mm_unpacklo_epi8(out, zero);
        upperC = b;
    }
    if (pixels > 0) {
        const std::size_t last = (pixels - 1) * Bpp;
        storePixel<Bpp>(lower + last, paethPixel(loadPixel<Bpp>(lower + last), lowerA, upperA, lowerC));
    }
}

#else

template <int Bpp> void undoAverage(std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes) {
    for (std::size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= Bpp ? row[i - Bpp] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + ((a + previous[i]) >> 1));
    }
}

template <int Bpp> void undoPaeth(std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes) {
    for (std::size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= Bpp ? row[i - Bpp] : 0;
        const int c = i >= Bpp ? previous[i - Bpp] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + paethPredictor(a, previous[i], c));
    }
}

template <int Bpp>
void undoPaethPair(std::uint8_t* upper, std::uint8_t* lower, const std::uint8_t* previous,
                   std::size_t rowBytes) {
    undoPaeth<Bpp>(upper, previous, rowBytes);
    undoPaeth<Bpp>(lower, upper, rowBytes);
}

#endif

// Average and Paeth on the first row, where the row above counts as zeros.
void undoFirstRow(std::uint8_t filter, std::uint8_t* row, std::size_t rowBytes, int bpp) {
    for (std::size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= static_cast<std::size_t>(bpp) ? row[i - static_cast<std::size_t>(bpp)] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + (filter == Average ? a >> 1 : paethPredictor(a, 0, 0)));
    }
}

} // namespace

bool undo(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes,
          int bytesPerPixel) {
    if (filter > Paeth || (bytesPerPixel != 3 && bytesPerPixel != 4)) {
        return false;
    }
    if (filter == None || (filter == Up && previous == nullptr)) {
        return true;
    }
    if (filter == Sub) {
        undoSub(row, rowBytes, bytesPerPixel);
    } else if (filter == Up) {
        undoUp(row, previous, rowBytes);
    } else if (previous == nullptr) {
        undoFirstRow(filter, row, rowBytes, bytesPerPixel);
    } else if (filter == Average) {
        bytesPerPixel == 3 ? undoAverage<3>(row, previous, rowBytes)
                           : undoAverage<4>(row, previous, rowBytes);
    } else {
        bytesPerPixel == 3 ? undoPaeth<3>(row, previous, rowBytes) : undoPaeth<4>(row, previous, rowBytes);
    }
    return true;
}

void undoPaethPair(std::uint8_t* upper, std::uint8_t* lower, const std::uint8_t* previous,
                   std::size_t rowBytes, int bytesPerPixel) {
    if (bytesPerPixel == 3) {
        undoPaethPair<3>(upper, lower, previous, rowBytes);
    } else {
        undoPaethPair<4>(upper, lower, previous, rowBytes);
    }
}

void applyUp(const std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes, std::uint8_t* out) {
    if (previous == nullptr) {
        std::memcpy(out, row, rowBytes);
        return;
    }
    for (std::size_t i = 0; i < rowBytes; ++i) {
        out[i] = static_cast<std::uint8_t>(row[i] - previous[i]);
    }
}

} // namespace PngFilters
