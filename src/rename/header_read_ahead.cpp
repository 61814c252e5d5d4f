#include "header_read_ahead.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace quillmark {

namespace {

// A warm cache needs few readers, and each one more costs switches; a cold
// disk serves many small reads at once, so readers are added while the run
// finds its next header not yet read.
constexpr std::size_t kFirstReaders = 4;
constexpr std::size_t kMostReaders = 16;

} // namespace

HeaderReadAhead::HeaderReadAhead(std::string prefix, const std::vector<std::string>& fileNames)
    : prefix_(std::move(prefix)), fileNames_(fileNames) {
    const std::size_t readers = std::min(kFirstReaders, fileNames_.size());
    while (readers_.size() < readers && addReader()) {
    }
}

bool HeaderReadAhead::addReader() {
    try {
        readers_.emplace_back([this] { readAhead(); });
        return true;
    } catch (const std::system_error&) {
        // Fewer readers, or none: takeNext reads what no reader took.
        return false;
    }
}

HeaderReadAhead::~HeaderReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    roomAhead_.notify_all();
    for (std::thread& reader : readers_) {
        reader.join();
    }
}

void HeaderReadAhead::readAhead() {
    std::unique_lock lock(mutex_);
    for (;;) {
        while (!stopping_ && nextToRead_ < fileNames_.size() &&
               nextToRead_ >= nextToTake_ + kReadAheadWindow) {
            ++sleeping_;
            roomAhead_.wait(lock);
            --sleeping_;
        }
        if (stopping_ || nextToRead_ >= fileNames_.size()) {
            return;
        }
        const std::size_t index = nextToRead_++;
        lock.unlock();
        Slot read;
        try {
            read.header = readHeaderBytes(path(index));
        } catch (...) {
            read.failure = std::current_exception();
        }
        read.ready = true;
        lock.lock();
        slots_[index % kReadAheadWindow] = std::move(read);
        if (index == nextToTake_) {
            readDone_.notify_one();
        }
    }
}

HeaderBytes HeaderReadAhead::takeNext() {
    const std::size_t index = taken_++;
    Slot slot;
    bool readHere = false;
    bool wake = false;
    {
        std::unique_lock lock(mutex_);
        Slot& waited = slots_[index % kReadAheadWindow];
        if (!waited.ready && nextToRead_ == index) {
            // No reader got to it (none could start, or none was scheduled):
            // reading it here beats waiting for one.
            ++nextToRead_;
            readHere = true;
        } else {
            if (!waited.ready && readers_.size() < std::min(kMostReaders, fileNames_.size())) {
                addReader();
            }
            readDone_.wait(lock, [&waited] { return waited.ready; });
            slot = std::move(waited);
            waited = Slot{};
        }
        nextToTake_ = taken_;
        // Readers that found the window full are woken together once half of
        // it is free, not one per file: on a warm cache each wake-up would
        // cost more than the read it starts.
        wake =
            sleeping_ > 0 && nextToRead_ + kReadAheadWindow / 2 <= nextToTake_ + kReadAheadWindow;
    }
    if (wake) {
        roomAhead_.notify_all();
    }

    if (readHere || mayHaveRaced(slot)) {
        slot.header = readHeaderBytes(path(index));
    } else if (slot.failure) {
        std::rethrow_exception(slot.failure);
    }
    // Until now the entry of the file a window before this one.
    recent_[index % kReadAheadWindow] = Recent{slot.header.device, slot.header.inode, false};
    return slot.header;
}

bool HeaderReadAhead::mayHaveRaced(const Slot& slot) const {
    return std::any_of(recent_.begin(), recent_.end(), [&slot](const Recent& recent) {
        return recent.renamed && (slot.failure || (recent.device == slot.header.device &&
                                                   recent.inode == slot.header.inode));
    });
}

void HeaderReadAhead::lastTakenRenamed() {
    if (taken_ > 0) {
        recent_[(taken_ - 1) % kReadAheadWindow].renamed = true;
    }
}

} // namespace quillmark
