// Draws the program's pictures and writes them under an output root (by
// default the source tree), the same bytes on every run, so that the committed
// files can always be regenerated and checked.

#include "artwork_set.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

bool writeFile(const std::filesystem::path& path, const quillmark::artwork::Bytes& bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::cerr << "make-artwork: " << path.parent_path().string() << ": " << error.message()
                  << '\n';
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "make-artwork: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: make-artwork [OUTPUT-ROOT]   (default: " QUILLMARK_SOURCE_ROOT ")\n";
        return 2;
    }
    const std::filesystem::path root = argc == 2 ? argv[1] : QUILLMARK_SOURCE_ROOT;
    for (const auto& file : quillmark::artwork::makeArtwork()) {
        const std::filesystem::path path = root / std::filesystem::path(file.path);
        if (!writeFile(path, file.bytes)) {
            return 1;
        }
        std::cout << path.string() << " (" << file.bytes.size() << " bytes)\n";
    }
    return 0;
}
