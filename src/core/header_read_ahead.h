#pragma once

#include "fsys/header_file.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quillmark {

// Files opened ahead of the one being taken, at most.
inline constexpr std::size_t kReadAheadWindow = 64;

// The start of one file of the list: of the file itself or, for a file whose
// name says it is an archive, of the archive's one member.
struct TakenHeader {
    // An archive's: its member's first bytes with the archive's own stamp;
    // nothing read (not a regular file) when the archive was refused.
    HeaderBytes header;
    std::optional<ArchiveKind> archive; // the member was read from an archive of this kind
    ArchiveRefusal refusal = ArchiveRefusal::None; // why an archive gave no member
};

// Serves the headers of a list of files strictly in list order (a symbolic
// link is passed over as a special file) while the disk fetches those of the
// files after the current one: the caller's thread opens them ahead, up to
// kReadAheadWindow, and a helper thread asks the system to fetch their first
// bytes (an archive's first and last), so a cold disk serves many small
// reads at once and each read at its turn finds its bytes cached.
//
// The opens stay on the caller's thread: openings of uncached names on other
// threads would hold the folder's lock against the caller's renames in it.
// A file that could not be opened ahead, or that a rename of the caller may
// have overtaken, is read afresh at its turn, so the caller sees exactly what
// reading the files one by one would have shown. Destroying it stops the
// helper and closes every file opened ahead; no further file is opened.
class HeaderReadAhead {
public:
    // `prefix` is the folder with its separator. `fileNames` must outlive
    // this. Opens the first files ahead.
    HeaderReadAhead(std::string prefix, const std::vector<std::string>& fileNames);
    ~HeaderReadAhead();
    HeaderReadAhead(const HeaderReadAhead&) = delete;
    HeaderReadAhead& operator=(const HeaderReadAhead&) = delete;

    // The header of the next file of the list. Throws FileFailure.
    TakenHeader takeNext();

    // The file taken last was renamed. A file opened ahead that is the same
    // file (under another name) is read afresh at its turn.
    void lastTakenRenamed();

private:
    // What the files of the window before the next one were; a file is
    // compared with them only if one of them was renamed.
    struct Recent {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool renamed = false;
    };

    void openAhead(std::size_t end);
    void prefetchAhead();
    bool mayHaveRaced(const OpenedHeaderFile& file) const;
    std::string path(std::size_t index) const { return prefix_ + fileNames_[index]; }
    bool isArchive(std::size_t index) const {
        return archiveKindByName(fileNames_[index]).has_value();
    }
    // Empty: not opened ahead, or could not be.
    std::optional<OpenedHeaderFile>& ahead(std::size_t index) {
        return ahead_[index % kReadAheadWindow];
    }

    const std::string prefix_;
    const std::vector<std::string>& fileNames_;

    // The caller's alone.
    std::array<std::optional<OpenedHeaderFile>, kReadAheadWindow> ahead_;
    std::array<Recent, kReadAheadWindow> recent_;
    std::size_t taken_ = 0;
    std::size_t opened_ = 0;

    // Shared with the helper.
    std::mutex mutex_;                 // guards what follows
    std::condition_variable work_;     // more files opened, or stopping
    std::condition_variable released_; // the helper let go of a file
    std::size_t firstKept_ = 0;        // files below it are taken: never touched again
    std::size_t inHelper_;             // the file the helper is fetching
    std::size_t published_ = 0;        // files opened ahead: below this
    bool helperIdle_ = false;
    bool helperFoundAllCached_ = false; // in the last files it was woken for
    std::size_t quietRuns_ = 0;         // runs opened while it found all cached
    bool stopping_ = false;
    std::thread helper_; // not joinable when it could not be started
};

} // namespace quillmark
