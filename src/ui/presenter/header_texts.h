#pragma once

#include "ui/presenter/rom_identity.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

// What the window shows in place of a name it cannot propose.
inline constexpr std::string_view kRomUnknownMarker = "ROM unknown !";
inline constexpr std::string_view kNoInternalNameMarker =
    "- ROM can not be identified ! No internal name -";

// "N64 Rom, not byteswapped (Mr.Backup Z64 Format)" and the other verdict texts.
std::string_view formatText(RomFormat format);

// The file type the window shows: the verdict's text, and for an image read
// from an archive the archive's kind (" in a ZIP archive").
std::string fileTypeText(RomFormat format, std::optional<ArchiveKind> archive);

// "E = USA (NTSC)", "A = ?", or "Hex 65   = ?" for a byte that is no upper-case letter.
std::string countryDisplayText(std::uint8_t country);

// The suffix a batch run gives: German words for D, F, I and U
// (" (Euro - Deutschland)"), the single file's otherwise.
std::string batchCountrySuffix(std::uint8_t country);

} // namespace quillmark
