#include "emblem.h"

#include "quill.h"

namespace quillmark::artwork {

namespace {

const Rgba kOutline = rgb(0x1F232B);
const Rgba kBodyDark = rgb(0x30363F);
const Rgba kBody = rgb(0x434C5A);
const Rgba kBodyLight = rgb(0x5F6A7A);
const Rgba kLabel = rgb(0xECE5D2);
const Rgba kBand = rgb(0xC4473A);
const Rgba kVane = rgb(0xFAF6EC);
const Rgba kVaneShade = rgb(0xD6CCB4);
const Rgba kShaft = rgb(0x8E6B40);
const Rgba kInk = rgb(0x1E3A78);

// The emblem is laid out on a unit square; these map it to pixels.
struct Square {
    double size;
    Vec2 unit(Vec2 pixel) const { return pixel * (1 / size); }
};

// The cartridge's edges lie on sixteenths of the square, whole pixels at every
// icon size, so that they stay sharp in the small ones.
constexpr double kSixteenth = 1.0 / 16;

Vec2 sixteenths(double x, double y) {
    return Vec2{x, y} * kSixteenth;
}

double cartridgeDistance(Vec2 p) {
    const double top = roundedBoxDistance(p, sixteenths(7, 6.5), sixteenths(6, 2.5), 0.06);
    const double lower = roundedBoxDistance(p, sixteenths(7, 11), sixteenths(5, 4), 0.04);
    return std::min(top, lower);
}

double labelDistance(Vec2 p) {
    return roundedBoxDistance(p, sixteenths(7, 9.5), sixteenths(3.5, 2.5), 0.015);
}

void drawCartridge(Canvas& canvas, const Square& f, double outline, bool detailed) {
    auto body = [&](Vec2 p) { return cartridgeDistance(f.unit(p)) * f.size; };
    canvas.paint([&](Vec2 p) { return Ink{body(p), kOutline}; });
    canvas.paint([&](Vec2 p) {
        return Ink{body(p) + outline, mix(kBodyLight, kBody, smoothstep(0.3, 0.6, f.unit(p).y))};
    });
    if (detailed) {
        // Grip ridges across the top.
        for (const double y : {0.36, 0.395, 0.43}) {
            canvas.paint([&](Vec2 p) {
                const double d = segmentDistance(f.unit(p), {0.16, y}, {0.72, y}) * f.size;
                return Ink{d - outline * 0.45, kBodyDark};
            });
        }
    }
    auto label = [&](Vec2 p) { return labelDistance(f.unit(p)) * f.size; };
    canvas.paint([&](Vec2 p) { return Ink{label(p), kBodyDark}; });
    canvas.paint([&](Vec2 p) {
        return Ink{label(p) + outline * 0.7, f.unit(p).y < 8 * kSixteenth ? kBand : kLabel};
    });
}

QuillShape emblemQuill(double size, bool small) {
    QuillShape q;
    q.nib = Vec2{0.30, 0.93} * size;
    q.bend = Vec2{0.50, 0.60} * size;
    q.tip = Vec2{0.93, 0.06} * size;
    q.vaneStart = 0.30;
    // A few pixels wide, the vane must be fuller to read as a feather.
    q.leftWidth = (small ? 0.17 : 0.15) * size;
    q.rightWidth = (small ? 0.12 : 0.095) * size;
    q.shaftWidth = std::max(0.016 * size, 0.6);
    return q;
}

void drawQuill(Canvas& canvas, const Square& f, double outline, bool small, bool detailed) {
    const Quill quill(emblemQuill(f.size, small));
    canvas.paint([&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        return Ink{std::min(quill.vaneDistance(at), quill.shaftDistance(at)) - outline, kOutline};
    });
    canvas.paint([&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        // Small, the shaded half would only muddy the shape.
        Rgba c = small || at.side > 0 ? kVane : kVaneShade;
        if (detailed) {
            const double barb = quill.barbDistance(at, 0.045 * f.size);
            c = mix(mix(c, kVaneShade, 0.55), c, clamp01(barb - 0.2));
        }
        return Ink{quill.vaneDistance(at), c};
    });
    canvas.paint([&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        // Small, only the bare end of the shaft shows; the nib is dark with ink.
        const bool hidden = small && at.along > quill.shape().vaneStart;
        return Ink{hidden ? 1.0 : quill.shaftDistance(at),
                   mix(kInk, kShaft, smoothstep(0.06, 0.14, at.along))};
    });
}

} // namespace

Canvas drawEmblem(int size) {
    Canvas canvas(size, size, {0, 0, 0, 0});
    const Square f{static_cast<double>(size)};
    const double outline = std::max(1.0, size / 44.0);
    const bool small = size < 24;
    const bool detailed = size >= 48;
    drawCartridge(canvas, f, outline, detailed);
    drawQuill(canvas, f, outline, small, detailed);
    return canvas;
}

const std::array<Rgba, 16>& emblemPalette() {
    static const std::array<Rgba, 16> palette{
        rgb(0x000000), kOutline,      kBodyDark,     kBody,         kBodyLight, rgb(0x8A919C),
        rgb(0xB4B8BE), kLabel,        kVane,         kVaneShade,    kShaft,     kBand,
        kInk,          rgb(0x7A3A36), rgb(0xB39A74), rgb(0xFFFFFF),
    };
    return palette;
}

} // namespace quillmark::artwork
