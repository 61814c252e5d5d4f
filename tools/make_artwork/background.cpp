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

// A straight line one pixel wide.
void drawLine(Canvas& canvas, Vec2 from, Vec2 to, Rgba colour) {
    const auto x0 = static_cast<int>(std::min(from.x, to.x)) - 2;
    const auto y0 = static_cast<int>(std::min(from.y, to.y)) - 2;
    const auto x1 = static_cast<int>(std::max(from.x, to.x)) + 3;
    const auto y1 = static_cast<int>(std::max(from.y, to.y)) + 3;
    canvas.paint(x0, y0, x1, y1, [&](Vec2 p) {
        return Ink{segmentDistance(p, from, to) - 0.5, colour};
    });
}

void drawRules(Canvas& canvas) {
    // A thin line where the slate meets the paper.
    drawLine(canvas, {kRuleLeft, kPaperTop}, {kRuleRight, kPaperTop}, kSeparator);
    for (double y = kFirstRule; y <= kLastRule; y += kRuleSpacing) {
        drawLine(canvas, {kRuleLeft, y}, {kRuleRight, y}, kRule);
    }
    drawLine(canvas, {kMarginX, kPaperTop + 4}, {kMarginX, kBackgroundHeight}, kMargin);
}

void drawFeather(Canvas& canvas) {
    QuillShape shape;
    shape.nib = {398, 532};
    shape.bend = {470, 430};
    shape.tip = {600, 236};
    shape.vaneStart = 0.3;
    shape.leftWidth = 46;
    shape.rightWidth = 30;
    shape.shaftWidth = 2.2;
    const Quill quill(shape);
    const int x0 = 360;
    const int y0 = static_cast<int>(kPaperTop) + 1; // the feather lies on the paper
    canvas.paint(x0, y0, kBackgroundWidth, kBackgroundHeight, [&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        return Ink{quill.vaneDistance(at), at.side > 0 ? kFeather : kFeatherShade};
    });
    canvas.paint(x0, y0, kBackgroundWidth, kBackgroundHeight, [&](Vec2 p) {
        const Quill::Place at = quill.locate(p);
        const double barbs = std::max(quill.vaneDistance(at), quill.barbDistance(at, 7) - 0.4);
        return Ink{barbs, kFeatherBarb};
    });
    canvas.paint(x0, y0, kBackgroundWidth, kBackgroundHeight, [&](Vec2 p) {
        return Ink{quill.shaftDistance(quill.locate(p)), kFeatherShaft};
    });
}

} // namespace

Canvas drawBackground() {
    Canvas canvas(kBackgroundWidth, kBackgroundHeight, {});
    for (int y = 0; y < kBackgroundHeight; ++y) {
        for (int x = 0; x < kBackgroundWidth; ++x) {
            canvas.at(x, y) = groundAt({x + 0.5, y + 0.5});
        }
    }
    drawRules(canvas);
    drawFeather(canvas);
    return canvas;
}

} // namespace quillmark::artwork
