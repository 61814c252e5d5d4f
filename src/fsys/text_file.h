#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// What identifies one state of a file: which file it is, its size and its
// modification time. Equal stamps mean the contents can be taken as unchanged.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// The largest file readFileIfChanged reads. A real name list is some 50 KB;
// a file far larger is no name list, and reading it whole could exhaust memory.
inline constexpr std::uint64_t kTextFileSizeLimit = 64 * 1024 * 1024;

// Opens the file, reads its stamp and, only when it differs from `stamp`,
// reads the whole file; closes it in every case. Returns the contents when
// they were read (and updates `stamp`), nothing when the file is unchanged.
// A modification time less than two seconds old is not kept in `stamp`: an
// edit within the file system's clock granularity could share it.
// Throws FileFailure when the file cannot be opened or read, and (75) when it
// is not a regular file, is larger than kTextFileSizeLimit or grows past it
// while being read.
std::optional<std::string> readFileIfChanged(const std::string& path, FileStamp& stamp);

} // namespace quillmark
