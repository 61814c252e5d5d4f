#include "emblem.h"

#include "quill.h"

#include <string>

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

struct RoundedBox {
    Vec2 centre;
    Vec2 halfSize;
    double radius;

    double distance(Vec2 p) const { return roundedBoxDistance(p, centre, halfSize, radius); }
};

// The cartridge: a wide top and a narrower lower part, and its label.
const RoundedBox kCartridgeTop{sixteenths(7, 6.5), sixteenths(6, 2.5), 0.06};
const RoundedBox kCartridgeLower{sixteenths(7, 11), sixteenths(5, 4), 0.04};
const RoundedBox kLabelBox{sixteenths(7, 9.5), sixteenths(3.5, 2.5), 0.015};
constexpr double kRidges[] = {0.36, 0.395, 0.43};
constexpr double kRidgeLeft = 0.16;
constexpr double kRidgeRight = 0.72;
constexpr double kBandBottom = 8 * kSixteenth;

double cartridgeDistance(Vec2 p) {
    return std::min(kCartridgeTop.distance(p), kCartridgeLower.distance(p));
}

double labelDistance(Vec2 p) {
    return kLabelBox.distance(p);
}

void drawCartridge(Canvas& canvas, const Square& f, double outline, bool detailed) {
    auto body = [&](Vec2 p) { return cartridgeDistance(f.unit(p)) * f.size; };
    canvas.paint([&](Vec2 p) { return Ink{body(p), kOutline}; });
    canvas.paint([&](Vec2 p) {
        return Ink{body(p) + outline, mix(kBodyLight, kBody, smoothstep(0.3, 0.6, f.unit(p).y))};
    });
    if (detailed) {
        // Grip ridges across the top.
        for (const double y : kRidges) {
            canvas.paint([&](Vec2 p) {
                const double d =
                    segmentDistance(f.unit(p), {kRidgeLeft, y}, {kRidgeRight, y}) * f.size;
                return Ink{d - outline * 0.45, kBodyDark};
            });
        }
    }
    auto label = [&](Vec2 p) { return labelDistance(f.unit(p)) * f.size; };
    canvas.paint([&](Vec2 p) { return Ink{label(p), kBodyDark}; });
    canvas.paint([&](Vec2 p) {
        return Ink{label(p) + outline * 0.7, f.unit(p).y < kBandBottom ? kBand : kLabel};
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

namespace {

// Numbers for SVG: two decimals at most, no trailing zeros, a point whatever the locale.
std::string number(double v) {
    std::string text = std::to_string(std::round(v * 100) / 100);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

std::string hex(Rgba c) {
    static const char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const double channel : {c.r, c.g, c.b}) {
        const std::uint8_t byte = channelByte(channel);
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

std::string point(Vec2 p) {
    return number(p.x) + "," + number(p.y);
}

std::string rect(const RoundedBox& box, double size, double inset, const std::string& fill) {
    const Vec2 corner = (box.centre - box.halfSize) * size + Vec2{inset, inset};
    const Vec2 extent = box.halfSize * (2 * size) - Vec2{2 * inset, 2 * inset};
    return "<rect x=\"" + number(corner.x) + "\" y=\"" + number(corner.y) + "\" width=\"" +
           number(extent.x) + "\" height=\"" + number(extent.y) + "\" rx=\"" +
           number(std::max(box.radius * size - inset, 0.0)) + "\" fill=\"" + fill + "\"/>\n";
}

// A gradient from `first` to `second` along from -> to, the change between the
// offsets `start` and `end` of that line (equal offsets make a hard edge).
std::string gradient(const char* id, Vec2 from, Vec2 to, Rgba first, Rgba second, double start,
                     double end) {
    return std::string("<linearGradient id=\"") + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"" +
           number(from.x) + "\" y1=\"" + number(from.y) + "\" x2=\"" + number(to.x) + "\" y2=\"" +
           number(to.y) + "\"><stop offset=\"" + number(start) + "\" stop-color=\"" + hex(first) +
           "\"/><stop offset=\"" + number(end) + "\" stop-color=\"" + hex(second) +
           "\"/></linearGradient>\n";
}

// The shaft's point and its unit normal to the left at curve parameter t.
std::pair<Vec2, Vec2> shaftFrame(const QuillShape& q, double t) {
    const Vec2 tangent = (q.bend - q.nib) * (2 * (1 - t)) + (q.tip - q.bend) * (2 * t);
    const double norm = length(tangent);
    return {quadraticPoint(q.nib, q.bend, q.tip, t), Vec2{tangent.y, -tangent.x} * (1 / norm)};
}

// A closed outline around the shaft from `from` to 1 and back, `width(t, left)` out on either side.
template <class Width> std::string outline(const QuillShape& q, double from, Width width) {
    constexpr int kSteps = 48;
    std::string path;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i <= kSteps; ++i) {
            const double t = from + (1 - from) * (side == 0 ? i : kSteps - i) / kSteps;
            const auto [at, normal] = shaftFrame(q, t);
            path.append(path.empty() ? "M" : " L").append(point(at + normal * width(t, side == 0)));
        }
    }
    return path + " Z";
}

} // namespace

std::string emblemSvg(int size) {
    const double s = size;
    const double line = s / 44.0; // the outline of the largest raster sizes
    const QuillShape q = emblemQuill(s, false);
    const Quill quill(q);
    auto vane = [&](bool left) {
        return outline(q, q.vaneStart, [&](double t, bool first) {
            return first == left ? quill.vaneWidth(t, left) * (left ? 1 : -1) : 0.0;
        });
    };
    const std::string shaft = outline(q, 0, [&](double t, bool first) {
        const double half = -quill.shaftDistance({t, 0});
        return first ? half : -half;
    });
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(s) +
                      "\" height=\"" + number(s) + "\" viewBox=\"0 0 " + number(s) + " " +
                      number(s) + "\">\n<defs>\n";
    svg += gradient("body", {0, 0}, {0, s}, kBodyLight, kBody, 0.3, 0.6);
    svg += gradient("label", {0, 0}, {0, s}, kBand, kLabel, kBandBottom, kBandBottom);
    // The nib is dark with ink.
    svg +=
        gradient("shaft", shaftFrame(q, 0.06).first, shaftFrame(q, 0.14).first, kInk, kShaft, 0, 1);
    svg += "</defs>\n";
    for (const RoundedBox* box : {&kCartridgeTop, &kCartridgeLower}) {
        svg += rect(*box, s, 0, hex(kOutline));
    }
    for (const RoundedBox* box : {&kCartridgeTop, &kCartridgeLower}) {
        svg += rect(*box, s, line, "url(#body)");
    }
    std::string ridges;
    for (const double y : kRidges) {
        ridges.append(ridges.empty() ? "M" : " M").append(point(Vec2{kRidgeLeft, y} * s));
        ridges.append(" H").append(number(kRidgeRight * s));
    }
    svg += "<path d=\"" + ridges + "\" stroke=\"" + hex(kBodyDark) + "\" stroke-width=\"" +
           number(0.9 * line) + "\" stroke-linecap=\"round\"/>\n";
    svg += rect(kLabelBox, s, 0, hex(kBodyDark));
    svg += rect(kLabelBox, s, 0.7 * line, "url(#label)");
    svg += "<path d=\"" + vane(true) + " " + vane(false) + " " + shaft + "\" fill=\"" +
           hex(kOutline) + "\" stroke=\"" + hex(kOutline) + "\" stroke-width=\"" +
           number(2 * line) + "\" stroke-linejoin=\"round\"/>\n";
    svg += "<path d=\"" + vane(true) + "\" fill=\"" + hex(kVane) + "\"/>\n";
    svg += "<path d=\"" + vane(false) + "\" fill=\"" + hex(kVaneShade) + "\"/>\n";
    svg += "<path d=\"" + shaft + "\" fill=\"url(#shaft)\"/>\n</svg>\n";
    return svg;
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
