#include "fuzz_support.h"

#include "romid/text_encoding.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark::fuzz {

void require(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", invariant);
        __builtin_trap();
    }
}

namespace {

// Kept alive past the static destructors, for the exit handler that removes it.
const std::string* scratchPath = nullptr;

void removeScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(*scratchPath, ignored);
}

} // namespace

const std::string& scratchFolder() {
    if (scratchPath == nullptr) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillmark-fuzz-XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "scratch folder can be made");
        scratchPath = new std::string(pattern);
        std::atexit(removeScratchFolder);
    }
    return *scratchPath;
}

void writeFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    require(fd >= 0, "scratch file can be opened for writing");
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        require(n > 0, "scratch file can be written");
        written += static_cast<std::size_t>(n);
    }
    require(::close(fd) == 0, "scratch file can be closed");
}

void removeFile(const std::string& path) {
    require(::unlink(path.c_str()) == 0 || errno == ENOENT, "scratch file can be removed");
}

struct timespec modifiedTime(const std::string& path) {
    struct stat st {};
    require(::stat(path.c_str(), &st) == 0, "scratch file can be stat'ed");
    return st.st_mtim;
}

void setModifiedTime(const std::string& path, const struct timespec& time) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, time};
    require(::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0,
            "scratch file's modification time can be set");
}

long utf8CodePoints(std::string_view text) {
    const std::optional<std::u32string> decoded = decodeUtf8(text);
    return decoded ? static_cast<long>(decoded->size()) : -1;
}

bool isUpperHex(std::string_view text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

} // namespace quillmark::fuzz
