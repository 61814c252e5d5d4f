#pragma once

#include <string>
#include <string_view>

namespace quillmark::kit {

// The whole file; throws std::runtime_error when it cannot be read.
std::string readWholeFile(const std::string& path);

// Writes the file in place (the same file when it exists); throws
// std::runtime_error when it cannot be written.
void writeWholeFile(const std::string& path, std::string_view bytes);

} // namespace quillmark::kit
