#pragma once

#include <cstddef>
#include <cstdint>

// The five row filters of PNG, for pictures of 8 bits a sample: undoing them
// on the rows of a decompressed stream, and filter Up for writing. Each row
// is predicted from the row above (already undone) and the pixel to its left;
// bytesPerPixel is 3 (RGB) or 4 (RGBA). May run on any thread.
namespace PngFilters {

enum Filter : std::uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

// Undoes filter on row (rowBytes bytes, in place); previous is the row above
// as already undone, or null for the first row. False for a filter type PNG
// does not have.
bool undo(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes,
          int bytesPerPixel);

// Undoes Paeth on two consecutive rows at once (upper, then lower below it;
// previous is the row above upper, never null): the second row trails the
// first by a pixel, so that the two rows' chains of pixels overlap in the
// processor. Most rows of photographs that libpng wrote are Paeth rows.
void undoPaethPair(std::uint8_t* upper, std::uint8_t* lower, const std::uint8_t* previous,
                   std::size_t rowBytes, int bytesPerPixel);

// Writes row filtered with Up against previous (null for the first row) to out.
void applyUp(const std::uint8_t* row, const std::uint8_t* previous, std::size_t rowBytes, std::uint8_t* out);

} // namespace PngFilters
