#include "fsys/rename_file.h"

#include "fsys/file_failure.h"
#include "fsys/file_stamp.h"
#include "fsys/paths.h"
#include "fsys/posix/file_handle.h"
#include "fsys/posix/system_calls.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/file.h>

namespace quillmark {

namespace {

// The steps observer of the rename in progress on this thread: the fallbacks
// run deep below renameWithoutReplacing, and this keeps their signatures.
thread_local RenameSteps* currentSteps = nullptr;

struct StepsInUse {
    explicit StepsInUse(RenameSteps* steps) : previous(currentSteps) { currentSteps = steps; }
    StepsInUse(const StepsInUse&) = delete;
    ~StepsInUse() { currentSteps = previous; }
    RenameSteps* previous;
};

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

// The bytes of the control character that `name` holds at `i`: 1 for C0 and
// DEL, 2 for C1 (U+0080-U+009F in UTF-8), 0 for none.
std::size_t controlLength(std::string_view name, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(name[k]); };
    if (byte(i) < 0x20 || byte(i) == 0x7F) {
        return 1;
    }
    return byte(i) == 0xC2 && i + 1 < name.size() && byte(i + 1) >= 0x80 && byte(i + 1) <= 0x9F ? 2
                                                                                                : 0;
}

bool isUnsupported(int err) {
    // ENOTSUP and EOPNOTSUPP are one value on Linux, two elsewhere.
    // NOLINTNEXTLINE(misc-redundant-expression)
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

int lstatOf(const SystemCalls& sys, const char* path, struct stat& st) {
    return retryInterrupted([&] { return sys.lstat(path, &st); });
}

int unlinkOf(const SystemCalls& sys, const char* path) {
    return retryInterrupted([&] { return sys.unlink(path); });
}

// `path` with `suffix` added to its name, the name cut short (never inside a
// UTF-8 sequence) where both would not fit within the longest name a folder
// takes.
std::string nameWithSuffix(std::string_view path, std::string_view suffix) {
    const std::size_t nameStart = baseNameStart(path);
    std::size_t keep = std::min(path.size() - nameStart, NAME_MAX - suffix.size());
    while (keep > 0 && nameStart + keep < path.size() &&
           (static_cast<unsigned char>(path[nameStart + keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::string result(path.substr(0, nameStart + keep));
    return result += suffix;
}

// The modification time a claim gets, so that one a killed run left behind
// can be told from a user's empty file: 2001-09-09 01:46:40 UTC, a whole
// second that FAT and exFAT keep exactly, and no time a file gets by being
// written or copied today.
constexpr std::time_t kClaimMark = 1'000'000'000;

bool isEmptySingleFile(const struct stat& st) {
    return S_ISREG(st.st_mode) && st.st_size == 0 && st.st_nlink == 1;
}

// Whether the claim held open as `fd` is still nothing but the empty file we
// made under the name `to`: nobody wrote into it, linked it or put another
// file under its name.
bool claimIsIntact(const SystemCalls& sys, int fd, const char* to) {
    struct stat held {};
    struct stat named {};
    return sys.fstat(fd, &held) == 0 && isEmptySingleFile(held) && lstatOf(sys, to, named) == 0 &&
           sameFile(held, named);
}

// A file of another program's bytes, read from `fd`, under a name nobody
// holds. Whether it was written whole; a copy that was not is removed.
bool writeAnew(const SystemCalls& sys, int fd, const std::string& path) {
    const int copy = retryInterrupted([&] { return sys.createExclusive(path.c_str()); });
    if (copy < 0) {
        return false;
    }
    char buffer[65536];
    off_t offset = 0;
    bool whole = true;
    for (;;) {
        const ssize_t n =
            retryInterrupted([&] { return sys.pread(fd, buffer, sizeof buffer, offset); });
        if (n <= 0) {
            whole = n == 0;
            break;
        }
        for (ssize_t done = 0; whole && done < n;) {
            const ssize_t written = retryInterrupted(
                [&] { return sys.write(copy, buffer + done, static_cast<std::size_t>(n - done)); });
            whole = written > 0;
            done += written;
        }
        if (!whole) {
            break;
        }
        offset += n;
    }
    sys.close(copy);
    if (!whole) {
        unlinkOf(sys, path.c_str());
    }
    return whole;
}

int renameNoReplace(const SystemCalls& sys, const char* from, const char* to);

// Another program wrote into the claim while the rename went over it (a copy
// made to that name at that very moment): what it wrote is left only in the
// claim we hold. Our file goes back to its old name and theirs is written anew
// under the name it was written to, as if it had come first. Always throws.
[[noreturn]] void keepWrittenClaim(const SystemCalls& sys, int fd, const std::string& from,
                                   const std::string& to) {
    if (renameNoReplace(sys, to.c_str(), from.c_str()) == 0 && writeAnew(sys, fd, to)) {
        throw failureFromErrno(EEXIST, to);
    }
    std::string description(failureText(FileFailureCode::PathFileAccessError));
    description += ": another program wrote to " + to + " while the file was renamed to it";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string kept = nameWithSuffix(to, ".kept-" + std::to_string(attempt));
        if (writeAnew(sys, fd, kept)) {
            throw FileFailure(FileFailureCode::PathFileAccessError,
                              description + "; what it wrote is now " + kept);
        }
    }
    throw FileFailure(FileFailureCode::PathFileAccessError,
                      description + ", and what it wrote could not be kept");
}

// Renames `from` over the claim held open as `fd` under the name `to`, and
// closes it. A claim that is no longer intact is left alone, never renamed
// over or removed: the name is taken (EEXIST). A failed rename removes the
// claim only while it is intact. Between the last look and the rename there
// is no primitive to close the gap; the look is the last call before it.
int renameOverClaim(const SystemCalls& sys, int fd, const std::string& from,
                    const std::string& to) {
    struct Closer {
        const SystemCalls& sys;
        int fd;
        ~Closer() { sys.close(fd); }
    } closer{sys, fd};
    if (!claimIsIntact(sys, fd, to.c_str())) {
        errno = EEXIST;
        return -1;
    }
    if (retryInterrupted([&] { return sys.renameReplacing(from.c_str(), to.c_str()); }) == 0) {
        struct stat after {};
        if (sys.fstat(fd, &after) == 0 && after.st_size > 0) {
            keepWrittenClaim(sys, fd, from, to);
        }
        return 0;
    }
    const int err = errno;
    if (claimIsIntact(sys, fd, to.c_str())) {
        unlinkOf(sys, to.c_str());
    }
    errno = err;
    return -1;
}

// The empty file that stands beside a claim of `to` until the claim is
// marked: a kill in between leaves both, and the next rename to the name
// knows the claim by it. The name says whose it is.
std::string intentName(const char* to) {
    return nameWithSuffix(to, ".quillmark-claim");
}

bool isEmptyFileAt(const SystemCalls& sys, const std::string& path) {
    struct stat st {};
    return lstatOf(sys, path.c_str(), st) == 0 && isEmptySingleFile(st);
}

// -1 after a failed exclusive create of `path`. Some drivers (exFAT through
// FUSE) answer a name they cannot store with ENOENT; in a folder that is
// there, the name is what they refuse.
int failedCreate(const SystemCalls& sys, const std::string& path) {
    const int err = errno;
    const std::string folder = path.substr(0, baseNameStart(path));
    struct stat st {};
    const bool folderThere = retryInterrupted([&] {
                                 return sys.stat(folder.empty() ? "." : folder.c_str(), &st);
                             }) == 0 &&
                             S_ISDIR(st.st_mode);
    errno = err == ENOENT && folderThere ? EINVAL : err;
    return -1;
}

// The claim that a killed run left under `to`, opened and locked, if that is
// what the name holds: an empty file with one link that no living process
// holds locked, with the claim's mark or an intent file beside it (which
// goes). Otherwise -1 with EEXIST.
int openLeftClaim(const SystemCalls& sys, const char* to) {
    // Most often the name is another file, which is not even opened.
    if (!isEmptyFileAt(sys, to)) {
        errno = EEXIST;
        return -1;
    }
    const int fd = retryInterrupted(
        [&] { return sys.open(to, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); });
    struct stat st {};
    if (fd >= 0 && sys.fstat(fd, &st) == 0 && isEmptySingleFile(st) &&
        sys.flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const FileStamp stamp = stampOf(st);
        const std::string intent = intentName(to);
        if (isEmptyFileAt(sys, intent)) {
            unlinkOf(sys, intent.c_str());
            return fd;
        }
        if (stamp.modifiedSeconds == kClaimMark && stamp.modifiedNanoseconds == 0) {
            return fd;
        }
    }
    if (fd >= 0) {
        sys.close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Last resort for file systems with neither a no-replace rename nor hard
// links (exFAT through FUSE, some network shares): the target name is claimed
// with an exclusive create, so a rival rename to it fails with EEXIST, and
// the file is then renamed over its own claim, held open all along.
int claimThenRename(const SystemCalls& sys, const char* from, const char* to) {
    const std::string intent = intentName(to);
    if (currentSteps != nullptr) {
        currentSteps->beforeClaim(to);
    }
    const int intentFd = retryInterrupted([&] { return sys.createExclusive(intent.c_str()); });
    if (intentFd < 0 && !(errno == EEXIST && isEmptyFileAt(sys, intent))) {
        return failedCreate(sys, intent);
    }
    // Ours goes once the claim is marked or not made; one a kill left stays
    // until the claim it speaks for is taken over.
    const auto dropIntent = [&] {
        if (intentFd >= 0) {
            if (claimIsIntact(sys, intentFd, intent.c_str())) {
                unlinkOf(sys, intent.c_str());
            }
            sys.close(intentFd);
        }
    };
    const int fd = retryInterrupted([&] { return sys.createExclusive(to); });
    if (fd < 0) {
        const int err = errno;
        dropIntent();
        errno = err;
        return failedCreate(sys, to);
    }
    // The lock goes with this process: while it lives, nobody takes the
    // claim for one a killed run left. Held already, it was taken so by
    // another run; where there are no locks, the claim stays unmarked and a
    // kill leaves it for the user to remove.
    if (sys.flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const timespec mark[2] = {{kClaimMark, 0}, {kClaimMark, 0}};
        sys.futimens(fd, mark);
    } else if (errno == EWOULDBLOCK) {
        sys.close(fd);
        dropIntent();
        errno = EEXIST;
        return -1;
    }
    if (intentFd < 0 && isEmptyFileAt(sys, intent)) {
        unlinkOf(sys, intent.c_str());
    }
    dropIntent();
    return renameOverClaim(sys, fd, from, to);
}

int renameNoReplaceOnce(const SystemCalls& sys, const char* from, const char* to) {
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

// Renames without replacing, by whichever means the file system has. A name
// held by a claim that a killed run left is taken over as this run's claim.
int renameNoReplace(const SystemCalls& sys, const char* from, const char* to) {
    if (renameNoReplaceOnce(sys, from, to) == 0) {
        return 0;
    }
    if (errno != EEXIST) {
        return -1;
    }
    const int fd = openLeftClaim(sys, to);
    return fd < 0 ? -1 : renameOverClaim(sys, fd, from, to);
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
        const std::string temporary =
            nameWithSuffix(source, ".quillmark-" + std::to_string(attempt));
        if (currentSteps != nullptr) {
            currentSteps->beforeTemporaryName(temporary);
        }
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

// The name as the user may read it in a message: the bytes of control
// characters as \xHH.
std::string shownName(std::string_view name) {
    std::string shown = "\"";
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = controlLength(name, i);
        for (std::size_t end = i + length; i < end; ++i) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(name[i]));
            shown += hex;
        }
        if (length == 0) {
            shown += name[i++];
        }
    }
    return shown + "\"";
}

// A name the file system refused (a character FAT or exFAT cannot store, a
// name too long): the failure names it, not the file that was to get it.
FileFailure refusedByFileSystem(int err, std::string_view newName) {
    return FileFailure(FileFailureCode::BadFileName,
                       std::string(failureText(FileFailureCode::BadFileName)) +
                           ": the file system refuses the name " + shownName(newName) + " (" +
                           std::strerror(err) + ")");
}

// Two names of one file where the file system gives each spelling an inode
// of its own (exFAT through FUSE): the same size and modification time. Two
// copies of one file look alike too; what tells them apart is the move
// through a temporary name (renameSameFile), which leaves copies as they were.
bool mayBeSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && S_ISREG(a.st_mode) && S_ISREG(b.st_mode) &&
           stampOf(a).size == stampOf(b).size &&
           stampOf(a).modifiedSeconds == stampOf(b).modifiedSeconds &&
           stampOf(a).modifiedNanoseconds == stampOf(b).modifiedNanoseconds;
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
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (controlLength(name, i) != 0) {
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

namespace {

bool changedSince(const SystemCalls& sys, const std::string& path, std::int64_t notBefore) {
    struct stat st {};
    return lstatOf(sys, path.c_str(), st) == 0 && isEmptySingleFile(st) && st.st_ctime >= notBefore;
}

// Whether the empty file `path` is a claim of ours left behind; then it is
// locked through `fd` until it goes.
bool isLeftClaim(const SystemCalls& sys, int fd, const std::string& path, std::int64_t notBefore,
                 bool intentBeside) {
    struct stat st {};
    if (sys.fstat(fd, &st) != 0 || !isEmptySingleFile(st)) {
        return false;
    }
    const bool marked = stampOf(st).modifiedSeconds == kClaimMark;
    // The claim's status changed when it was made: a user's empty file from
    // before the run cannot pass for it. Where the file system gives the
    // modification time as the status change (exFAT through FUSE), the mark
    // dates both.
    const bool madeInRun = st.st_ctime >= notBefore || (marked && st.st_ctime == st.st_mtime);
    return madeInRun && (intentBeside || marked) && sys.flock(fd, LOCK_EX | LOCK_NB) == 0 &&
           claimIsIntact(sys, fd, path.c_str());
}

} // namespace

bool removeLeftClaim(const std::string& path, std::int64_t notBefore) {
    const SystemCalls& sys = systemCalls();
    const std::string intent = intentName(path.c_str());
    const bool intentBeside = changedSince(sys, intent, notBefore);
    bool removed = false;
    if (isEmptyFileAt(sys, path)) {
        const int fd = retryInterrupted(
            [&] { return sys.open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); });
        if (fd >= 0) {
            if (isLeftClaim(sys, fd, path, notBefore, intentBeside) &&
                unlinkOf(sys, path.c_str()) != 0) {
                const int err = errno;
                sys.close(fd);
                throw failureFromErrno(err, path);
            }
            removed = isAbsent(path);
            sys.close(fd);
        }
    }
    // The intent goes with its claim, or alone when the kill came before the
    // claim was made.
    if (intentBeside && (removed || !isEmptyFileAt(sys, path))) {
        unlinkOf(sys, intent.c_str());
    }
    return removed;
}

void renameWithoutReplacing(const std::string& sourcePath, std::string_view targetPrefix,
                            std::string_view newName, RenameSteps* steps) {
    const StepsInUse inUse(steps);
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
        lstatOf(sys, target.c_str(), targetStat) == 0 &&
        (sameFile(sourceStat, targetStat) || mayBeSameFile(sourceStat, targetStat))) {
        const std::string_view sourceName =
            std::string_view(sourcePath).substr(baseNameStart(sourcePath));
        renameSameFile(sys, sourcePath, target, sourceStat,
                       sameFile(sourceStat, targetStat) &&
                           !equalIgnoringAsciiCase(sourceName, newName));
        return;
    }
    if (err == EINVAL || err == ENAMETOOLONG) {
        throw refusedByFileSystem(err, newName);
    }
    throw failureFromErrno(err, err == EEXIST ? std::string_view(target) : sourcePath);
}

} // namespace quillmark
