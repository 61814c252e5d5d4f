#include "fsys/journal_file.h"

#include "fsys/file_failure.h"
#include "fsys/posix/file_handle.h"
#include "fsys/posix/system_calls.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>

namespace quillmark {

namespace {

int openFolder(const std::string& folder) {
    const int fd = retryInterrupted(
        [&] { return systemCalls().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0) {
        throw failureFromErrno(errno, folder);
    }
    return fd;
}

// Runs `sync` on the open folder and closes it.
void syncOpenFolder(const std::string& folder, int (*SystemCalls::*sync)(int)) {
    const SystemCalls& sys = systemCalls();
    const int fd = openFolder(folder);
    const int result = retryInterrupted([&] { return (sys.*sync)(fd); });
    const int err = errno;
    sys.close(fd);
    if (result != 0) {
        throw failureFromErrno(err, folder);
    }
}

bool lockFree(int fd) {
    return systemCalls().flock(fd, LOCK_EX | LOCK_NB) == 0;
}

} // namespace

AppendFile AppendFile::create(const std::string& path) {
    const SystemCalls& sys = systemCalls();
    const int fd = retryInterrupted([&] { return sys.createExclusive(path.c_str()); });
    if (fd < 0) {
        throw failureFromErrno(errno, path);
    }
    // Nobody else knows the name yet; the lock is for those who look later.
    if (!lockFree(fd)) {
        const int err = errno;
        sys.close(fd);
        throw failureFromErrno(err, path);
    }
    return AppendFile(fd, path, true);
}

std::optional<AppendFile> AppendFile::openUnlocked(const std::string& path) {
    const SystemCalls& sys = systemCalls();
    const int fd = retryInterrupted(
        [&] { return sys.open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC); });
    if (fd < 0) {
        throw failureFromErrno(errno, path);
    }
    if (!lockFree(fd)) {
        const int err = errno;
        sys.close(fd);
        if (err == EWOULDBLOCK) {
            return std::nullopt;
        }
        throw failureFromErrno(err, path);
    }
    return AppendFile(fd, path, false);
}

AppendFile::AppendFile(AppendFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), mapped_(other.mapped_),
      map_(std::exchange(other.map_, nullptr)), capacity_(other.capacity_), used_(other.used_) {}

AppendFile::~AppendFile() {
    if (fd_ >= 0) {
        try {
            endAppends();
        } catch (const FileFailure&) {
            // The zero bytes after the record stay; readers pass them over.
        }
        systemCalls().close(fd_);
    }
}

void AppendFile::grow(std::size_t needed) {
    const SystemCalls& sys = systemCalls();
    if (map_ != nullptr) {
        sys.unmap(map_, capacity_);
        map_ = nullptr;
    }
    capacity_ = std::max<std::size_t>({capacity_ * 2, needed, std::size_t{1} << 20});
    if (retryInterrupted([&] { return sys.ftruncate(fd_, static_cast<off_t>(capacity_)); }) != 0) {
        throw failureFromErrno(errno, path_);
    }
    map_ = static_cast<char*>(sys.mapShared(fd_, capacity_));
    if (map_ == nullptr) {
        // Where files cannot be mapped, each append is written.
        const int err = errno;
        mapped_ = false;
        if (retryInterrupted([&] { return sys.ftruncate(fd_, static_cast<off_t>(used_)); }) != 0) {
            throw failureFromErrno(err, path_);
        }
    }
}

void AppendFile::append(std::string_view bytes) {
    if (mapped_ && used_ + bytes.size() > capacity_) {
        grow(used_ + bytes.size());
    }
    if (!mapped_) {
        write(bytes);
        return;
    }
    std::memcpy(map_ + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void AppendFile::endAppends() {
    const SystemCalls& sys = systemCalls();
    if (!mapped_) {
        return;
    }
    mapped_ = false;
    if (map_ != nullptr) {
        sys.unmap(map_, capacity_);
        map_ = nullptr;
    }
    truncate(used_);
}

void AppendFile::truncate(std::uint64_t length) {
    if (retryInterrupted(
            [&] { return systemCalls().ftruncate(fd_, static_cast<off_t>(length)); }) != 0) {
        throw failureFromErrno(errno, path_);
    }
}

// At the end: a file opened to go on with is opened to append.
void AppendFile::write(std::string_view bytes) {
    const SystemCalls& sys = systemCalls();
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = retryInterrupted([&] {
            return sys.pwrite(fd_, bytes.data() + done, bytes.size() - done,
                              static_cast<off_t>(used_));
        });
        if (written < 0) {
            throw failureFromErrno(errno, path_);
        }
        done += static_cast<std::size_t>(written);
        used_ += static_cast<std::size_t>(written);
    }
}

void AppendFile::syncData() {
    if (retryInterrupted([&] { return systemCalls().fdatasync(fd_); }) != 0) {
        throw failureFromErrno(errno, path_);
    }
}

void syncFolder(const std::string& folder) {
    syncOpenFolder(folder, &SystemCalls::fsync);
}

void syncFileSystemOf(const std::string& folder) {
    syncOpenFolder(folder, &SystemCalls::syncFileSystem);
}

void makeFolders(const std::string& folder) {
    const SystemCalls& sys = systemCalls();
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && sys.mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            throw failureFromErrno(errno, part);
        }
        if (end == std::string::npos) {
            return;
        }
    }
}

std::string readWholeFile(const std::string& path) {
    struct stat st {};
    FileHandle file(path, st, LinkMode::NoFollow);
    if (!S_ISREG(st.st_mode)) {
        throw failureFromErrno(EINVAL, path);
    }
    return *readToEnd(file.fd(), static_cast<std::size_t>(st.st_size), path);
}

std::string readFileRange(const std::string& path, std::uint64_t offset, std::size_t length) {
    const SystemCalls& sys = systemCalls();
    struct stat st {};
    FileHandle file(path, st, LinkMode::NoFollow);
    std::string contents(length, '\0');
    std::size_t filled = 0;
    while (filled < length) {
        const ssize_t n = retryInterrupted([&] {
            return sys.pread(file.fd(), contents.data() + filled, length - filled,
                             static_cast<off_t>(offset + filled));
        });
        if (n < 0) {
            throw failureFromErrno(errno, path);
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    contents.resize(filled);
    return contents;
}

bool removeSecondLink(const std::string& kept, const std::string& extra) {
    const SystemCalls& sys = systemCalls();
    struct stat a {};
    struct stat b {};
    if (retryInterrupted([&] { return sys.lstat(kept.c_str(), &a); }) != 0 ||
        retryInterrupted([&] { return sys.lstat(extra.c_str(), &b); }) != 0 ||
        a.st_dev != b.st_dev || a.st_ino != b.st_ino || a.st_nlink < 2) {
        return false;
    }
    removeName(extra);
    return true;
}

bool isLockedByAnother(const std::string& path) {
    const SystemCalls& sys = systemCalls();
    const int fd =
        retryInterrupted([&] { return sys.open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC); });
    if (fd < 0) {
        throw failureFromErrno(errno, path);
    }
    const bool free = lockFree(fd);
    sys.close(fd); // drops the lock it took
    return !free;
}

void removeName(const std::string& path) {
    if (retryInterrupted([&] { return systemCalls().unlink(path.c_str()); }) != 0 &&
        errno != ENOENT) {
        throw failureFromErrno(errno, path);
    }
}

std::optional<FileStamp> stampAt(const std::string& path, LinkMode links) {
    const SystemCalls& sys = systemCalls();
    struct stat st {};
    if (retryInterrupted([&] {
            return links == LinkMode::Follow ? sys.stat(path.c_str(), &st)
                                             : sys.lstat(path.c_str(), &st);
        }) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        throw failureFromErrno(errno, path);
    }
    return stampOf(st);
}

} // namespace quillmark
