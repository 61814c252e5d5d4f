#pragma once

#include "file_stamp.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// A file one run appends its record to. It is locked (flock) while open, and
// the kernel drops the lock when the process dies: a locked record belongs to
// a run still going on, an unlocked unfinished one to a run that died.
class AppendFile {
public:
    // Creates `path`, which must not exist, and locks it. Throws FileFailure
    // (58 when the name is taken).
    static AppendFile create(const std::string& path);
    // Opens an existing record to go on with it, unless another process holds
    // it locked (nothing then). Throws FileFailure.
    static std::optional<AppendFile> openUnlocked(const std::string& path);

    AppendFile(AppendFile&& other) noexcept;
    AppendFile& operator=(AppendFile&&) = delete;
    AppendFile(const AppendFile&) = delete;
    ~AppendFile();

    // Adds `bytes` at the end. A file made by create takes them into a
    // shared mapping of its end: they are the kernel's once copied, so a
    // kill of the process loses none, and no call is made per append (the
    // file is then longer than what was added, by zero bytes, until
    // endAppends). Throws FileFailure.
    void append(std::string_view bytes);
    // Cuts the file to what was added and ends the mapping; later appends
    // are written. Throws FileFailure.
    void endAppends();
    // Cuts the file to its first `length` bytes (a record a killed run left
    // longer, by zero bytes). Throws FileFailure.
    void truncate(std::uint64_t length);
    // Makes what was added durable (its data; its name is the folder's).
    // Throws FileFailure.
    void syncData();

private:
    AppendFile(int fd, std::string path, bool mapped)
        : fd_(fd), path_(std::move(path)), mapped_(mapped) {}
    void grow(std::size_t needed);
    void write(std::string_view bytes);

    int fd_ = -1;
    std::string path_;
    bool mapped_ = false;
    char* map_ = nullptr;
    std::size_t capacity_ = 0; // of the mapping
    std::size_t used_ = 0;
};

// Makes the entries of `folder` durable (fsync of the folder). Throws FileFailure.
void syncFolder(const std::string& folder);

// Makes the whole file system that `folder` lies on durable at once. Throws FileFailure.
void syncFileSystemOf(const std::string& folder);

// Creates `folder` and the folders above it that are missing, readable by the
// user only. Throws FileFailure.
void makeFolders(const std::string& folder);

// The whole file (of any size). Throws FileFailure.
std::string readWholeFile(const std::string& path);

// Up to `length` bytes of the file from `offset` on. Throws FileFailure.
std::string readFileRange(const std::string& path, std::uint64_t offset, std::size_t length);

// Whether another process holds `path` locked (flock). Throws FileFailure.
bool isLockedByAnother(const std::string& path);

// Removes the name `path`. Throws FileFailure unless it was gone already.
void removeName(const std::string& path);

// Removes the name `extra` when it and `kept` are two hard links of one file,
// and only then (one entry reached under two spellings is not two links).
// Returns whether it did. Throws FileFailure.
bool removeSecondLink(const std::string& kept, const std::string& extra);

// The stamp of what `path` names (a link itself with NoFollow), nothing when
// nothing has that name. Throws FileFailure for any other failure.
std::optional<FileStamp> stampAt(const std::string& path, LinkMode links = LinkMode::NoFollow);

} // namespace quillmark
