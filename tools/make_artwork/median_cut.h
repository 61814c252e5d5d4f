#pragma once

#include "canvas.h"

#include <vector>

namespace quillmark::artwork {

// A palette of at most `size` colours for the picture, by median cut: the
// colours are split again and again at the median of their widest channel, and
// each group gives its mean colour. The entries are sorted from dark to light.
std::vector<Rgba> medianCutPalette(const Canvas& canvas, std::size_t size);

} // namespace quillmark::artwork
