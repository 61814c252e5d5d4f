#pragma once

#include <string>
#include <string_view>

namespace quillmark::test {

// Why `name` (UTF-8) cannot be a file name on one of Linux, Windows or macOS,
// or would be hidden there; empty when it is fine everywhere. Kept apart from
// the list generator's title rule so that the one checks the other.
std::string portableFileNameProblem(std::string_view name);

} // namespace quillmark::test
