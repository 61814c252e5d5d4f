#pragma once

#include <string>
#include <string_view>

namespace quillmark {

// The platform's path separator.
inline constexpr char kPathSeparator = '/';

// "" when the folder path already ends in the separator (a root), else the separator.
std::string pathSeparatorFor(std::string_view folder);

// The path of `name` in `folder`, with one separator between them.
std::string joinPath(std::string_view folder, std::string_view name);

// True only when nothing at all has that name: a name that is there but
// cannot be looked at (no permission, say) is not absent.
bool isAbsent(const std::string& path);

// The folder of the running program's executable, or "" where it cannot be told.
std::string runningProgramFolder();

} // namespace quillmark
