#include "fsys/name_fold.h"

#include "fsys/unicode_fold_tables.h"

#include <algorithm>
#include <cstdint>

namespace quillmark {

namespace {

using namespace fold_tables;

// A byte that does not decode travels as a code point past Unicode's range,
// and leaves the key as 0xFF (never part of UTF-8) followed by the byte itself.
constexpr char32_t kUndecodedByte = 0x110000;

// Hangul syllables decompose by formula into a leading consonant, a vowel and
// maybe a trailing consonant.
constexpr char32_t kSyllableFirst = 0xAC00;
constexpr char32_t kSyllableLast = 0xD7A3;
constexpr char32_t kLeadFirst = 0x1100;
constexpr char32_t kVowelFirst = 0x1161;
constexpr char32_t kTrailBefore = 0x11A7;
constexpr char32_t kVowels = 21;
constexpr char32_t kTrails = 28;

// Nothing below these decomposes, has a combining class, or folds unless ASCII.
constexpr char32_t kFirstDecomposing = 0xC0;
constexpr char32_t kFirstCombining = 0x300;

// HFS+ compares names as if these were not there: zero-width joiners and
// non-joiners, direction marks and embeddings, the old shaping controls and the
// byte order mark.
bool ignoredByHfsPlus(char32_t c) {
    return (c >= 0x200C && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x206A && c <= 0x206F) || c == 0xFEFF;
}

// The length of the well-formed UTF-8 sequence at `at`, its code point in
// `out`; 0 for bytes that are none (overlong, surrogate, past U+10FFFF, cut short).
std::size_t decodeOne(std::string_view text, std::size_t at, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    char32_t c = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (byte(i) & 0x3Fu);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    out = c;
    return length;
}

void appendDecomposed(char32_t c, std::u32string& out) {
    if (c < kFirstDecomposing) {
        out += c;
    } else if (c >= kSyllableFirst && c <= kSyllableLast) {
        const char32_t index = c - kSyllableFirst;
        out += static_cast<char32_t>(kLeadFirst + index / (kVowels * kTrails));
        out += static_cast<char32_t>(kVowelFirst + index % (kVowels * kTrails) / kTrails);
        if (index % kTrails != 0) {
            out += static_cast<char32_t>(kTrailBefore + index % kTrails);
        }
    } else {
        const auto pair = std::lower_bound(
            canonicalPairs.begin(), canonicalPairs.end(), c,
            [](const CanonicalPair& entry, char32_t code) { return entry.code < code; });
        if (pair == canonicalPairs.end() || pair->code != c) {
            out += c;
            return;
        }
        appendDecomposed(pair->first, out);
        if (pair->second != 0) {
            out += pair->second;
        }
    }
}

std::uint8_t combiningClass(char32_t c) {
    if (c < kFirstCombining) {
        return 0;
    }
    const auto after = std::upper_bound(
        combiningRanges.begin(), combiningRanges.end(), c,
        [](char32_t code, const CombiningRange& range) { return code < range.first; });
    if (after == combiningRanges.begin() || std::prev(after)->last < c) {
        return 0;
    }
    return std::prev(after)->value;
}

// Sorts each run of combining marks by class, keeping the order of equal classes.
void orderMarks(std::u32string& text) {
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char32_t mark = text[i];
        const std::uint8_t rank = combiningClass(mark);
        std::size_t at = i;
        while (rank != 0 && at > 0 && combiningClass(text[at - 1]) > rank) {
            text[at] = text[at - 1];
            --at;
        }
        text[at] = mark;
    }
}

void appendFolded(char32_t c, std::u32string& out) {
    if (c < 0x80) {
        out += c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
        return;
    }
    const auto after =
        std::upper_bound(foldRuns.begin(), foldRuns.end(), c,
                         [](char32_t code, const FoldRun& run) { return code < run.first; });
    if (after != foldRuns.begin()) {
        const FoldRun& run = *std::prev(after);
        if (c <= run.last && (c - run.first) % run.stride == 0) {
            out += static_cast<char32_t>(static_cast<std::int32_t>(c) + run.delta);
            return;
        }
    }
    const auto expansion = std::lower_bound(
        foldExpansions.begin(), foldExpansions.end(), c,
        [](const FoldExpansion& entry, char32_t code) { return entry.code < code; });
    if (expansion == foldExpansions.end() || expansion->code != c) {
        out += c;
        return;
    }
    for (const char32_t to : expansion->to) {
        if (to != 0) {
            out += to;
        }
    }
}

void appendUtf8(char32_t c, std::string& out) {
    const auto put = [&](char32_t bits) { out += static_cast<char>(bits); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else if (c < kUndecodedByte) {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xFF);
        put(c - kUndecodedByte);
    }
}

} // namespace

std::string foldedName(std::string_view name) {
    if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::string key(name);
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + ('a' - 'A'));
            }
        }
        return key;
    }
    // Decomposed and ordered first, since folding can change a mark's class
    // (the iota subscript folds to a letter).
    std::u32string decomposed;
    decomposed.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        char32_t c = 0;
        std::size_t length = decodeOne(name, at, c);
        if (length == 0) {
            c = kUndecodedByte + static_cast<unsigned char>(name[at]);
            length = 1;
        }
        at += length;
        if (!ignoredByHfsPlus(c)) {
            appendDecomposed(c, decomposed);
        }
    }
    orderMarks(decomposed);
    std::u32string folded;
    folded.reserve(decomposed.size());
    for (const char32_t c : decomposed) {
        appendFolded(c, folded);
    }
    orderMarks(folded);
    std::string key;
    key.reserve(name.size());
    for (const char32_t c : folded) {
        appendUtf8(c, key);
    }
    return key;
}

} // namespace quillmark
