#pragma once

#include "canvas.h"

namespace quillmark::artwork {

// Size of the window's background picture: two pixels wider and higher than
// the client area, whose last columns and rows are never seen.
inline constexpr int kBackgroundWidth = 571;
inline constexpr int kBackgroundHeight = 545;

// The window's background: a slate band behind the frames and lists at the
// top, ruled writing paper behind the labels below, and a faint quill in the
// lower right where no text stands. `scale` 2 draws the same picture at twice
// the resolution, for high-density screens.
Canvas drawBackground(int scale);

} // namespace quillmark::artwork
