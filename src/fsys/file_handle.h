#pragma once

#include "system_calls.h"

namespace quillmark {

// Closes the descriptor however the operation ends.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
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
