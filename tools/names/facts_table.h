#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// One row of the cartridge facts file (tab-separated, UTF-8, one header line).
struct FactsRow {
    std::size_t line = 0; // 1-based line in the file, for messages
    std::array<std::uint8_t, 4> crc1{};
    std::array<std::uint8_t, 4> crc2{};
    std::uint8_t country = 0;
    std::string internalName; // the 20 header bytes, raw
    std::string title;        // UTF-8, as the facts file writes it
    std::string goodName;     // UTF-8: the title and its tags; empty without the column
    bool reliable = false;
};

// The byte of a USA cartridge's country field.
inline constexpr std::uint8_t kUsaCountry = 0x45;

// Parses the facts text. Columns are found by their header names (good_name may
// be missing: a facts file without it gives no variant tags); a row with a
// missing column or a malformed hex field throws std::runtime_error naming the
// line, so a damaged facts file never yields a silently shorter list.
std::vector<FactsRow> parseFactsTable(std::string_view text);

// Reads and parses the file at `path`; throws std::runtime_error if it cannot be read.
std::vector<FactsRow> readFactsTable(const std::string& path);

} // namespace quillmark
