#include "whole_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quillmark::kit {

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) {
        throw std::runtime_error("cannot read " + path);
    }
    return contents.str();
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace quillmark::kit
