#include "support/temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace quillmark::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "quillmark-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable to remove them.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(path_, ignored);
}

std::string TempFolder::write(std::string_view name, std::string_view bytes) const {
    const std::string target = file(name);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + target);
    }
    return target;
}

std::string TempFolder::write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
    return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::map<std::string, std::string> TempFolder::snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(path_)) {
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
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
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

std::vector<std::uint8_t> romImage(const RomFields& fields, ByteOrder order, std::size_t size) {
    std::vector<std::uint8_t> image(std::max<std::size_t>(size, 64), 0);
    const std::uint8_t magic[4] = {0x80, 0x37, 0x12, 0x40};
    std::copy(std::begin(magic), std::end(magic), image.begin());
    std::copy(fields.crc1.begin(), fields.crc1.end(), image.begin() + 0x10);
    std::copy(fields.crc2.begin(), fields.crc2.end(), image.begin() + 0x14);
    std::string name = fields.internalName;
    name.resize(20, ' ');
    std::copy(name.begin(), name.end(), image.begin() + 0x20);
    image[0x3B] = fields.manufacturer;
    image[0x3C] = fields.cardId[0];
    image[0x3D] = fields.cardId[1];
    image[0x3E] = fields.country;
    if (order == ByteOrder::V64) {
        for (std::size_t i = 0; i + 1 < image.size(); i += 2) {
            std::swap(image[i], image[i + 1]);
        }
    }
    image.resize(size);
    return image;
}

std::string nameListLine(std::string_view internalName, std::string_view title) {
    std::string key(internalName);
    key.resize(20, ' ');
    return "\"" + key + "\",\"" + std::string(title) + "\"\r\n";
}

} // namespace quillmark::test
