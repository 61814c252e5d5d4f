#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::archives {

// One entry of an archive to write: a regular file unless `folder`.
struct ArchiveEntry {
    std::string name;
    std::string bytes;
    bool folder = false;
};

// How the archive is written, as libarchive's format and its options
// ("zip:compression=store", "7zip:compression=lzma2", "zip:encryption=zipcrypt").
struct ArchiveStyle {
    std::string format = "zip"; // "zip" or "7zip"
    std::string options;
    std::string passphrase; // for an encrypted zip
};

// The bytes of an archive holding `entries`, written by libarchive in memory.
// Throws std::runtime_error with libarchive's message when it cannot.
std::string writeArchive(const std::vector<ArchiveEntry>& entries, const ArchiveStyle& style);

// A 7z archive (with the plain directory libarchive writes) with its
// directory changed by `edit` and the checksums made right again.
std::string editSevenZipDirectory(const std::string& archive,
                                  const std::function<void(std::string& directory)>& edit);

// The 7z archive with its directory compressed by LZMA, as 7-Zip writes it,
// declaring `dictionary` bytes for it (the encoder itself uses at most 64 KiB).
std::string compressSevenZipDirectory(const std::string& archive,
                                      std::uint32_t dictionary = 1u << 16);

// Writes `bytes` to a new file at `path`. Throws std::runtime_error.
void writeFileBytes(const std::string& path, std::string_view bytes);

} // namespace quillmark::archives
