#include "median_cut.h"

#include <algorithm>
#include <array>

namespace quillmark::artwork {

namespace {

// Channel weights for colour distances: green counts most, as the eye sees it,
// but blue not so little that hues drift.
constexpr std::array<double, 3> kWeights{2, 4, 3};

using Key = std::uint32_t; // 0xRRGGBB

Key keyOf(Rgba c) {
    return static_cast<Key>(channelByte(c.r)) << 16 | static_cast<Key>(channelByte(c.g)) << 8 |
           channelByte(c.b);
}

unsigned channelOf(Key k, int channel) {
    return (k >> (16 - 8 * channel)) & 0xFF;
}

Rgba colourOf(Key k) {
    return {channelOf(k, 0) / 255.0, channelOf(k, 1) / 255.0, channelOf(k, 2) / 255.0, 1};
}

struct Entry {
    Key key;
    std::size_t count;
};

// A run of entries [begin, end) that will give one palette colour.
struct Box {
    std::size_t begin;
    std::size_t end;
};

// The channel with the widest weighted range in the box, and that range.
std::pair<int, double> widestChannel(const std::vector<Entry>& entries, Box box) {
    int widest = 0;
    double widestRange = -1;
    for (int channel = 0; channel < 3; ++channel) {
        unsigned lo = 255;
        unsigned hi = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            lo = std::min(lo, channelOf(entries[i].key, channel));
            hi = std::max(hi, channelOf(entries[i].key, channel));
        }
        const double range = (hi - lo) * kWeights[static_cast<std::size_t>(channel)];
        if (range > widestRange) {
            widest = channel;
            widestRange = range;
        }
    }
    return {widest, widestRange};
}

std::size_t population(const std::vector<Entry>& entries, Box box) {
    std::size_t n = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        n += entries[i].count;
    }
    return n;
}

Rgba meanColour(const std::vector<Entry>& entries, Box box) {
    double sum[3] = {0, 0, 0};
    const double n = static_cast<double>(population(entries, box));
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int channel = 0; channel < 3; ++channel) {
            sum[channel] +=
                channelOf(entries[i].key, channel) * static_cast<double>(entries[i].count);
        }
    }
    // Rounded to bytes, so the palette holds exactly the colours a file stores.
    return colourOf(keyOf({sum[0] / n / 255, sum[1] / n / 255, sum[2] / n / 255, 1}));
}

} // namespace

std::vector<Rgba> medianCutPalette(const Canvas& canvas, std::size_t size) {
    std::vector<Key> keys;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.at(x, y).a >= 0.5) {
                keys.push_back(keyOf(canvas.at(x, y)));
            }
        }
    }
    std::sort(keys.begin(), keys.end());
    std::vector<Entry> entries;
    for (const Key k : keys) {
        if (entries.empty() || entries.back().key != k) {
            entries.push_back({k, 0});
        }
        ++entries.back().count;
    }
    if (entries.empty()) {
        return {};
    }

    std::vector<Box> boxes{{0, entries.size()}};
    while (boxes.size() < size) {
        // Split the box whose colours spread widest, weighted by how many pixels use them.
        std::size_t pick = boxes.size();
        double pickScore = 0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2) {
                continue;
            }
            const double score = widestChannel(entries, boxes[b]).second *
                                 static_cast<double>(population(entries, boxes[b]));
            if (score > pickScore) {
                pick = b;
                pickScore = score;
            }
        }
        if (pick == boxes.size()) {
            break; // every box holds one colour
        }
        const Box box = boxes[pick];
        const int channel = widestChannel(entries, box).first;
        const auto first = entries.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = entries.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::sort(first, last, [channel](const Entry& a, const Entry& b) {
            const unsigned ca = channelOf(a.key, channel);
            const unsigned cb = channelOf(b.key, channel);
            return ca != cb ? ca < cb : a.key < b.key;
        });
        const std::size_t half = population(entries, box) / 2;
        std::size_t split = box.begin + 1;
        for (std::size_t seen = entries[box.begin].count; split < box.end - 1 && seen < half;
             ++split) {
            seen += entries[split].count;
        }
        boxes[pick] = {box.begin, split};
        boxes.push_back({split, box.end});
    }

    std::vector<Rgba> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes) {
        palette.push_back(meanColour(entries, box));
    }
    std::sort(palette.begin(), palette.end(), [](const Rgba& a, const Rgba& b) {
        const double la = luminance(a);
        const double lb = luminance(b);
        return la != lb ? la < lb : keyOf(a) < keyOf(b);
    });
    return palette;
}

} // namespace quillmark::artwork
