#include "quill.h"

#include <limits>

namespace quillmark::artwork {

namespace {

// Where the vane's edge is cut in towards the shaft: shaft position, side and
// how deep (a share of the vane's width).
struct Split {
    double along;
    bool left;
    double depth;
};
constexpr std::array<Split, 3> kSplits{{{0.56, true, 0.55}, {0.74, false, 0.5}, {0.83, true, 0.4}}};

} // namespace

Quill::Quill(const QuillShape& shape) : shape_(shape) {
    for (std::size_t i = 0; i <= kSegments; ++i) {
        points_[i] =
            quadraticPoint(shape.nib, shape.bend, shape.tip, static_cast<double>(i) / kSegments);
    }
    for (std::size_t i = 0; i < kSegments; ++i) {
        shaftLength_ += length(points_[i + 1] - points_[i]);
    }
}

Quill::Place Quill::locate(Vec2 p) const {
    // The shaft bends gently, so the nearest of a few long chords tells which
    // short segments around it can hold the nearest point.
    std::size_t coarse = 0;
    double coarseBest = std::numeric_limits<double>::max();
    for (std::size_t c = 0; c < kSegments / kStride; ++c) {
        const double d = segmentDistance(p, points_[c * kStride], points_[(c + 1) * kStride]);
        if (d < coarseBest) {
            coarse = c;
            coarseBest = d;
        }
    }
    const std::size_t from = coarse == 0 ? 0 : (coarse - 1) * kStride;
    const std::size_t to = std::min<std::size_t>(kSegments, (coarse + 2) * kStride);

    double best = std::numeric_limits<double>::max();
    Place place;
    for (std::size_t i = from; i < to; ++i) {
        const Vec2 a = points_[i];
        const Vec2 ab = points_[i + 1] - a;
        const double s = std::clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
        const Vec2 offset = p - (a + ab * s);
        const double distance = dot(offset, offset);
        if (distance < best) {
            best = distance;
            const double side = std::sqrt(distance);
            place.along = (static_cast<double>(i) + s) / kSegments;
            place.side = cross(ab, offset) < 0 ? side : -side;
        }
    }
    return place;
}

double Quill::vaneWidth(double along, bool left) const {
    if (along <= shape_.vaneStart) {
        return 0;
    }
    // sqrt(u (1 - u^2)) rises steeply, peaks at u = 1/sqrt 3 and closes to a
    // rounded tip; dividing by the peak makes the widest point the given width.
    const double u = (along - shape_.vaneStart) / (1 - shape_.vaneStart);
    const double peak = std::sqrt(2 / (3 * std::sqrt(3.0)));
    const double profile = std::sqrt(std::max(u * (1 - u * u), 0.0)) / peak;
    return profile * (left ? shape_.leftWidth : shape_.rightWidth);
}

double Quill::vaneDistance(const Place& place) const {
    const bool left = place.side > 0;
    const double width = vaneWidth(place.along, left);
    const double out = std::abs(place.side);
    double distance = out - width;
    for (const Split& split : kSplits) {
        if (split.left != left || width <= 0) {
            continue;
        }
        // A V-shaped notch that follows the lean of the barbs, opening towards the edge.
        const double depth = (out / width - (1 - split.depth)) / split.depth;
        if (depth <= 0) {
            continue;
        }
        const double along = (place.along - split.along) * shaftLength_ - out * shape_.barbSlant;
        const double across = std::abs(along) / std::sqrt(1 + shape_.barbSlant * shape_.barbSlant);
        const double gap = depth * width * 0.05;
        distance = std::max(distance, gap - across);
    }
    return distance;
}

double Quill::shaftDistance(const Place& place) const {
    // Tapers to a point at the nib and thins towards the tip.
    const double nibTaper = std::min(place.along / 0.12, 1.0);
    const double tipTaper = 1 - 0.75 * smoothstep(shape_.vaneStart, 1, place.along);
    return std::abs(place.side) - shape_.shaftWidth * nibTaper * tipTaper;
}

double Quill::barbDistance(const Place& place, double spacing) const {
    const double q =
        (place.along * shaftLength_ - std::abs(place.side) * shape_.barbSlant) / spacing;
    const double nearest = q - std::floor(q + 0.5);
    return std::abs(nearest) * spacing / std::sqrt(1 + shape_.barbSlant * shape_.barbSlant);
}

} // namespace quillmark::artwork
