#include "support/temp_folder.h"

#include "kit/whole_file.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace quillmark::test {

namespace fs = std::filesystem;

std::string TempFolder::write(std::string_view name, std::string_view bytes) const {
    std::string target = file(name);
    kit::writeWholeFile(target, bytes);
    return target;
}

std::map<std::string, std::string> TempFolder::snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(path())) {
        if (entry.is_regular_file()) {
            files[entry.path().filename().string()] = readFile(entry.path().string());
        }
    }
    return files;
}

std::vector<std::string> TempFolder::contents() const {
    std::vector<std::string> all;
    for (auto& [name, bytes] : snapshot()) {
        all.push_back(std::move(bytes));
    }
    std::sort(all.begin(), all.end());
    return all;
}

std::string readFile(const std::string& path) {
    return kit::readWholeFile(path);
}

bool fileExists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

WorkingFolder::WorkingFolder(const std::string& folder) : previous_(fs::current_path().string()) {
    fs::current_path(folder);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

std::string nameListLine(std::string_view internalName, std::string_view title) {
    std::string key(internalName);
    key.resize(20, ' ');
    return "\"" + key + "\",\"" + std::string(title) + "\"\r\n";
}

} // namespace quillmark::test
