#pragma once

#include "fsys/system_calls.h"

namespace quillmark::test {

// Makes one system call of the file layer fail with a chosen errno for the
// lifetime of the object, after letting the first `callsLetThrough` calls
// succeed or fail as they would, for `failures` calls (-1: all later ones);
// then puts the table back as it was.
class SystemCallFault {
public:
    enum class Call {
        Open,
        Fstat,
        Read,
        Lstat,
        Stat,
        RenameNoReplace,
        Link,
        Unlink,
        RenameReplacing,
        CreateExclusive,
        Opendir,
        Readdir,
    };

    SystemCallFault(Call call, int err, int callsLetThrough = 0, int failures = -1);
    ~SystemCallFault();
    SystemCallFault(const SystemCallFault&) = delete;
    SystemCallFault& operator=(const SystemCallFault&) = delete;

private:
    SystemCalls saved_;
};

// A case-insensitive, case-preserving file system over real folders, as on
// Windows and macOS, for what a rename asks of it (lstat, the no-replace
// rename): a name reaches the entry of its folder that equals it ignoring
// ASCII letter case. Lives as long as the object.
class CaseInsensitiveFileSystem {
public:
    CaseInsensitiveFileSystem();
    ~CaseInsensitiveFileSystem();
    CaseInsensitiveFileSystem(const CaseInsensitiveFileSystem&) = delete;
    CaseInsensitiveFileSystem& operator=(const CaseInsensitiveFileSystem&) = delete;

private:
    SystemCalls saved_;
};

} // namespace quillmark::test
