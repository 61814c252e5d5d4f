#pragma once

#include "file_failure.h"

#include <cstdint>
#include <string>

namespace quillmark {

// What identifies one state of a file: which file it is, its size and its
// modification time. Equal stamps mean the same file with, as far as the
// file system tells, the same contents.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// Whether a path's last part is followed when it is a symbolic link.
enum class LinkMode { Follow, NoFollow };

// Whether `path` still leads to the file, and the state of it, that `stamp`
// was taken of: the link itself with NoFollow, what it leads to with Follow.
// Throws FileFailure when the path leads nowhere.
bool isStillFile(const std::string& path, const FileStamp& stamp, LinkMode links);

// The failure of a rename refused because the file at `path` is no longer the
// one whose header was read: its name would go to another file.
FileFailure fileChangedFailure(const std::string& path);

} // namespace quillmark
