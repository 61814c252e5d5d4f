#include "file_failure.h"

#include <cerrno>
#include <utility>

namespace quillmark {

FileFailure::FileFailure(FileFailureCode code, std::string description)
    : code_(code), description_(std::move(description)) {}

std::string_view failureText(FileFailureCode code) {
    switch (code) {
    case FileFailureCode::None:
        return "";
    case FileFailureCode::BadFileName:
        return "Bad file name or number";
    case FileFailureCode::FileNotFound:
        return "File not found";
    case FileFailureCode::DeviceIoError:
        return "Device I/O error";
    case FileFailureCode::FileAlreadyExists:
        return "File already exists";
    case FileFailureCode::InputPastEndOfFile:
        return "Input past end of file";
    case FileFailureCode::PermissionDenied:
        return "Permission denied";
    case FileFailureCode::DiskNotReady:
        return "Disk not ready";
    case FileFailureCode::DifferentDrive:
        return "Can't rename with different drive";
    case FileFailureCode::PathFileAccessError:
        return "Path/File access error";
    case FileFailureCode::PathNotFound:
        return "Path not found";
    }
    return "Path/File access error";
}

FileFailureCode failureCodeFor(std::error_code error) {
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() != std::generic_category()) {
        return FileFailureCode::PathFileAccessError;
    }
    switch (static_cast<std::errc>(condition.value())) {
    case std::errc::file_exists:
    case std::errc::directory_not_empty:
        return FileFailureCode::FileAlreadyExists;
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
    case std::errc::read_only_file_system:
        return FileFailureCode::PermissionDenied;
    case std::errc::no_such_file_or_directory:
        return FileFailureCode::FileNotFound;
    case std::errc::not_a_directory:
        return FileFailureCode::PathNotFound;
    case std::errc::filename_too_long:
    case std::errc::invalid_argument:
        return FileFailureCode::BadFileName;
    case std::errc::cross_device_link:
        return FileFailureCode::DifferentDrive;
    case std::errc::no_such_device_or_address:
    case std::errc::no_such_device:
        return FileFailureCode::DiskNotReady;
    case std::errc::io_error:
        return FileFailureCode::DeviceIoError;
    default:
        break;
    }
#ifdef ENOMEDIUM
    if (condition.value() == ENOMEDIUM) {
        return FileFailureCode::DiskNotReady;
    }
#endif
    return FileFailureCode::PathFileAccessError;
}

FileFailure failureFromError(std::error_code error, std::string_view path) {
    const FileFailureCode code = failureCodeFor(error);
    std::string description(failureText(code));
    description += " (";
    description += error.message();
    description += ")";
    if (!path.empty()) {
        description += ": ";
        description += path;
    }
    return FileFailure(code, std::move(description));
}

} // namespace quillmark
