#include "header_read_ahead.h"

#include "fsys/file_failure.h"

#include <algorithm>
#include <limits>
#include <system_error>
#include <utility>

namespace quillmark {

namespace {

// Files are opened ahead in runs of half the window, so the helper is woken
// once per run rather than once per file: on a warm cache each wake-up would
// cost more than the fetch it asks for.
constexpr std::size_t kOpenRun = kReadAheadWindow / 2;

// A helper that found every header of its last run cached is woken only for
// every so many runs, enough to notice when the collection turns cold: on a
// warm cache the wake-ups alone would cost more than the run spends reading.
constexpr std::size_t kRunsPerLook = 8;

constexpr std::size_t kNoFile = std::numeric_limits<std::size_t>::max();

} // namespace

HeaderReadAhead::HeaderReadAhead(std::string prefix, const std::vector<std::string>& fileNames)
    : prefix_(std::move(prefix)), fileNames_(fileNames), inHelper_(kNoFile) {
    if (fileNames_.size() > 1) {
        try {
            helper_ = std::thread([this] { prefetchAhead(); });
        } catch (const std::system_error&) {
            // No thread to give: the files are still opened ahead, only read
            // one by one.
        }
    }
    openAhead(std::min(kReadAheadWindow, fileNames_.size()));
}

HeaderReadAhead::~HeaderReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        firstKept_ = kNoFile; // the helper fetches nothing more
        stopping_ = true;
    }
    work_.notify_one();
    if (helper_.joinable()) {
        helper_.join();
    }
}

void HeaderReadAhead::openAhead(std::size_t end) {
    for (; opened_ < end; ++opened_) {
        try {
            ahead(opened_).emplace(path(opened_), LinkMode::NoFollow);
        } catch (const FileFailure&) {
            // Opened again at its turn, where its failure counts.
        }
    }
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        published_ = opened_;
        wake = helperIdle_ && (!helperFoundAllCached_ || ++quietRuns_ % kRunsPerLook == 0);
    }
    if (wake) {
        work_.notify_one();
    }
}

void HeaderReadAhead::prefetchAhead() {
    std::size_t next = 0;
    bool allCached = false;
    std::unique_lock lock(mutex_);
    for (;;) {
        helperFoundAllCached_ = allCached;
        helperIdle_ = true;
        work_.wait(lock, [this, next] { return stopping_ || next < published_; });
        helperIdle_ = false;
        if (stopping_) {
            return;
        }
        allCached = true;
        for (const std::size_t end = published_; next < end; ++next) {
            if (next < firstKept_ || !ahead(next)) {
                continue;
            }
            inHelper_ = next;
            lock.unlock();
            allCached = ahead(next)->prefetch(isArchive(next)) && allCached;
            lock.lock();
            inHelper_ = kNoFile;
            released_.notify_one();
        }
    }
}

TakenHeader HeaderReadAhead::takeNext() {
    const std::size_t index = taken_++;
    if (opened_ < fileNames_.size() && opened_ - index <= kOpenRun) {
        openAhead(std::min(index + kReadAheadWindow, fileNames_.size()));
    }
    {
        std::unique_lock lock(mutex_);
        firstKept_ = taken_; // from here on the helper leaves this file alone
        released_.wait(lock, [this, index] { return inHelper_ != index; });
    }
    std::optional<OpenedHeaderFile>& file = ahead(index);
    const bool opened = file && !mayHaveRaced(*file);
    TakenHeader taken;
    if (isArchive(index)) {
        const ArchiveHeader read = opened ? file->readArchive(path(index))
                                          : readArchiveHeader(path(index), LinkMode::NoFollow);
        if (read.refusal == ArchiveRefusal::None) {
            taken.header = read.header;
            taken.archive = read.kind;
        } else {
            taken.refusal = read.refusal;
        }
    } else {
        taken.header =
            opened ? file->read(path(index)) : readHeaderBytes(path(index), LinkMode::NoFollow);
    }
    file.reset();
    // Until now the entry of the file a window before this one.
    const FileStamp& stamp = taken.header.stamp;
    recent_[index % kReadAheadWindow] = Recent{stamp.device, stamp.inode, false};
    return taken;
}

bool HeaderReadAhead::mayHaveRaced(const OpenedHeaderFile& file) const {
    return std::any_of(recent_.begin(), recent_.end(), [&file](const Recent& recent) {
        return recent.renamed && recent.device == file.device() && recent.inode == file.inode();
    });
}

void HeaderReadAhead::lastTakenRenamed() {
    if (taken_ > 0) {
        recent_[(taken_ - 1) % kReadAheadWindow].renamed = true;
    }
}

} // namespace quillmark
