#include "paths.h"

namespace quillmark {

std::string pathSeparatorFor(std::string_view folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        return {};
    }
    return std::string(1, kPathSeparator);
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += pathSeparatorFor(folder);
    path += name;
    return path;
}

} // namespace quillmark
