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

    // Writes `bytes` whole at the end. Throws FileFailure.
    void append(std::string_view bytes);
    // Makes what was written durable (its data; its name is the folder's).
    // Throws FileFailure.
    void syncData();

private:
    explicit AppendFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
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
