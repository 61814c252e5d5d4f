#include "fuzz_support.h"

#include "kit/scratch_folder.h"
#include "kit/whole_file.h"
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
kit::ScratchFolder* scratch = nullptr;

void removeScratchFolder() {
    delete scratch;
}

} // namespace

const std::string& scratchFolder() {
    if (scratch == nullptr) {
        scratch = new kit::ScratchFolder("quillmark-fuzz");
        std::atexit(removeScratchFolder);
    }
    return scratch->path();
}

void writeFile(const std::string& path, std::string_view bytes) {
    try {
        kit::writeWholeFile(path, bytes);
    } catch (const std::exception&) {
        require(false, "scratch file can be written");
    }
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
