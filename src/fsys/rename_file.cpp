#include "rename_file.h"

#include "file_failure.h"
#include "paths.h"
#include "system_calls.h"

#include <cerrno>
#include <cstdio>
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

std::size_t baseNameStart(std::string_view path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    return slash == std::string_view::npos ? 0 : slash + 1;
}

bool isControlCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

bool isUnsupported(int err) {
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

int lstatOf(const SystemCalls& sys, const char* path, struct stat& st) {
    return retryInterrupted([&] { return sys.lstat(path, &st); });
}

int unlinkOf(const SystemCalls& sys, const char* path) {
    return retryInterrupted([&] { return sys.unlink(path); });
}

// Last resort for file systems with neither a no-replace rename nor hard
// links (some network shares): the target name is claimed with an exclusive
// create, so a rival rename to it fails with EEXIST, and the file is then
// renamed over its own claim. A failed rename removes the claim, if it is
// still the claim.
int claimThenRename(const SystemCalls& sys, const char* from, const char* to) {
    const int fd = retryInterrupted([&] { return sys.createExclusive(to); });
    if (fd < 0) {
        return -1;
    }
    struct stat claim {};
    const bool claimKnown = sys.fstat(fd, &claim) == 0;
    sys.close(fd);
    if (retryInterrupted([&] { return sys.renameReplacing(from, to); }) == 0) {
        return 0;
    }
    const int err = errno;
    struct stat now {};
    if (claimKnown && lstatOf(sys, to, now) == 0 && sameFile(now, claim)) {
        unlinkOf(sys, to);
    }
    errno = err;
    return -1;
}

int renameNoReplace(const SystemCalls& sys, const char* from, const char* to) {
    if (retryInterrupted([&] { return sys.renameNoReplace(from, to); }) == 0) {
        return 0;
    }
    if (!isUnsupported(errno)) {
        return -1;
    }
    // link + unlink never replaces either.
    if (retryInterrupted([&] { return sys.link(from, to); }) != 0) {
        if (errno != EPERM && !isUnsupported(errno)) {
            return -1;
        }
        return claimThenRename(sys, from, to);
    }
    if (unlinkOf(sys, from) != 0) {
        const int err = errno;
        unlinkOf(sys, to); // leave the file under its old name only
        errno = err;
        return -1;
    }
    return 0;
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

// The target is the source file itself: one folder entry under another
// spelling (case-insensitive file systems), or another hard link of it. A
// move through a free temporary name in the same folder tells them apart: the
// entry is gone from under the new name once it has moved. A link left under
// a name that differs by more than letter case is what an interrupted
// link + unlink leaves, and removing the old name finishes it; links that
// differ only in case are two files to the user and both stay.
void renameSameFile(const SystemCalls& sys, const std::string& source, const std::string& target,
                    const struct stat& file, bool linkMayGo) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = source + ".quillmark-" + std::to_string(attempt);
        if (renameNoReplace(sys, source.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            throw failureFromErrno(errno, source);
        }
        if (renameNoReplace(sys, temporary.c_str(), target.c_str()) == 0) {
            return;
        }
        int err = errno;
        struct stat now {};
        if (err == EEXIST && linkMayGo && lstatOf(sys, target.c_str(), now) == 0 &&
            sameFile(now, file)) {
            if (unlinkOf(sys, temporary.c_str()) == 0) {
                return;
            }
            err = errno;
        }
        if (renameNoReplace(sys, temporary.c_str(), source.c_str()) != 0) {
            throw strandedFailure(err, errno, source, target, temporary);
        }
        throw failureFromErrno(err, err == EEXIST ? target : source);
    }
    throw failureFromErrno(EEXIST, target);
}

// The name as the user may read it in a message: control characters as \xHH.
std::string shownName(std::string_view name) {
    std::string shown = "\"";
    for (const char c : name) {
        if (isControlCharacter(c)) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            shown += hex;
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

} // namespace

std::string_view refusedNameReason(std::string_view name) {
    if (name.empty()) {
        return "is empty";
    }
    if (name == "." || name == "..") {
        return "is the name of a folder";
    }
    if (name.find(kPathSeparator) != std::string_view::npos) {
        return "holds a path separator, which would move the file to another folder";
    }
    for (const char c : name) {
        if (isControlCharacter(c)) {
            return "holds a control character";
        }
    }
    if (name.front() == '.') {
        return "begins with a dot, which would hide the file";
    }
    return {};
}

bool isAcceptableFileName(std::string_view name) {
    return refusedNameReason(name).empty();
}

void renameWithoutReplacing(const std::string& sourcePath, std::string_view targetPrefix,
                            std::string_view newName) {
    std::string target(targetPrefix);
    target += newName;
    if (const std::string_view reason = refusedNameReason(newName); !reason.empty()) {
        throw FileFailure(FileFailureCode::BadFileName,
                          std::string(failureText(FileFailureCode::BadFileName)) + ": " +
                              shownName(newName) + " " + std::string(reason));
    }
    const SystemCalls& sys = systemCalls();
    struct stat sourceStat {};
    if (target == sourcePath) {
        // Nothing to move, but the file must be there.
        if (lstatOf(sys, sourcePath.c_str(), sourceStat) != 0) {
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
    struct stat targetStat {};
    if (err == EEXIST && lstatOf(sys, sourcePath.c_str(), sourceStat) == 0 &&
        lstatOf(sys, target.c_str(), targetStat) == 0 && sameFile(sourceStat, targetStat)) {
        const std::string_view sourceName =
            std::string_view(sourcePath).substr(baseNameStart(sourcePath));
        renameSameFile(sys, sourcePath, target, sourceStat,
                       !equalIgnoringAsciiCase(sourceName, newName));
        return;
    }
    throw failureFromErrno(err, err == EEXIST ? std::string_view(target) : sourcePath);
}

} // namespace quillmark
