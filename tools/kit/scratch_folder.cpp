#include "scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace quillmark::kit {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(std::string_view prefix, std::string parent) {
    if (parent.empty()) {
        parent = fs::temp_directory_path().string();
    }
    std::string pattern = parent + "/" + std::string(prefix) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a folder in " + parent);
    }
    path_ = std::move(pattern);
}

ScratchFolder::~ScratchFolder() {
    removeFolder(path_);
}

void removeFolder(const std::string& folder) {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(folder, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(folder, ignored);
}

} // namespace quillmark::kit
