#pragma once

#include "geometry.h"

#include <array>

namespace quillmark::artwork {

// The outline of a quill feather: a slightly curved shaft from the nib to the tip
// and a vane on both sides of it, widest above the middle, with a couple of
// splits in its edge. Distances are in the units of the given points.
struct QuillShape {
    Vec2 nib;
    Vec2 bend; // control point of the shaft's quadratic curve
    Vec2 tip;
    double vaneStart = 0.3; // shaft position (0 nib, 1 tip) where the vane begins
    double leftWidth = 0;   // widest half-width on the side to the left of nib -> tip
    double rightWidth = 0;
    double shaftWidth = 0;  // half-width of the shaft where the vane begins
    double barbSlant = 1.6; // how far barbs lean towards the tip per unit out from the shaft
};

class Quill {
public:
    explicit Quill(const QuillShape& shape);

    // Where a point lies relative to the shaft: its position along the shaft
    // (0 at the nib, 1 at the tip) and its signed distance from it, positive
    // on the left side.
    struct Place {
        double along = 0;
        double side = 0;
    };
    Place locate(Vec2 p) const;

    // Signed distances of a located point, negative inside.
    double vaneDistance(const Place& place) const;
    double shaftDistance(const Place& place) const;

    // Distance from a located point to the nearest barb line of the vane, the
    // lines `spacing` apart along the shaft.
    double barbDistance(const Place& place, double spacing) const;

    // Half-width of the vane at a shaft position, on the left or right side.
    double vaneWidth(double along, bool left) const;

    const QuillShape& shape() const { return shape_; }

private:
    static constexpr std::size_t kSegments = 64; // straight pieces of the shaft
    static constexpr std::size_t kStride = 8;    // pieces per chord of the coarse search
    QuillShape shape_;
    std::array<Vec2, kSegments + 1> points_{};
    double shaftLength_ = 0;
};

} // namespace quillmark::artwork
