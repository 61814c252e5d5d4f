#pragma once

#include "core/identify.h"
#include "fsys/file_stamp.h"
#include "fsys/header_bytes.h"
#include "romid/file_name.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// The verdict the window shows.
enum class RomFormat { Z64, V64, N64, NotRom };

// Where the record keeps the country byte in RomIdentity::headerBytes.
inline constexpr std::size_t kCountryByteIndex = 31;

// The window's one record of the last identification. The window owns one
// for the whole run; every identification overwrites the fields it reaches
// and leaves the others as the previous one left them.
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
    bool byteSwapped = false; // not in the cartridge's own order: V64 or N64
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
    // The extension a name composed again gets: ".v64", or an archive's own.
    std::string nameExtension = std::string(kRomExtension);
    bool romUnknown = false;

    bool operator==(const RomIdentity&) const = default;
};

// Records the header read: a ROM image sets headerBytes, magicText,
// byteSwapped, crc1Text, crc1, crc2, internalName and the manufacturer and
// card-ID texts (the country byte lands in headerBytes[kCountryByteIndex]);
// any other file changes only magicText and headerBytes 0–7. Both set
// fileStamp. Returns the verdict.
RomFormat recordHeader(const HeaderBytes& header, const std::optional<RomHeader>& rom,
                       RomIdentity& identity);

// Records a title lookup as a scan through the list leaves the record: the
// record it ended on gives listKey and fullTitle, a demo-table title
// fullTitle alone.
void recordTitle(const TitleLookup& title, RomIdentity& identity);

// The proposed name as the window shows it: the name, or the marker in its
// place, in the style (markers too).
std::string shownName(const ProposedName& name, NamingStyle style);

// Records shownName as newFileName; romUnknown is set where no rename may be
// offered.
void recordName(const ProposedName& name, NamingStyle style, RomIdentity& identity);

// How far the window's identification of one file got.
struct Identification {
    RomFormat format = RomFormat::NotRom;
    std::optional<ArchiveKind> archive; // an N64 ROM image read from an archive of this kind
    bool headerRead = false;            // the header was read and classified
    bool titleFound = false;            // the demo table or the name list gave a title
    bool renameOffered = false;         // a name was composed: the rename may be offered
    std::optional<FileFailure> failure; // what ended it early, if anything
};

// The single-file identification into `identity`: the path joined from folder
// and file name, the header, the country with the English suffixes, the
// title, the proposed name or its marker and the naming style, in this order.
// An archive (by its name) gives its member's header; a refused one is no
// ROM image.
// A file failure ends it where it happened and is returned; the fields reached
// so far stay set.
Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style, NameList& list);

} // namespace quillmark
