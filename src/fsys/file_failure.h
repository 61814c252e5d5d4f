#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <system_error>

namespace quillmark {

// Numbering follows the classic runtime error numbers, so 58 and 70 keep the
// meaning the window and the batch run act on.
enum class FileFailureCode : std::int32_t {
    None = 0,
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIoError = 57,
    FileAlreadyExists = 58,
    InputPastEndOfFile = 62,
    PermissionDenied = 70,
    DiskNotReady = 71,
    DifferentDrive = 74,
    PathFileAccessError = 75,
    PathNotFound = 76,
};

// The one failure value of the file layer. Thrown by every operation that
// touches the file system and caught once, where the action decides what to do.
class FileFailure : public std::exception {
public:
    FileFailure(FileFailureCode code, std::string description);

    FileFailureCode code() const noexcept { return code_; }
    std::int32_t number() const noexcept { return static_cast<std::int32_t>(code_); }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    FileFailureCode code_;
    std::string description_;
};

// The short text of a code ("File already exists").
std::string_view failureText(FileFailureCode code);

// Maps a system error onto a code.
FileFailureCode failureCodeFor(std::error_code error);

// A failure for `error` while working on `path`: the code's text, then the
// system's own message and the path, so the user sees what went wrong where.
FileFailure failureFromError(std::error_code error, std::string_view path);

// The same for an errno value.
inline FileFailure failureFromErrno(int err, std::string_view path) {
    return failureFromError(std::error_code(err, std::generic_category()), path);
}

} // namespace quillmark
