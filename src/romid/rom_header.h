#pragma once

#include "fsys/header_file.h"
#include "romid/rom_identity.h"

#include <string>
#include <string_view>

namespace quillmark {

// Reads the header of the file at `path` and fills `identity`: a ROM image sets
// headerBytes, magicText, byteSwapped, crc1Text, crc1, crc2, internalName and the
// manufacturer and card-ID texts (the country byte lands in
// headerBytes[kCountryByteIndex] for the country table); any other file
// changes only magicText and headerBytes 0–7. A special file (FIFO, device)
// is read as no bytes at all.
// Throws FileFailure when the file cannot be opened or read; nothing is set then.
RomFormat readRomHeader(const std::string& path, RomIdentity& identity);

// The same interpretation over header bytes already read.
RomFormat interpretHeader(const HeaderBytes& header, RomIdentity& identity);

// "N64 Rom, not byteswapped (Mr.Backup Z64 Format)" and the other verdict texts.
std::string_view formatText(RomFormat format);

} // namespace quillmark
