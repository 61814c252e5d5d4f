#include "background.h"

#include "quill.h"

namespace quillmark::artwork {

namespace {

// The window's layout, in pixels. The frames and lists cover y < 252; the
// labels stand in rows 24 pixels apart from y = 264 down to the buttons.
constexpr double kPaperTop = 256;
constexpr double kFirstRule = 284;
constexpr double kRuleSpacing = 24;
constexpr double kLastRule = 500;
constexpr double kRuleLeft = 8;
constexpr double kRuleRight = 561;
constexpr double kMarginX = 152.5; // between the caption column and the value column

const Rgba kSlateTop = rgb(0xA3ADBA);
const Rgba kSlateLow = rgb(0x97A2B0);
const Rgba kPaper = rgb(0xD6D0C1);
const Rgba kPaperEdge = rgb(0xC7C0AF);
const Rgba kRule = rgb(0x7F97B8, 0.30);
const Rgba kMargin = rgb(0xC06A5E, 0.28);
const Rgba kSeparator = rgb(0x6E7A8A, 0.45);
const Rgba kFeather = rgb(0x7A6A50, 0.09);
const Rgba kFeatherShade = rgb(0x7A6A50, 0.14);
const Rgba kFeatherBarb = rgb(0x7A6A50, 0.06);
const Rgba kFeatherShaft = rgb(0x6A5030, 0.22);

Rgba groundAt(Vec2 p) {
    const Rgba slate = mix(kSlateTop, kSlateLow, smoothstep(0, kPaperTop, p.y));
    // Paper darkens a little towards the lower right, away from the labels.
    const double dx = (p.x - 120) / 520;
    const double dy = (p.y - 300) / 320;
    const Rgba paper = mix(kPaper, kPaperEdge, smoothstep(0.35, 1.0, dx * dx + dy * dy));
    return mix(slate, paper, smoothstep(kPaperTop - 10, kPaperTop, p.y));
}

// A straight line one pixel of the 1x picture wide, between points given in
// 1x pixels.
void drawLine(Canvas& canvas, double scale, Vec2 from, Vec2 to, Rgba colour) {
    from = from * scale;
    to = to * scale;
    const auto x0 = static_cast<int>(std::min(from.x, to.x)) - 2;
    const auto y0 = static_cast<int>(std::min(from.y, to.y)) - 2;
    const auto x1 = static_cast<int>(std::max(from.x, to.x)) + 3;
    const auto y1 = static_cast<int>(std::max(from.y, to.y)) + 3;
    canvas.paint(x0, y0, x1, y1, [&](Vec2 p) {
        return Ink{segmentDistance(p, from, to) - 0.5 * scale, colour};
    });
}

void drawRules(Canvas& canvas, double scale) {
    // A thin line where the slate meets the paper.
    drawLine(canvas, scale, {kRuleLeft, kPaperTop}, {kRuleRight, kPaperTop}, kSeparator);
    // The committed pictures are drawn with these sums: a counted loop would
    // round differently.
    for (double y = kFirstRule; y <= kLastRule; y += kRuleSpacing) { // NOLINT(*FloatLoopCounter)
        drawLine(canvas, scale, {kRuleLeft, y}, {kRuleRight, y}, kRule);
    }
    drawLine(canvas, scale, {kMarginX, kPaperTop + 4}, {kMarginX, kBackgroundHeight}, kMargin);
}

void drawFeather(Canvas& canvas, int scale) {
    const double s = scale;
    QuillShape shape;
    shape.nib = Vec2{398, 532} * s;
    shape.bend = Vec2{470, 430} * s;
    shape.tip = Vec2{600, 236} * s;
    shape.vaneStart = 0.3;
    shape.leftWidth = 46 * s;
    shape.rightWidth = 30 * s;
    shape.shaftWidth = 2.2 * s;
    const Quill quill(shape);
    const int x0 = 360 * scale;
    const int y0 = (static_cast<int>(kPaperTop) + 1) * scale; // the feather lies on the paper
    const int x1 = canvas.width();
    const int y1 = canvas.height();
    canvas.paint(x0, y0, x1, y1, [&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        return Ink{quill.vaneDistance(at), at.side > 0 ? kFeather : kFeatherShade};
    });
    canvas.paint(x0, y0, x1, y1, [&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        const double barbs =
            std::max(quill.vaneDistance(at), quill.barbDistance(at, 7 * s) - 0.4 * s);
        return Ink{barbs, kFeatherBarb};
    });
    canvas.paint(x0, y0, x1, y1, [&](Vec2 p) {
        return Ink{quill.shaftDistance(quill.locate(p)), kFeatherShaft};
    });
}

} // namespace

Canvas drawBackground(int scale) {
    Canvas canvas(kBackgroundWidth * scale, kBackgroundHeight * scale, {});
    const double s = scale;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            canvas.at(x, y) = groundAt(Vec2{x + 0.5, y + 0.5} * (1 / s));
        }
    }
    drawRules(canvas, s);
    drawFeather(canvas, scale);
    return canvas;
}

} // namespace quillmark::artwork
