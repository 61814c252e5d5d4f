#pragma once

#include "canvas.h"

#include <array>
#include <string>

namespace quillmark::artwork {

// The program's emblem, a quill laid across a game cartridge, drawn for a
// square of `size` pixels on a transparent ground. Small sizes drop the fine
// detail (barbs, grip ridges, the ink stroke) that would only blur there.
Canvas drawEmblem(int size);

// The same emblem as an SVG drawing of `size` units square, for any scale: the
// shapes and colours of the large raster sizes, without the barbs' texture and
// the notches of the vane.
std::string emblemSvg(int size);

// The 16 colours of the emblem for a 16-colour icon: its flat colours and the
// blends its edges need. Entry 0 is black, which transparent pixels carry.
const std::array<Rgba, 16>& emblemPalette();

} // namespace quillmark::artwork
