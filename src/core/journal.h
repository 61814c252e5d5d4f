#pragma once

#include "fsys/file_failure.h"
#include "fsys/file_stamp.h"
#include "fsys/journal_file.h"
#include "fsys/rename_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillmark {

// Every run that renames files keeps a record of them, written ahead of the
// renames, in a folder of its own: what makes a run undoable, and a run a
// kill interrupted finishable. See docs/journal.md for the format.

// Where the records are kept: $XDG_STATE_HOME/quillmark/journal, else
// ~/.local/state/quillmark/journal; "" when neither is an absolute folder.
std::string journalFolder();

enum class RunKind : std::uint8_t { Batch, Single, Rename, Undo };

std::string_view runKindName(RunKind kind);

// One file of a run.
struct JournalFile {
    enum class State : std::uint8_t {
        Planned, // to be renamed; whether it was, the file system tells
        Renamed, // has its new name
        Missing, // found under neither name when the run was recovered
    };
    std::uint32_t folder = 0; // into RunRecord::folders
    FileStamp stamp;          // of the name itself, a link not followed
    std::uint64_t hash = 0;   // headerHash of its header (of an archive: its member's)
    bool archive = false;
    std::string oldName;
    std::string newName;
    State state = State::Planned;
    std::vector<std::string> temporaries; // paths it was to be moved to on the way
    std::vector<std::string> claims;      // paths claimed for it
};

struct JournalFolder {
    std::string path;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// A run's record as read back.
struct RunRecord {
    std::string id;
    RunKind kind = RunKind::Rename;
    std::int64_t started = 0; // seconds since the epoch
    std::string undoes;       // the run an undo takes back
    std::vector<JournalFolder> folders;
    std::vector<JournalFile> files;
    std::vector<std::size_t> renameOrder; // files in the order they got their new names
    bool finished = false;
    bool torn = false; // a line broke off or did not match its checksum, and was passed over

    std::string oldPath(const JournalFile& file) const;
    std::string newPath(const JournalFile& file) const;
};

// Reads the record at `path`. Throws FileFailure.
RunRecord readRunRecord(const std::string& path);

// The record of one run being made. It is created with the first file's
// record, so a run that renames nothing leaves none. A failure to write it
// does not stop the run (the files are safe without it) but ends the record,
// which stays unfinished; problem() says what failed.
class RunJournal : public RenameSteps {
public:
    // Where records go ("" for none), and what the run is.
    RunJournal(std::string folder, RunKind kind, std::string undoes = {});
    RunJournal(const RunJournal&) = delete;
    ~RunJournal() override;

    // The folder of the files to come; returns its number.
    std::uint32_t addFolder(const std::string& path, std::uint64_t device, std::uint64_t inode);
    // A file to be renamed; returns its number.
    std::size_t addFile(std::uint32_t folder, std::string_view oldName, std::string_view newName,
                        const FileStamp& stamp, std::uint64_t hash, bool archive);
    // Call before a rename of the files added: what was added reaches the
    // system, and the first time it is made durable.
    void beforeRenames();
    // The steps of file `file`'s rename, to pass to the rename.
    RenameSteps* stepsOf(std::size_t file);
    void renamed(std::size_t file);
    // After the last rename: the folders renamed in made durable, then the end.
    void finish();

    const std::string& id() const { return id_; }
    bool written() const { return !id_.empty(); }
    const std::optional<FileFailure>& problem() const { return problem_; }

    void beforeTemporaryName(const std::string& path) override;
    void beforeClaim(const std::string& path) override;

private:
    void flush();
    void fail(const FileFailure& failure);

    std::string folder_;
    RunKind kind_;
    std::string undoes_;
    std::string id_;
    std::int64_t started_ = 0;
    std::optional<AppendFile> file_;
    bool durable_ = false;
    bool ended_ = false;
    std::optional<FileFailure> problem_;
    std::string buffer_;
    std::vector<JournalFolder> folders_;
    std::vector<bool> renamedIn_; // per folder
    std::size_t files_ = 0;
    std::size_t renamed_ = 0;
    std::size_t current_ = 0; // the file whose steps are heard
};

// What undo compares of a file: the stamp of the name itself (a link not
// followed) and the hash of the header read through it (of an archive's
// member). Nothing when nothing has the name. Throws FileFailure.
std::optional<std::pair<FileStamp, std::uint64_t>> fileIdentity(const std::string& path,
                                                                bool archive);

// What recovery did with one file.
enum class Recovered : std::uint8_t {
    NotRenamed,         // under its old name only
    Renamed,            // under its new name only
    OldLinkRemoved,     // under both, one file: the old name went
    BackToOldName,      // under a temporary name: given its old name back
    Missing,            // under neither name: reported, not looked for
    LeftUnderTemporary, // under a temporary name it could not leave
};

struct RecoveredFile {
    std::string path; // its old path
    std::string newPath;
    Recovered what = Recovered::NotRenamed;
    std::size_t claimsRemoved = 0;
};

struct RecoveryReport {
    std::string run;
    std::vector<RecoveredFile> files;
};

// Finishes, from the file system, every run that died (unfinished and not
// locked) with a file in one of `folders` (device and inode; with `below`,
// also in folders under them by path); all such runs when `folders` is empty.
// Throws FileFailure when the records cannot be read.
std::vector<RecoveryReport> recoverRuns(const std::string& journals,
                                        const std::vector<std::string>& folders = {},
                                        bool below = false);

// A run as history lists it.
struct RunSummary {
    std::string id;
    RunKind kind = RunKind::Rename;
    std::int64_t started = 0;
    std::string folder; // the first
    std::size_t files = 0;
    std::size_t renamed = 0;
    bool finished = false;
    bool undone = false;
    std::string undoes;
};

// Every run kept, newest first. Throws FileFailure.
std::vector<RunSummary> runHistory(const std::string& journals);

enum class UndoResult : std::uint8_t {
    Restored,     // has its old name again
    OldNameTaken, // another file has its old name
    Changed,      // not the file renamed any more
    Gone,         // nothing under its new name
    Failed,       // the rename failed
};

struct UndoneFile {
    std::string path; // its new path, the one undo starts from
    std::string oldName;
    UndoResult result = UndoResult::Restored;
    std::optional<FileFailure> failure;
};

struct UndoReport {
    std::string run;     // the run taken back
    std::string undoRun; // the undo's own run ("" when it renamed nothing)
    std::string folder;
    std::vector<UndoneFile> files; // in the order undone
    std::size_t restored = 0;
    std::size_t skipped = 0;
    std::optional<FileFailure> journalProblem;
};

// The run undo takes when none is named: the newest one that renamed, is not
// undone and is no undo itself, so that undo after undo goes further back. An
// undo is taken back (made again) by naming it.
std::optional<std::string> latestUndoable(const std::string& journals);

// Renames each file `run` renamed back to its old name, newest rename first,
// with the no-replace rename and only while it is still the file renamed;
// the others are skipped and reported. An unfinished run is recovered first.
// The undo is a run with its own record. Throws FileFailure when the run's
// record cannot be read (58: it is still running).
UndoReport undoRun(const std::string& journals, const std::string& run);

} // namespace quillmark
