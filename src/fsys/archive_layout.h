#pragma once

#include "archive_header.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillmark {

// Random access to an archive's bytes.
class ArchiveSource {
public:
    virtual ~ArchiveSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads up to `count` bytes at `offset`; fewer only at the end of the
    // file. Throws FileFailure when the file cannot be read.
    virtual std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) = 0;
};

// What an archive's own directory says about its member.
struct ArchiveLayout {
    ArchiveRefusal refusal = ArchiveRefusal::NotAnArchive;
    ArchiveKind kind = ArchiveKind::Zip;
    std::string memberName;
    std::uint64_t memberSize = 0;
    // Where a zip's member starts: its local header, checked against the
    // directory. A reader may start there and meet the same member.
    std::uint64_t localHeaderOffset = 0;
};

// Reads the archive's directory without decompressing any member: one
// member, a regular file, not encrypted, a method that can be decompressed,
// and no dictionary or window above kArchiveMemoryLimit. Only with refusal
// None may the decompressor be given the archive: it then meets exactly the
// structure checked here, so its allocations stay within those bounds.
ArchiveLayout surveyArchive(ArchiveSource& source);

} // namespace quillmark
