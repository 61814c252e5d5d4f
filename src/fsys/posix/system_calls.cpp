#include "fsys/posix/system_calls.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

namespace quillmark {

namespace {

int openCall(const char* path, int flags) {
    return ::open(path, flags);
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

int createExclusiveCall(const char* path) {
    return ::open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

int prefetchCall(int fd, off_t offset, off_t length) {
#if defined(__linux__)
    // A read that must not wait tells whether the bytes are cached; where
    // they are not, it has mostly started the fetch already.
    char first = 0;
    iovec probe{&first, 1};
    if (::preadv2(fd, &probe, 1, offset, RWF_NOWAIT) >= 0) {
        return 1;
    }
    if (const int err = ::posix_fadvise(fd, offset, length, POSIX_FADV_WILLNEED); err != 0) {
        errno = err;
        return -1;
    }
    return 0;
#else
    (void)fd;
    (void)offset;
    (void)length;
    return 0;
#endif
}

int syncFileSystemCall(int fd) {
#if defined(__linux__)
    return ::syncfs(fd);
#else
    (void)fd;
    ::sync();
    return 0;
#endif
}

int fdatasyncCall(int fd) {
#if defined(__APPLE__)
    return ::fsync(fd);
#else
    return ::fdatasync(fd);
#endif
}

void* mapSharedCall(int fd, size_t length) {
    void* address = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return address == MAP_FAILED ? nullptr : address;
}

const SystemCalls realCalls{
    .open = openCall,
    .fstat = ::fstat,
    .read = ::read,
    .pread = ::pread,
    .write = ::write,
    .pwrite = ::pwrite,
    .close = ::close,
    .lstat = ::lstat,
    .stat = ::stat,
    .renameNoReplace = renameNoReplaceCall,
    .link = ::link,
    .unlink = ::unlink,
    .renameReplacing = ::rename,
    .createExclusive = createExclusiveCall,
    .futimens = ::futimens,
    .flock = ::flock,
    .opendir = ::opendir,
    .readdir = ::readdir,
    .closedir = ::closedir,
    .readlink = ::readlink,
    .prefetch = prefetchCall,
    .fdatasync = fdatasyncCall,
    .fsync = ::fsync,
    .syncFileSystem = syncFileSystemCall,
    .mkdir = ::mkdir,
    .ftruncate = ::ftruncate,
    .mapShared = mapSharedCall,
    .unmap = ::munmap,
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
