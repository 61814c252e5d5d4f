#include "fsys/paths.h"

#include "fsys/posix/system_calls.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace quillmark {

bool isAbsent(const std::string& path) {
    struct stat st {};
    return retryInterrupted([&] { return systemCalls().lstat(path.c_str(), &st); }) != 0 &&
           (errno == ENOENT || errno == ENOTDIR);
}

std::string runningProgramFolder() {
    std::string target(4096, '\0');
    const ssize_t n = systemCalls().readlink("/proc/self/exe", target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
        return "";
    }
    target.resize(static_cast<std::size_t>(n));
    return std::filesystem::path(target).parent_path().string();
}

} // namespace quillmark
