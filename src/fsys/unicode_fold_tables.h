#pragma once

// The Unicode character data that name folding needs, generated from the
// Unicode Character Database by tools/unicode/make_fold_tables.cpp into
// unicode_fold_tables.cpp. Every table is sorted by code point.

#include <cstdint>
#include <span>

namespace quillmark::fold_tables {

// A canonical decomposition into one or two code points (`second` is 0 for
// one). Only `first` may decompose further. Hangul syllables are not listed:
// they decompose by formula.
struct CanonicalPair {
    char32_t code;
    char32_t first;
    char32_t second;
};

// Code points `first` to `last` share the canonical combining class `value`
// (all others have class 0).
struct CombiningRange {
    char32_t first;
    char32_t last;
    std::uint8_t value;
};

// Every `stride`-th code point from `first` to `last` folds to the single code
// point `delta` away. Runs never overlap, and no code point the run skips folds.
struct FoldRun {
    char32_t first;
    char32_t last;
    std::uint8_t stride;
    std::int32_t delta;
};

// A code point that folds to two or three (unused places are 0).
struct FoldExpansion {
    char32_t code;
    char32_t to[3];
};

// Folding applies only to code points that do not decompose, and its results
// are already decomposed: a name is decomposed, ordered, folded and ordered again.
extern const std::span<const CanonicalPair> canonicalPairs;
extern const std::span<const CombiningRange> combiningRanges;
extern const std::span<const FoldRun> foldRuns;
extern const std::span<const FoldExpansion> foldExpansions;

} // namespace quillmark::fold_tables
