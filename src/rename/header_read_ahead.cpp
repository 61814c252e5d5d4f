#include "header_read_ahead.h"

#include "fsys/file_failure.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace quillmark {

namespace {

// Files are opened ahead in runs of half the window, so the helper is woken
// once per run rather than once per file: on a warm cache each wake-up would
// cost more than the fetch it asks for.
constexpr std::size_t kOpenRun = kReadAheadWindow / 2;

} // namespace

HeaderReadAhead::HeaderReadAhead(std::string prefix, const std::vector<std::string>& fileNames)
    : prefix_(std::move(prefix)), fileNames_(fileNames) {
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
            ahead(opened_).emplace(path(opened_));
        } catch (const FileFailure&) {
            // Opened again at its turn, where its failure counts.
        }
    }
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        published_ = opened_;
        wake = helperIdle_;
    }
    if (wake) {
        work_.notify_one();
    }
}

void HeaderReadAhead::prefetchAhead() {
    std::unique_lock lock(mutex_);
    for (;;) {
        helperIdle_ = true;
        work_.wait(lock, [this] {
            return stopping_ || std::max(nextToPrefetch_, firstKept_) < published_;
        });
        helperIdle_ = false;
        if (stopping_) {
            return;
        }
        const std::size_t index = std::max(nextToPrefetch_, firstKept_);
        nextToPrefetch_ = index + 1;
        const std::optional<OpenedHeaderFile>& file = ahead(index);
        if (!file) {
            continue;
        }
        inHelper_ = index;
        lock.unlock();
        file->prefetch();
        lock.lock();
        inHelper_.reset();
        released_.notify_one();
    }
}

HeaderBytes HeaderReadAhead::takeNext() {
    const std::size_t index = taken_++;
    if (opened_ < fileNames_.size() && opened_ - index <= kOpenRun) {
        openAhead(std::min(index + kReadAheadWindow, fileNames_.size()));
    }
    {
        // From here on the helper leaves this file alone.
        std::unique_lock lock(mutex_);
        firstKept_ = taken_;
        released_.wait(lock, [this, index] { return inHelper_ != index; });
    }
    std::optional<OpenedHeaderFile>& file = ahead(index);
    const HeaderBytes header =
        file && !mayHaveRaced(*file) ? file->read(path(index)) : readHeaderBytes(path(index));
    file.reset();
    // Until now the entry of the file a window before this one.
    recent_[index % kReadAheadWindow] = Recent{header.device, header.inode, false};
    return header;
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
