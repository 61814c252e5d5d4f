#pragma once

#include "fsys/file_failure.h"
#include "fsys/file_stamp.h"
#include "fsys/rename_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

enum class RenameResult {
    Nothing,     // nothing was asked for
    Renamed,     // the file has its new name
    FileChanged, // the path leads to another file, or a changed one, than was identified
    Failed,      // the rename failed; `failure` says why
};

struct RenameOutcome {
    RenameResult result = RenameResult::Nothing;
    std::optional<FileFailure> failure; // set for FileChanged and Failed
};

// Gives the file at `path` the name `newName` in the folder it lies in, and
// only while `path` still leads to the file that `stamp` was taken of (through
// a link as `links` says, as the identification read it). Never replaces a
// file: see renameWithoutReplacing, which `steps` is passed to.
RenameOutcome renameIdentifiedFile(const std::string& path, const FileStamp& stamp,
                                   std::string_view newName, LinkMode links,
                                   RenameSteps* steps = nullptr);

class RunJournal;

// The same, as a run of its own recorded in `journal`: the file's identity
// is read and recorded, and made durable, before the rename.
RenameOutcome renameIdentifiedFile(const std::string& path, const FileStamp& stamp,
                                   std::string_view newName, LinkMode links, RunJournal& journal);

} // namespace quillmark
