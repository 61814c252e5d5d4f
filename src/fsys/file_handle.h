#pragma once

#include "file_failure.h"
#include "system_calls.h"

#include <cerrno>
#include <fcntl.h>
#include <string>

namespace quillmark {

// Closes the descriptor however the operation ends.
class FileHandle {
public:
    // Opens `path` for reading without blocking (a FIFO or device would
    // otherwise hang the open) and reads its status into `st`. Throws
    // FileFailure; nothing stays open then.
    FileHandle(const std::string& path, struct stat& st)
        : fd_(retryInterrupted([&] {
              return systemCalls().open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
          })) {
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

private:
    int fd_;
};

} // namespace quillmark
