// The archive reader fed with arbitrary file contents: the directory survey
// and, for what it lets through, libarchive's first block of the member.

#include "fsys/archive_header.h"
#include "fsys/file_failure.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using quillmark::fuzz::require;

bool startsWith(const std::uint8_t* data, std::size_t size, std::string_view prefix) {
    return size >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), data,
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmark;
    const std::string path = fuzz::scratchFolder() + "/archive";
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    ArchiveHeader read;
    try {
        read = readArchiveHeader(path);
    } catch (const FileFailure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        require(false, "a readable regular file is read without failure");
    }

    const bool recognised = startsWith(data, size, "PK\x03\x04") ||
                            startsWith(data, size, "PK\x05\x06") ||
                            startsWith(data, size, "7z\xBC\xAF\x27\x1C");
    require((read.refusal == ArchiveRefusal::NotAnArchive) == !recognised,
            "an archive is recognised by its first bytes exactly");
    require(read.kind == (recognised && data[0] == '7' ? ArchiveKind::SevenZip : ArchiveKind::Zip),
            "the kind follows the signature");
    require((read.refusal == ArchiveRefusal::None) == archiveRefusalText(read.refusal).empty(),
            "every refusal has a text, and only refusals");

    const HeaderBytes& header = read.header;
    if (read.refusal != ArchiveRefusal::None) {
        require(header.length == 0 && !header.regularFile &&
                    std::all_of(header.bytes.begin(), header.bytes.end(),
                                [](std::uint8_t b) { return b == 0; }),
                "a refused archive gives no bytes");
        return 0;
    }
    require(header.regularFile && header.length <= kHeaderSize, "a member gives at most 64 bytes");
    require(std::all_of(header.bytes.begin() + static_cast<std::ptrdiff_t>(header.length),
                        header.bytes.end(), [](std::uint8_t b) { return b == 0; }),
            "bytes past a short member's end are zeros");

    // The same file reads the same way again: nothing is left over from a read.
    const ArchiveHeader again = readArchiveHeader(path);
    require(again.refusal == read.refusal && again.header.bytes == header.bytes &&
                again.header.length == header.length && again.memberName == read.memberName,
            "reading an archive twice gives the same result");
    return 0;
}
