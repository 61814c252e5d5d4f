#pragma once

#include <cstdint>
#include <string>

namespace quillmark {

// The file-name suffix of a cartridge's country byte: " (USA)",
// " (Euro - Germany)", or "" for a country without one.
std::string countrySuffix(std::uint8_t country);

} // namespace quillmark
