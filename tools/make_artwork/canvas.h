#pragma once

#include "geometry.h"

#include <cstdint>
#include <vector>

namespace quillmark::artwork {

// A colour with straight (not premultiplied) alpha, every channel 0..1.
struct Rgba {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
};

inline Rgba rgb(int hex, double alpha = 1) {
    return {((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0, alpha};
}

inline Rgba mix(Rgba a, Rgba b, double t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t), mix(a.a, b.a, t)};
}

// A channel 0..1 as a byte, rounded.
inline std::uint8_t channelByte(double v) {
    return static_cast<std::uint8_t>(std::floor(clamp01(v) * 255 + 0.5));
}

// Relative brightness of a gamma-encoded colour, as the eye weighs the channels.
inline double luminance(Rgba c) {
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}

// What a shape puts at one point: how far inside its edge the point lies
// (negative inside, in pixels) and its colour there.
struct Ink {
    double distance;
    Rgba colour;
};

// A true-colour picture, row 0 at the top.
class Canvas {
public:
    Canvas(int width, int height, Rgba fill);

    int width() const { return width_; }
    int height() const { return height_; }
    const Rgba& at(int x, int y) const { return pixels_[index(x, y)]; }
    Rgba& at(int x, int y) { return pixels_[index(x, y)]; }

    // Lays `colour` over the pixel where a shape covers `coverage` of it.
    void blend(int x, int y, Rgba colour, double coverage);

    // Paints a shape with anti-aliased edges. `shader` gives, for a pixel centre,
    // the signed distance in pixels to the shape's edge (negative inside) and the
    // colour there, as an Ink. Only pixels within [x0, x1) x [y0, y1) are visited.
    template <class Shader> void paint(int x0, int y0, int x1, int y1, Shader shader) {
        for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y) {
            for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x) {
                const Ink ink = shader(Vec2{x + 0.5, y + 0.5});
                const double coverage = clamp01(0.5 - ink.distance);
                if (coverage > 0) {
                    blend(x, y, ink.colour, coverage);
                }
            }
        }
    }

    template <class Shader> void paint(Shader shader) { paint(0, 0, width_, height_, shader); }

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

} // namespace quillmark::artwork
