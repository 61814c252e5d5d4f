#include "system_calls.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quillmark {

namespace {

int openCall(const char* path, int flags) {
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int renameNoReplaceCall(const char* from, const char* to) {
#if defined(__linux__)
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#elif defined(__APPLE__)
    return ::renamex_np(from, to, RENAME_EXCL);
#else
    errno = ENOSYS;
    return -1;
#endif
}

ssize_t readCall(int fd, void* buffer, size_t size) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

const SystemCalls realCalls{
    openCall, ::fstat,  readCall, ::close,   ::lstat,   ::stat,     renameNoReplaceCall,
    ::link,   ::unlink, ::rename, ::opendir, ::readdir, ::closedir, ::readlink,
};

SystemCalls currentCalls = realCalls;

} // namespace

SystemCalls& systemCalls() {
    return currentCalls;
}

const SystemCalls& realSystemCalls() {
    return realCalls;
}

} // namespace quillmark
