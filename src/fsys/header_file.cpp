#include "header_file.h"

#include "file_failure.h"
#include "file_handle.h"
#include "system_calls.h"

#include <cerrno>
#include <fcntl.h>

namespace quillmark {

OpenedHeaderFile::OpenedHeaderFile(const std::string& path, LinkMode links)
    : file_(path, status_, links) {}

bool OpenedHeaderFile::prefetch() const {
    return !S_ISREG(status_.st_mode) ||
           systemCalls().prefetch(file_.fd(), static_cast<off_t>(kHeaderSize)) == 1;
}

HeaderBytes readHeaderBytes(const std::string& path, LinkMode links) {
    return OpenedHeaderFile(path, links).read(path);
}

HeaderBytes OpenedHeaderFile::read(const std::string& path) const {
    const SystemCalls& sys = systemCalls();
    HeaderBytes header;
    header.regularFile = S_ISREG(status_.st_mode);
    header.stamp = stampOf(status_);
    if (!header.regularFile) {
        return header;
    }
    // A regular file delivers everything up to its end in one read; the loop
    // only guards against a short read on network file systems.
    while (header.length < kHeaderSize) {
        const ssize_t n = retryInterrupted([&] {
            return sys.read(file_.fd(), header.bytes.data() + header.length,
                            kHeaderSize - header.length);
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
