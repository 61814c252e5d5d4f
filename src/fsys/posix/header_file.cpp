#include "fsys/header_file.h"

#include "fsys/file_failure.h"
#include "fsys/posix/file_handle.h"
#include "fsys/posix/system_calls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace quillmark {

namespace {

// An archive up to this size is asked for whole: reading its start and its
// end apart would cost the disk two requests for what one serves.
constexpr std::uint64_t kWholeArchiveFetch = 64u << 10;

} // namespace

OpenedHeaderFile::OpenedHeaderFile(const std::string& path, LinkMode links) {
    struct stat status {};
    FileHandle file(path, status, links);
    stamp_ = stampOf(status);
    regularFile_ = S_ISREG(status.st_mode);
    fd_ = file.release();
}

OpenedHeaderFile::~OpenedHeaderFile() {
    if (fd_ >= 0) {
        systemCalls().close(fd_);
    }
}

bool OpenedHeaderFile::prefetch(bool archive) const {
    if (!regularFile_) {
        return true;
    }
    const SystemCalls& sys = systemCalls();
    if (!archive) {
        return sys.prefetch(fd_, 0, static_cast<off_t>(kHeaderSize)) == 1;
    }
    // A small archive is fetched whole, in one request rather than two.
    const auto size = static_cast<std::uint64_t>(stamp_.size);
    const std::uint64_t head = size <= kWholeArchiveFetch ? size : kArchiveEndBytes;
    const std::uint64_t tail = size - std::min(size, kArchiveEndBytes);
    const bool headCached = sys.prefetch(fd_, 0, static_cast<off_t>(head)) == 1;
    return tail < head ? headCached
                       : sys.prefetch(fd_, static_cast<off_t>(tail),
                                      static_cast<off_t>(kArchiveEndBytes)) == 1 &&
                             headCached;
}

HeaderBytes readHeaderBytes(const std::string& path, LinkMode links) {
    return OpenedHeaderFile(path, links).read(path);
}

HeaderBytes OpenedHeaderFile::read(const std::string& path) const {
    const SystemCalls& sys = systemCalls();
    HeaderBytes header;
    header.regularFile = regularFile_;
    header.stamp = stamp_;
    if (!header.regularFile) {
        return header;
    }
    // A regular file delivers everything up to its end in one read; the loop
    // only guards against a short read on network file systems.
    while (header.length < kHeaderSize) {
        const ssize_t n = retryInterrupted([&] {
            return sys.read(fd_, header.bytes.data() + header.length, kHeaderSize - header.length);
        });
        if (n < 0) {
            throw failureFromErrno(errno, path);
        }
        if (n == 0) {
            break;
        }
        header.length += static_cast<std::size_t>(n);
    }
    return header;
}

} // namespace quillmark
