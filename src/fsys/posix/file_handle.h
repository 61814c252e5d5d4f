#pragma once

#include "fsys/file_failure.h"
#include "fsys/file_stamp.h"
#include "fsys/posix/system_calls.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace quillmark {

// The stamp of a file whose status was read.
FileStamp stampOf(const struct stat& st);

// Reads `fd` to its end, with room first for the `expected` bytes its status
// gave (it may have grown since). Nothing once more than `limit` bytes came.
// Throws FileFailure naming `path`.
std::optional<std::string> readToEnd(int fd, std::size_t expected, const std::string& path,
                                     std::uint64_t limit = UINT64_MAX);

// Closes the descriptor however the operation ends.
class FileHandle {
public:
    // Opens `path` for reading without blocking (a FIFO or device would
    // otherwise hang the open) and reads its status into `st`. Throws
    // FileFailure; nothing stays open then. With NoFollow a symbolic link is
    // not opened: no descriptor, and `st` says it is a link.
    FileHandle(const std::string& path, struct stat& st, LinkMode links = LinkMode::Follow)
        : fd_(retryInterrupted([&] {
              return systemCalls().open(path.c_str(),
                                        O_RDONLY | O_NONBLOCK | O_CLOEXEC |
                                            (links == LinkMode::NoFollow ? O_NOFOLLOW : 0));
          })) {
        if (fd_ < 0 && errno == ELOOP && links == LinkMode::NoFollow) {
            st.st_mode = S_IFLNK;
            return;
        }
        if (fd_ < 0) {
            throw failureFromErrno(errno, path);
        }
        if (systemCalls().fstat(fd_, &st) != 0) {
            const int err = errno;
            systemCalls().close(fd_);
            throw failureFromErrno(err, path);
        }
    }
    ~FileHandle() {
        if (fd_ >= 0) {
            systemCalls().close(fd_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int fd() const { return fd_; }
    // Hands the descriptor over: the caller closes it.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

} // namespace quillmark
