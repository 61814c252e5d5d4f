#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

// Renames the file at `sourcePath` to `targetPrefix` + `newName`, where the
// prefix is a folder path with its separator. Never replaces an existing file:
// an existing target throws FileFailure 58 and stays untouched. A target equal
// to the source succeeds without touching anything; the same file under
// another spelling of its name (case-insensitive file systems, also those that
// give each spelling an inode of its own) is renamed, and a target that is a
// hard link of the source under a name that differs by more than letter case
// loses the source name (what an interrupted link + unlink meant to do). So
// does an empty claim of the target name that a killed run left. A new name
// refusedNameReason refuses, or the file system refuses, throws 52 naming it
// and the reason; nothing is renamed. Failures name the user's files, never a
// temporary name, unless the file could be given neither name and is left
// under it.
//
// `steps`, when given, hears each step that leaves a name other than the two
// behind if the process dies in it, before the step is taken.
class RenameSteps {
public:
    virtual ~RenameSteps() = default;
    // The file is about to be moved to the temporary name `path`.
    virtual void beforeTemporaryName(const std::string& path) = 0;
    // The name `path` is about to be claimed with an empty file.
    virtual void beforeClaim(const std::string& path) = 0;
};
void renameWithoutReplacing(const std::string& sourcePath, std::string_view targetPrefix,
                            std::string_view newName, RenameSteps* steps = nullptr);

// Whether `path` is the empty claim of its name that a rename of this
// program took, `notBefore` (seconds since the epoch) or later, and left
// behind when killed: an empty file with one link that nobody holds locked,
// marked as a claim or with the claim's intent file beside it. Such a claim
// and its intent file are removed, and true returned; any other file,
// a user's own empty one included, is never touched.
bool removeLeftClaim(const std::string& path, std::int64_t notBefore);

// Why `name` may not be given to a file in a folder, "" when it may: empty,
// "." or "..", a separator (a title could move the file out of its folder), a
// control character (C0, DEL or C1), or a leading dot (the file would be
// hidden).
std::string_view refusedNameReason(std::string_view name);

// True when `name` may be used as a bare file name in a folder.
bool isAcceptableFileName(std::string_view name);

} // namespace quillmark
