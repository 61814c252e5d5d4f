#include "header_file.h"

#include "file_failure.h"
#include "file_handle.h"
#include "system_calls.h"

#include <cerrno>
#include <fcntl.h>

namespace quillmark {

HeaderBytes readHeaderBytes(const std::string& path) {
    const SystemCalls& sys = systemCalls();
    struct stat st {};
    FileHandle file(path, st);
    HeaderBytes header;
    header.regularFile = S_ISREG(st.st_mode);
    header.device = static_cast<std::uint64_t>(st.st_dev);
    header.inode = static_cast<std::uint64_t>(st.st_ino);
    if (!header.regularFile) {
        return header;
    }
    // A regular file delivers everything up to its end in one read; the loop
    // only guards against a short read on network file systems.
    while (header.length < kHeaderSize) {
        const ssize_t n = retryInterrupted([&] {
            return sys.read(file.fd(), header.bytes.data() + header.length,
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
