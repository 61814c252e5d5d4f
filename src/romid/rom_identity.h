#pragma once

#include "fsys/file_stamp.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillmark {

// The verdict of the header reader.
enum class RomFormat { Z64, V64, NotRom };

// How a proposed name is written: spaces kept, or spaces as underscores.
enum class NamingStyle { Normal, UltraHle };

// Where the header reader puts the country byte in RomIdentity::headerBytes,
// for the country table.
inline constexpr std::size_t kCountryByteIndex = 31;

// The results of identifying one file. The window owns one for the whole run;
// every identification overwrites the fields it reaches and leaves the others
// as the previous one left them.
//
// Header texts (internalName, manufacturerText, cardIdText, countryText, the
// list key) are bytes as the cartridge and the name list hold them, shown
// through byteChar. fullTitle and newFileName are in the file-name encoding
// (UTF-8), since they become file names.
struct RomIdentity {
    std::string romFilePath;
    FileStamp fileStamp; // of the file whose header was read last: a rename acts on it only
    std::string pathSeparator;
    std::array<std::uint8_t, 32> headerBytes{};
    std::string magicText;
    bool byteSwapped = false;
    std::string crc1Text;
    std::uint32_t crc1 = 0; // as the cartridge holds them, whatever the byte order
    std::uint32_t crc2 = 0;
    std::string internalName;
    std::string manufacturerName;
    std::string manufacturerText;
    std::string cardIdText;
    std::string countryText;
    std::string countrySuffix;
    std::string listKey;
    std::string fullTitle;
    std::string newFileName;
    bool romUnknown = false;

    bool operator==(const RomIdentity&) const = default;
};

} // namespace quillmark
