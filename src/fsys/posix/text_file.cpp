#include "fsys/text_file.h"

#include "fsys/file_failure.h"
#include "fsys/posix/file_handle.h"
#include "fsys/posix/system_calls.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>

namespace quillmark {

namespace {

// File systems stamp times at their own granularity: two seconds on FAT, a
// clock tick on ext4 under older kernels. An edit made just after a read can
// get the very stamp of the version read, so a stamp is only trusted once it
// lies further in the past than that.
constexpr std::int64_t kSettledAfterNanoseconds = 2'000'000'000;

std::int64_t nanosecondsOf(const FileStamp& stamp) {
    return stamp.modifiedSeconds * 1'000'000'000 + stamp.modifiedNanoseconds;
}

std::int64_t nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

FileFailure tooLarge(const std::string& path) {
    return FileFailure(FileFailureCode::PathFileAccessError,
                       std::string(failureText(FileFailureCode::PathFileAccessError)) +
                           " (file larger than " + std::to_string(kTextFileSizeLimit >> 20) +
                           " MiB): " + path);
}

} // namespace

std::optional<std::string> readToEnd(int fd, std::size_t expected, const std::string& path,
                                     std::uint64_t limit) {
    const SystemCalls& sys = systemCalls();
    std::string contents(expected, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == contents.size()) {
            contents.resize(contents.size() + 4096);
        }
        const ssize_t n = retryInterrupted(
            [&] { return sys.read(fd, contents.data() + filled, contents.size() - filled); });
        if (n < 0) {
            throw failureFromErrno(errno, path);
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
        if (filled > limit) {
            return std::nullopt;
        }
    }
    contents.resize(filled);
    return contents;
}

std::optional<std::string> readFileIfChanged(const std::string& path, ReadVersion& version,
                                             std::string_view held) {
    struct stat st {};
    FileHandle file(path, st);
    if (!S_ISREG(st.st_mode)) {
        // A FIFO or device under the list's name would block or never end.
        throw FileFailure(FileFailureCode::PathFileAccessError,
                          std::filesystem::path(path).filename().string() +
                              " is not a regular file: " + path);
    }
    const FileStamp current = stampOf(st);
    if (version.settled && current == version.stamp) {
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kTextFileSizeLimit) {
        throw tooLarge(path);
    }
    std::optional<std::string> read =
        readToEnd(file.fd(), static_cast<std::size_t>(st.st_size), path, kTextFileSizeLimit);
    if (!read) {
        throw tooLarge(path);
    }
    const std::string& contents = *read;
    // Until it settles, the next call reads the file again.
    const std::int64_t modified = nanosecondsOf(current);
    const std::int64_t now = nowNanoseconds();
    const bool settled = modified <= now - kSettledAfterNanoseconds ||
                         (modified > now && current == version.stamp && contents == held);
    version = ReadVersion{current, settled};
    return std::move(*read);
}

} // namespace quillmark
