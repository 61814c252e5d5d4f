#pragma once

#include "canvas.h"

#include <cstdint>
#include <vector>

namespace quillmark::artwork {

// A picture of palette indices, row 0 at the top, with a transparency flag per
// pixel for the formats that keep a mask.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgba> palette;
    std::vector<std::uint8_t> indices;
    std::vector<bool> transparent;

    std::uint8_t at(int x, int y) const { return indices[offset(x, y)]; }
    bool isTransparent(int x, int y) const { return transparent[offset(x, y)]; }
    std::size_t offset(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

// The palette entry nearest to a colour, the channels weighted as the eye
// weighs them; ties go to the lower index.
std::uint8_t nearestIndex(const std::vector<Rgba>& palette, Rgba colour);

// Maps every pixel to its nearest palette entry. Pixels less than half opaque
// become transparent, with index 0.
IndexedImage mapToPalette(const Canvas& canvas, const std::vector<Rgba>& palette);

// A palette of at most `size` colours for the picture, by median cut: the
// colours are split again and again at the median of their widest channel, and
// each group gives its mean colour. The entries are sorted from dark to light.
std::vector<Rgba> medianCutPalette(const Canvas& canvas, std::size_t size);

} // namespace quillmark::artwork
