#include "file_failure.h"

#include <cerrno>
#include <cstring>
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

FileFailureCode failureCodeForErrno(int err) {
    switch (err) {
    case EEXIST:
    case ENOTEMPTY:
        return FileFailureCode::FileAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileFailureCode::PermissionDenied;
    case ENOENT:
        return FileFailureCode::FileNotFound;
    case ENOTDIR:
        return FileFailureCode::PathNotFound;
    case ENAMETOOLONG:
    case EINVAL:
        return FileFailureCode::BadFileName;
    case EXDEV:
        return FileFailureCode::DifferentDrive;
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        return FileFailureCode::DiskNotReady;
    case EIO:
        return FileFailureCode::DeviceIoError;
    default:
        return FileFailureCode::PathFileAccessError;
    }
}

FileFailure failureFromErrno(int err, std::string_view path) {
    const FileFailureCode code = failureCodeForErrno(err);
    std::string description(failureText(code));
    description += " (";
    description += std::strerror(err);
    description += ")";
    if (!path.empty()) {
        description += ": ";
        description += path;
    }
    return FileFailure(code, std::move(description));
}

} // namespace quillmark
