#pragma once

#include "header_bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

enum class ArchiveKind { Zip, SevenZip };

// Why an archive gives no header. An archive is read only when it holds
// exactly one member and that member is a regular file: a folder entry
// counts as a member too, so "game/" with "game/rom.z64" is two members.
enum class ArchiveRefusal {
    None,
    NotAnArchive,      // neither a zip nor a 7z archive by its first bytes
    NoMember,          // an empty archive
    SeveralMembers,    // more than one entry, folders included
    Encrypted,         // the member or the archive's own directory is encrypted
    NotRegularFile,    // the one member is a folder, a link or another special entry
    UnsupportedMethod, // compressed with a method this program cannot decompress
    BeyondLimits,      // declares a dictionary, window or directory larger than it may
    Damaged,           // the archive's structure or data does not hold together
};

// What an archive gives: the start of its one member, or why not.
struct ArchiveHeader {
    ArchiveRefusal refusal = ArchiveRefusal::NotAnArchive;
    ArchiveKind kind = ArchiveKind::Zip; // meaningful unless NotAnArchive
    // The member's name as the archive stores it: UTF-8 where the archive
    // says so (always for 7z), otherwise its bytes as they stand.
    std::string memberName;
    std::uint64_t memberSize = 0;
    // The member's first bytes (zeros past a short member's end), with the
    // archive file's own identity (device, inode). Empty unless refusal is None.
    HeaderBytes header;
};

// Reads the first 64 bytes of the one member of a zip or 7z archive. The file
// is recognised by its first bytes, whatever its name. Nothing is written;
// only the start of the member is decompressed, and an archive that declares
// a dictionary or window above kArchiveMemoryLimit is refused before any
// decompression. A special file (FIFO, device) is opened without blocking and
// never read: NotAnArchive; so is a symbolic link with NoFollow. Throws
// FileFailure when the file cannot be opened or read.
ArchiveHeader readArchiveHeader(const std::string& path, LinkMode links = LinkMode::Follow);

// An archive's first and last this many bytes are read in one call each:
// its member's start and its directory lie there in all but odd archives.
inline constexpr std::uint64_t kArchiveEndBytes = 4u << 10;

// The most memory one archive's decompression may ask for.
inline constexpr std::uint64_t kArchiveMemoryLimit = 64u << 20;

// The kind of archive a file's name says it is: ".zip" or ".7z" at its end,
// in any case. Only such a file is read as an archive.
std::optional<ArchiveKind> archiveKindByName(std::string_view fileName);

// The extension of an archive of `kind`, lower-case: ".zip" or ".7z".
std::string_view archiveExtension(ArchiveKind kind);

// A short English description ("the archive holds several members").
std::string_view archiveRefusalText(ArchiveRefusal refusal);

} // namespace quillmark
