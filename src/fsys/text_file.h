#pragma once

#include "file_stamp.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

// The largest file readFileIfChanged reads. A real name list is some 50 KB;
// a file far larger is no name list, and reading it whole could exhaust memory.
inline constexpr std::uint64_t kTextFileSizeLimit = std::uint64_t{64} << 20;

// What a reader keeps of the version of a file it read last.
struct ReadVersion {
    FileStamp stamp;      // the stamp it was read under
    bool settled = false; // the same stamp later means the same contents
};

// Opens the file, reads its stamp and, unless it is the settled stamp of
// `version`, reads the whole file; closes it in every case. Returns the
// contents when they were read (and updates `version`), nothing when the file
// is unchanged. `held` is what the caller holds of the version read last.
// A modification time less than two seconds old does not settle: an edit
// within the file system's clock granularity could share it. One ahead of the
// clock settles once the same bytes were read under it twice: no edit made
// here can give the file that time again.
// Throws FileFailure when the file cannot be opened or read, and (75) when it
// is not a regular file, is larger than kTextFileSizeLimit or grows past it
// while being read.
std::optional<std::string> readFileIfChanged(const std::string& path, ReadVersion& version,
                                             std::string_view held);

} // namespace quillmark
