#pragma once

#include "fsys/posix/system_calls.h"

namespace quillmark::test {

// Puts the table of system calls back as it was when the object was made.
struct SavedSystemCalls {
    SavedSystemCalls() = default;
    SavedSystemCalls(const SavedSystemCalls&) = delete; // would put it back twice
    ~SavedSystemCalls() { systemCalls() = saved_; }
    SystemCalls saved_ = systemCalls();
};

// Makes one system call of the file layer fail with a chosen errno for the
// lifetime of the object, after letting the first `callsLetThrough` calls
// succeed or fail as they would, for `failures` calls (-1: all later ones).
class SystemCallFault : SavedSystemCalls {
public:
    struct Call {
        static const Call Open, Fstat, Read, Pread, Lstat, RenameNoReplace, Link, Unlink,
            RenameReplacing, CreateExclusive, Futimens, Opendir, Readdir;
        void (*install)(const SystemCalls& before, int err, int callsLetThrough, int failures);
    };

    SystemCallFault(Call call, int err, int callsLetThrough = 0, int failures = -1);
};

// A case-insensitive, case-preserving file system (as on Windows and macOS) for
// lstat and the no-replace rename while the object lives: a name reaches the
// entry of its folder that equals it but for ASCII letter case. With
// `inodePerSpelling`, lstat gives each spelling an inode of its own, as exFAT
// through FUSE does.
struct CaseInsensitiveFileSystem : SavedSystemCalls {
    explicit CaseInsensitiveFileSystem(bool inodePerSpelling = false);
    static inline bool inodePerSpelling_ = false;
};

} // namespace quillmark::test
