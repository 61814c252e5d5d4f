#include "rename_file.h"

#include "file_failure.h"
#include "paths.h"
#include "system_calls.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace quillmark {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// link + unlink: never replaces, for file systems without a no-replace rename.
int linkThenUnlink(const SystemCalls& sys, const char* from, const char* to) {
    if (sys.link(from, to) != 0) {
        return -1;
    }
    if (sys.unlink(from) != 0) {
        const int err = errno;
        sys.unlink(to); // leave the file under its old name only
        errno = err;
        return -1;
    }
    return 0;
}

// Last resort for file systems that have neither (some network shares): the
// target is checked absent right before a plain rename.
int checkThenRename(const SystemCalls& sys, const char* from, const char* to) {
    struct stat st {};
    if (sys.lstat(to, &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    if (errno != ENOENT) {
        return -1;
    }
    return sys.renameReplacing(from, to);
}

int renameNoReplace(const SystemCalls& sys, const char* from, const char* to) {
    if (sys.renameNoReplace(from, to) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP) {
        return -1;
    }
    if (linkThenUnlink(sys, from, to) == 0) {
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS) {
        return -1;
    }
    return checkThenRename(sys, from, to);
}

// Neither the new name nor the old one could be given to the file: it is left
// under the temporary name, which the failure names so the user can find it.
// Code 75, since 58 and 70 are shown with fixed texts that would hide the name.
FileFailure strandedFailure(int forwardErr, int backErr, const std::string& source,
                            const std::string& target, const std::string& temporary) {
    std::string description(failureText(FileFailureCode::PathFileAccessError));
    description += ": renaming to " + target + " failed (" + std::strerror(forwardErr) +
                   "), and so did renaming back to " + source + " (" + std::strerror(backErr) +
                   "); the file is now " + temporary;
    return FileFailure(FileFailureCode::PathFileAccessError, std::move(description));
}

// Case-only rename on a case-insensitive file system: the target "exists" as
// the source itself, so go through a free temporary name in the same folder.
void renameCaseOnly(const SystemCalls& sys, const std::string& source, const std::string& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = source + ".quillmark-" + std::to_string(attempt);
        if (renameNoReplace(sys, source.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            throw failureFromErrno(errno, source);
        }
        if (renameNoReplace(sys, temporary.c_str(), target.c_str()) != 0) {
            const int err = errno;
            if (renameNoReplace(sys, temporary.c_str(), source.c_str()) != 0) {
                throw strandedFailure(err, errno, source, target, temporary);
            }
            throw failureFromErrno(err, target);
        }
        return;
    }
    throw failureFromErrno(EEXIST, target);
}

} // namespace

bool isAcceptableFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find(kPathSeparator) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

void renameWithoutReplacing(const std::string& sourcePath, std::string_view targetPrefix,
                            std::string_view newName) {
    std::string target(targetPrefix);
    target += newName;
    if (!isAcceptableFileName(newName)) {
        throw FileFailure(FileFailureCode::BadFileName,
                          std::string(failureText(FileFailureCode::BadFileName)) + ": " + target);
    }
    const SystemCalls& sys = systemCalls();
    struct stat sourceStat {};
    if (target == sourcePath) {
        // Nothing to move, but the file must be there.
        if (sys.lstat(sourcePath.c_str(), &sourceStat) != 0) {
            throw failureFromErrno(errno, sourcePath);
        }
        return;
    }
    if (renameNoReplace(sys, sourcePath.c_str(), target.c_str()) == 0) {
        return;
    }
    const int err = errno;
    // The source is looked at only when the target exists: a batch run renames
    // thousands of files, and the usual rename needs no extra call.
    if (err == EEXIST) {
        struct stat targetStat {};
        if (sys.lstat(sourcePath.c_str(), &sourceStat) == 0 &&
            sys.lstat(target.c_str(), &targetStat) == 0 && sameFile(sourceStat, targetStat) &&
            equalIgnoringAsciiCase(baseName(sourcePath), newName) &&
            baseName(sourcePath) != newName) {
            renameCaseOnly(sys, sourcePath, target);
            return;
        }
    }
    throw failureFromErrno(err, err == EEXIST ? std::string_view(target) : sourcePath);
}

} // namespace quillmark
