#include "fsys/archive_header.h"

#include "fsys/archive_layout.h"
#include "fsys/file_failure.h"
#include "fsys/header_file.h"
#include "fsys/posix/system_calls.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <array>
#include <cerrno>
#include <memory>
#include <optional>

namespace quillmark {

namespace {

// The archive's bytes through the system-call seam, at any offset. Its first
// and last kArchiveEndBytes are read once each and kept: the member's start,
// its local header and the directory lie there in all but odd archives, so
// the survey and libarchive look at them without a further call.
class DescriptorSource : public ArchiveSource {
public:
    DescriptorSource(int fd, std::uint64_t size, const std::string& path)
        : fd_(fd), size_(size), path_(path) {
        // A small archive is one window.
        const std::uint64_t headEnd = size_ <= 2 * kArchiveEndBytes ? size_ : kArchiveEndBytes;
        head_.end = headEnd;
        tail_.start = std::max(headEnd, size_ - std::min(size_, kArchiveEndBytes));
        tail_.end = size_;
    }

    std::uint64_t size() const override { return size_; }

    std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        const std::uint64_t end =
            offset + std::min<std::uint64_t>(count, size_ - std::min(offset, size_));
        for (Window* window : {&head_, &tail_}) {
            if (offset >= window->start && end <= window->end && offset < end) {
                if (!window->read) {
                    window->length =
                        readDirect(window->start, window->bytes.data(),
                                   static_cast<std::size_t>(window->end - window->start));
                    window->read = true;
                }
                if (end <= window->start + window->length) {
                    std::copy_n(window->bytes.begin() + (offset - window->start), end - offset,
                                into);
                    return static_cast<std::size_t>(end - offset);
                }
            }
        }
        return readDirect(offset, into, count);
    }

private:
    struct Window {
        std::uint64_t start = 0;
        std::uint64_t end = 0;
        std::uint64_t length = 0; // read: less than end - start where the file shrank since
        bool read = false;
        // Not zeroed: only the bytes read are ever looked at.
        std::array<std::uint8_t, 2 * kArchiveEndBytes> bytes;
    };

    std::size_t readDirect(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
        std::size_t done = 0;
        while (done < count && offset + done < size_) {
            const ssize_t n = retryInterrupted([&] {
                return systemCalls().pread(fd_, into + done, count - done,
                                           static_cast<off_t>(offset + done));
            });
            if (n < 0) {
                throw failureFromErrno(errno, path_);
            }
            if (n == 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    int fd_;
    std::uint64_t size_;
    const std::string& path_;
    Window head_;
    Window tail_;
};

// What libarchive's callbacks read from: a small block at a time, so that
// one call for data decompresses at most that much of the member's
// compressed bytes. The archive starts at `base` for libarchive: a zip is
// read from its member's local header on.
struct Client {
    Client(DescriptorSource& from, std::uint64_t start) : source(from), base(start) {}

    DescriptorSource& source;
    std::uint64_t base;
    std::uint64_t position = 0; // from base
    std::array<std::uint8_t, 1024> block{};
    std::optional<FileFailure> failure; // a failure of the file, not of the archive

    std::uint64_t size() const { return source.size() - base; }
};

la_ssize_t readBlock(archive* reader, void* data, const void** block) {
    Client& client = *static_cast<Client*>(data);
    try {
        const std::size_t n = client.source.readAt(client.base + client.position,
                                                   client.block.data(), client.block.size());
        client.position += n;
        *block = client.block.data();
        return static_cast<la_ssize_t>(n);
    } catch (const FileFailure& failure) {
        client.failure = failure;
        archive_set_error(reader, EIO, "%s", failure.what());
        return ARCHIVE_FATAL;
    }
}

la_int64_t seekTo(archive*, void* data, la_int64_t offset, int whence) {
    Client& client = *static_cast<Client*>(data);
    const auto size = static_cast<la_int64_t>(client.size());
    const la_int64_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? static_cast<la_int64_t>(client.position)
                                                 : size;
    if (offset < -base || offset > size - base) {
        return ARCHIVE_FATAL;
    }
    client.position = static_cast<std::uint64_t>(base + offset);
    return base + offset;
}

la_int64_t skipAhead(archive*, void* data, la_int64_t request) {
    Client& client = *static_cast<Client*>(data);
    const auto left = static_cast<la_int64_t>(client.size() - client.position);
    const la_int64_t skipped = request < 0 ? 0 : std::min(request, left);
    client.position += static_cast<std::uint64_t>(skipped);
    return skipped;
}

using Reader = std::unique_ptr<archive, decltype(&archive_read_free)>;

// The refusal for libarchive's failure: the file's own failure is thrown.
ArchiveRefusal failed(const Client& client) {
    if (client.failure) {
        throw *client.failure;
    }
    return ArchiveRefusal::Damaged;
}

// The first bytes of the member the survey found, through libarchive. Only
// the formats are enabled, no filters: no external program is ever started
// and no outer compression is undone. A zip is read as a stream from the
// member's local header, which the survey checked against the directory:
// libarchive then reads no directory of its own, and meets the member the
// survey allowed.
ArchiveRefusal readMember(DescriptorSource& source, const ArchiveLayout& layout,
                          HeaderBytes& header) {
    const bool zip = layout.kind == ArchiveKind::Zip;
    Client client(source, zip ? layout.localHeaderOffset : 0);
    const Reader reader(archive_read_new(), archive_read_free);
    archive* a = reader.get();
    if (a == nullptr) {
        throw std::bad_alloc();
    }
    if ((zip ? archive_read_support_format_zip_streamable(a)
             : archive_read_support_format_7zip(a)) != ARCHIVE_OK ||
        archive_read_set_read_callback(a, readBlock) != ARCHIVE_OK ||
        (!zip && archive_read_set_seek_callback(a, seekTo) != ARCHIVE_OK) ||
        archive_read_set_skip_callback(a, skipAhead) != ARCHIVE_OK ||
        archive_read_set_callback_data(a, &client) != ARCHIVE_OK) {
        return ArchiveRefusal::Damaged;
    }
    archive_entry* entry = nullptr;
    if (archive_read_open1(a) != ARCHIVE_OK || archive_read_next_header(a, &entry) < ARCHIVE_WARN) {
        return failed(client);
    }
    if (archive_entry_is_encrypted(entry)) {
        return ArchiveRefusal::Encrypted;
    }
    if (archive_entry_filetype(entry) != AE_IFREG) {
        return ArchiveRefusal::NotRegularFile;
    }
    while (header.length < kHeaderSize) {
        const la_ssize_t n =
            archive_read_data(a, header.bytes.data() + header.length, kHeaderSize - header.length);
        if (n < 0) {
            header = HeaderBytes{};
            return failed(client);
        }
        if (n == 0) {
            break;
        }
        header.length += static_cast<std::size_t>(n);
    }
    return ArchiveRefusal::None;
}

} // namespace

ArchiveHeader readArchiveHeader(const std::string& path, LinkMode links) {
    return OpenedHeaderFile(path, links).readArchive(path);
}

ArchiveHeader OpenedHeaderFile::readArchive(const std::string& path) const {
    ArchiveHeader result;
    if (!regularFile_) {
        return result;
    }
    DescriptorSource source(fd_, static_cast<std::uint64_t>(stamp_.size), path);
    ArchiveLayout layout = surveyArchive(source);
    result.refusal = layout.refusal;
    result.kind = layout.kind;
    result.memberName = std::move(layout.memberName);
    result.memberSize = layout.memberSize;
    if (result.refusal == ArchiveRefusal::None) {
        result.refusal = readMember(source, layout, result.header);
    }
    if (result.refusal == ArchiveRefusal::None) {
        result.header.regularFile = true;
        result.header.stamp = stamp_;
    } else {
        result.header = HeaderBytes{};
    }
    return result;
}

std::string_view archiveRefusalText(ArchiveRefusal refusal) {
    switch (refusal) {
    case ArchiveRefusal::None:
        return "";
    case ArchiveRefusal::NotAnArchive:
        return "not a zip or 7z archive";
    case ArchiveRefusal::NoMember:
        return "the archive is empty";
    case ArchiveRefusal::SeveralMembers:
        return "the archive holds more than one member";
    case ArchiveRefusal::Encrypted:
        return "the archive is encrypted";
    case ArchiveRefusal::NotRegularFile:
        return "the archive's member is not a regular file";
    case ArchiveRefusal::UnsupportedMethod:
        return "the archive uses a compression method that cannot be read";
    case ArchiveRefusal::BeyondLimits:
        return "the archive asks for more memory than allowed";
    case ArchiveRefusal::Damaged:
        return "the archive is damaged";
    }
    return "the archive is damaged";
}

} // namespace quillmark
