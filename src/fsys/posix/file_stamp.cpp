#include "fsys/file_stamp.h"

#include "fsys/file_failure.h"
#include "fsys/journal_file.h"
#include "fsys/posix/file_handle.h"
#include "fsys/posix/system_calls.h"

#include <cerrno>
#include <optional>

namespace quillmark {

FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
#if defined(__APPLE__)
    stamp.modifiedSeconds = st.st_mtimespec.tv_sec;
    stamp.modifiedNanoseconds = st.st_mtimespec.tv_nsec;
#else
    stamp.modifiedSeconds = st.st_mtim.tv_sec;
    stamp.modifiedNanoseconds = st.st_mtim.tv_nsec;
#endif
    return stamp;
}

bool isStillFile(const std::string& path, const FileStamp& stamp, LinkMode links) {
    const std::optional<FileStamp> found = stampAt(path, links);
    if (!found) {
        throw failureFromErrno(ENOENT, path);
    }
    return *found == stamp;
}

FileFailure fileChangedFailure(const std::string& path) {
    return FileFailure(FileFailureCode::PathFileAccessError,
                       std::string(failureText(FileFailureCode::PathFileAccessError)) +
                           " (the file changed after its header was read, so it was not "
                           "renamed): " +
                           path);
}

} // namespace quillmark
