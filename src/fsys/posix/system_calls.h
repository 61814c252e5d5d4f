#pragma once

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace quillmark {

// Every system call of the file layer goes through this table, so tests can
// make any of them fail with a chosen errno (CI runs as root, where permission
// failures cannot be provoked for real). Each entry behaves like the call it
// is named after: -1 (or nullptr) with errno set on failure, EINTR included;
// callers retry with retryInterrupted, so an injected EINTR is seen as well.
// The table is only read while files are worked on, from any thread; tests
// change it before they start work.
struct SystemCalls {
    int (*open)(const char* path, int flags);
    int (*fstat)(int fd, struct stat* st);
    ssize_t (*read)(int fd, void* buffer, size_t size);
    ssize_t (*pread)(int fd, void* buffer, size_t size, off_t offset);
    ssize_t (*write)(int fd, const void* buffer, size_t size);
    ssize_t (*pwrite)(int fd, const void* buffer, size_t size, off_t offset);
    int (*close)(int fd);
    int (*lstat)(const char* path, struct stat* st);
    int (*stat)(const char* path, struct stat* st);
    // Renames without ever replacing an existing target; EEXIST if it exists,
    // EINVAL or ENOSYS where the file system cannot do it.
    int (*renameNoReplace)(const char* from, const char* to);
    int (*link)(const char* from, const char* to);
    int (*unlink)(const char* path);
    // A plain rename(2): only used onto a name this program holds.
    int (*renameReplacing)(const char* from, const char* to);
    // Creates an empty file under a name nobody holds (O_CREAT | O_EXCL) and
    // returns its descriptor, open for reading and writing; EEXIST if the
    // name is taken.
    int (*createExclusive)(const char* path);
    // Sets the access and modification times of an open file.
    int (*futimens)(int fd, const struct timespec times[2]);
    // flock(2): an advisory lock that goes with the process holding it.
    int (*flock)(int fd, int operation);
    DIR* (*opendir)(const char* path);
    struct dirent* (*readdir)(DIR* dir);
    int (*closedir)(DIR* dir);
    ssize_t (*readlink)(const char* path, char* buffer, size_t size);
    // Asks the system to start reading `length` bytes at `offset` of an open
    // file into its cache, without waiting: 1 when they were cached already,
    // 0 when asked for (or where there is no such call).
    int (*prefetch)(int fd, off_t offset, off_t length);
    // Durability of the run's record: its data, its folder entry, the
    // folders whose entries the run changed, and where many folders were
    // changed, their whole file system at once.
    int (*fdatasync)(int fd);
    int (*fsync)(int fd);
    int (*syncFileSystem)(int fd);
    int (*mkdir)(const char* path, mode_t mode);
    int (*ftruncate)(int fd, off_t length);
    // A shared, writable mapping of the first `length` bytes of an open
    // file (nullptr with errno on failure), and its end.
    void* (*mapShared)(int fd, size_t length);
    int (*unmap)(void* address, size_t length);
};

// The table in use; tests swap entries and restore them.
SystemCalls& systemCalls();

// The table of the real calls.
const SystemCalls& realSystemCalls();

// Calls `call` again for as long as it fails with EINTR: a signal that
// arrived before the call did anything.
template <typename Call> auto retryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

} // namespace quillmark
