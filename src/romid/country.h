#pragma once

#include <cstdint>
#include <string>

namespace quillmark {

// Which column of suffixes: the single-file view's English country words, or
// the batch run's German ones (they differ for D, F, I and U only).
enum class SuffixSet { SingleFile, Batch };

// "E = USA (NTSC)", "A = ?", or "Hex 65   = ?" for a byte that is no upper-case letter.
std::string countryDisplayText(std::uint8_t country);

// " (USA)", " (Euro - Germany)" / " (Euro - Deutschland)", or "" for a country
// without a suffix.
std::string countrySuffix(std::uint8_t country, SuffixSet set);

} // namespace quillmark
