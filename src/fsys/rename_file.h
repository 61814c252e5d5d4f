#pragma once

#include <string>
#include <string_view>

namespace quillmark {

// Renames the file at `sourcePath` to `targetPrefix` + `newName`, where the
// prefix is a folder path with its separator. Never replaces an existing file:
// an existing target throws FileFailure 58 and stays untouched. A target equal
// to the source succeeds without touching anything; the same file under
// another letter case (case-insensitive file systems) is renamed. A new name
// that is empty, holds a separator or NUL, or is "." or ".." is refused with
// 52, so a title can never move a file out of its folder.
void renameWithoutReplacing(const std::string& sourcePath, std::string_view targetPrefix,
                            std::string_view newName);

// True when `name` may be used as a bare file name in a folder.
bool isAcceptableFileName(std::string_view name);

} // namespace quillmark
