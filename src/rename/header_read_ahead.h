#pragma once

#include "fsys/header_file.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillmark {

// Files whose headers may be read, or be waiting to be taken, at once.
inline constexpr std::size_t kReadAheadWindow = 64;

// Reads the headers of a list of files on a few threads, at most
// kReadAheadWindow files ahead of the caller, who takes them strictly in list
// order: a cold disk then serves several small reads at once instead of
// waiting for each in turn. Every read is readHeaderBytes; what it gave, bytes
// or failure, reaches the caller only when that file is taken, so the caller
// sees what reading the files one by one would have shown. Destroying it stops
// reading ahead and waits for the reads under way; no further file is opened.
class HeaderReadAhead {
public:
    // `prefix` is the folder with its separator. `fileNames` must outlive this.
    HeaderReadAhead(std::string prefix, const std::vector<std::string>& fileNames);
    ~HeaderReadAhead();
    HeaderReadAhead(const HeaderReadAhead&) = delete;
    HeaderReadAhead& operator=(const HeaderReadAhead&) = delete;

    // The header of the next file of the list; waits for its read. Throws
    // what the read threw (FileFailure).
    HeaderBytes takeNext();

    // The file taken last was renamed. A read ahead that may have raced with
    // that rename (the same file under another name, or a failed read of a
    // name the rename may have made) is made again at its turn.
    void lastTakenRenamed();

private:
    struct Slot {
        HeaderBytes header;
        std::exception_ptr failure;
        bool ready = false;
    };
    // What the files of the window before the next one were; a file is
    // compared with them only if one of them was renamed.
    struct Recent {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool renamed = false;
    };

    void readAhead();
    // Starts one more reader; false when the system has no thread to give.
    bool addReader();
    bool mayHaveRaced(const Slot& slot) const;
    std::string path(std::size_t index) const { return prefix_ + fileNames_[index]; }

    const std::string prefix_;
    const std::vector<std::string>& fileNames_;

    std::mutex mutex_;
    std::condition_variable readDone_;  // a slot was filled
    std::condition_variable roomAhead_; // the window moved on, or reading stops
    std::array<Slot, kReadAheadWindow> slots_;
    std::size_t nextToRead_ = 0; // guarded by mutex_, like the slots
    std::size_t nextToTake_ = 0;
    std::size_t sleeping_ = 0; // readers waiting for room ahead
    bool stopping_ = false;

    std::array<Recent, kReadAheadWindow> recent_; // the caller's alone
    std::size_t taken_ = 0;                       // the caller's copy of nextToTake_
    std::vector<std::thread> readers_;            // the caller's alone
};

} // namespace quillmark
