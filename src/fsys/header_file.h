#pragma once

#include "archive_header.h"
#include "file_stamp.h"
#include "header_bytes.h"

#include <cstdint>
#include <string>

namespace quillmark {

// One open (read-only, non-blocking, close-on-exec), one fstat, one read, one
// close. A special file is opened without blocking and never read, so a FIFO
// in a ROM folder cannot hang the program; with NoFollow neither is a
// symbolic link. Throws FileFailure when the file cannot be opened or read.
HeaderBytes readHeaderBytes(const std::string& path, LinkMode links = LinkMode::Follow);

// The open and fstat of readHeaderBytes, made ahead of its read: while the
// file stays open, the disk may fetch its first bytes.
class OpenedHeaderFile {
public:
    // Throws FileFailure when the file cannot be opened.
    explicit OpenedHeaderFile(const std::string& path, LinkMode links = LinkMode::Follow);
    ~OpenedHeaderFile();
    OpenedHeaderFile(const OpenedHeaderFile&) = delete;
    OpenedHeaderFile& operator=(const OpenedHeaderFile&) = delete;

    std::uint64_t device() const { return stamp_.device; }
    std::uint64_t inode() const { return stamp_.inode; }

    // Asks the system to start fetching the header of a regular file (of an
    // archive: its first and last kArchiveEndBytes) and returns at once; true
    // when it was cached already (or is no regular file), as far as the
    // system tells. A hint: failures change nothing.
    bool prefetch(bool archive = false) const;

    // The rest of readHeaderBytes: the read, unless it is a special file.
    // Throws FileFailure naming `path`. Call it, or readArchive, once.
    HeaderBytes read(const std::string& path) const;

    // The rest of readArchiveHeader. Throws FileFailure naming `path`.
    ArchiveHeader readArchive(const std::string& path) const;

private:
    int fd_ = -1; // none for a link passed over
    FileStamp stamp_;
    bool regularFile_ = false;
};

} // namespace quillmark
