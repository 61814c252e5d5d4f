#include "support/portable_file_name.h"

#include <cstdint>

namespace quillmark::test {

namespace {

bool isWindowsDevice(std::string_view name) {
    // Windows reads the part before the first dot, trailing spaces ignored.
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") {
        return true;
    }
    if (base.size() >= 4 && (base.starts_with("COM") || base.starts_with("LPT"))) {
        const std::string_view rest = std::string_view(base).substr(3);
        return (rest.size() == 1 && rest[0] >= '0' && rest[0] <= '9') || rest == "\xC2\xB9" ||
               rest == "\xC2\xB2" || rest == "\xC2\xB3";
    }
    return false;
}

} // namespace

std::string portableFileNameProblem(std::string_view name) {
    if (name.empty()) {
        return "empty";
    }
    if (name.size() > 255) {
        return "longer than 255 bytes";
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(name[i]);
        if (byte < 0x20 || byte == 0x7F) {
            return "holds a control character at byte " + std::to_string(i);
        }
        if (byte == 0xC2 && i + 1 < name.size() && static_cast<std::uint8_t>(name[i + 1]) >= 0x80 &&
            static_cast<std::uint8_t>(name[i + 1]) <= 0x9F) {
            return "holds a C1 control character at byte " + std::to_string(i);
        }
        if (std::string_view("/\\:*?\"<>|").find(name[i]) != std::string_view::npos) {
            return std::string("holds '") + name[i] + "'";
        }
    }
    if (name.front() == '.' || name.front() == ' ') {
        return "starts with a dot or a space";
    }
    if (name.back() == '.' || name.back() == ' ') {
        return "ends with a dot or a space";
    }
    if (isWindowsDevice(name)) {
        return "is a Windows device name";
    }
    return {};
}

} // namespace quillmark::test
