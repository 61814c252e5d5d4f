#include "fsys/archive_header.h"

#include "fsys/archive_layout.h"
#include "fsys/file_failure.h"
#include "fsys/posix/file_handle.h"
#include "fsys/posix/system_calls.h"

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace quillmark {

namespace {

// The archive's bytes through the system-call seam, at any offset.
class DescriptorSource : public ArchiveSource {
public:
    DescriptorSource(int fd, std::uint64_t size, const std::string& path)
        : fd_(fd), size_(size), path_(path) {}

    std::uint64_t size() const override { return size_; }

    std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
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

    const std::string& path() const { return path_; }

private:
    int fd_;
    std::uint64_t size_;
    const std::string& path_;
};

// What libarchive's callbacks read from: 4 KiB at a time, so that one call
// for data decompresses at most that much of the member's compressed bytes.
struct Client {
    explicit Client(DescriptorSource& from) : source(from) {}

    DescriptorSource& source;
    std::uint64_t position = 0;
    std::vector<std::uint8_t> block = std::vector<std::uint8_t>(4u << 10);
    std::optional<FileFailure> failure; // a failure of the file, not of the archive
};

la_ssize_t readBlock(archive* reader, void* data, const void** block) {
    Client& client = *static_cast<Client*>(data);
    try {
        const std::size_t n =
            client.source.readAt(client.position, client.block.data(), client.block.size());
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
    const auto size = static_cast<la_int64_t>(client.source.size());
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
    const auto left = static_cast<la_int64_t>(client.source.size() - client.position);
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
// and no outer compression is undone.
ArchiveRefusal readMember(DescriptorSource& source, ArchiveKind kind, HeaderBytes& header) {
    Client client(source);
    const Reader reader(archive_read_new(), archive_read_free);
    archive* a = reader.get();
    if (a == nullptr) {
        throw std::bad_alloc();
    }
    if ((kind == ArchiveKind::Zip ? archive_read_support_format_zip_seekable(a)
                                  : archive_read_support_format_7zip(a)) != ARCHIVE_OK ||
        archive_read_set_read_callback(a, readBlock) != ARCHIVE_OK ||
        archive_read_set_seek_callback(a, seekTo) != ARCHIVE_OK ||
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

ArchiveHeader readArchiveHeader(const std::string& path) {
    struct stat status {};
    const FileHandle file(path, status);
    ArchiveHeader result;
    if (!S_ISREG(status.st_mode)) {
        return result;
    }
    DescriptorSource source(file.fd(), static_cast<std::uint64_t>(status.st_size), path);
    ArchiveLayout layout = surveyArchive(source);
    result.refusal = layout.refusal;
    result.kind = layout.kind;
    result.memberName = std::move(layout.memberName);
    result.memberSize = layout.memberSize;
    if (result.refusal == ArchiveRefusal::None) {
        result.refusal = readMember(source, result.kind, result.header);
    }
    if (result.refusal == ArchiveRefusal::None) {
        result.header.regularFile = true;
        result.header.stamp = stampOf(status);
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
