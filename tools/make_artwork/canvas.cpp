#include "canvas.h"

namespace quillmark::artwork {

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::blend(int x, int y, Rgba colour, double coverage) {
    Rgba& under = at(x, y);
    const double over = colour.a * coverage;
    const double alpha = over + under.a * (1 - over);
    if (alpha <= 0) {
        under = {0, 0, 0, 0};
        return;
    }
    const double keep = under.a * (1 - over);
    under.r = (colour.r * over + under.r * keep) / alpha;
    under.g = (colour.g * over + under.g * keep) / alpha;
    under.b = (colour.b * over + under.b * keep) / alpha;
    under.a = alpha;
}

} // namespace quillmark::artwork
