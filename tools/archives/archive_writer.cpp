#include "archive_writer.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <fstream>
#include <lzma.h>
#include <memory>
#include <stdexcept>

namespace quillmark::archives {

namespace {

using Writer = std::unique_ptr<archive, decltype(&archive_write_free)>;
using Entry = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

void check(archive* a, int status) {
    if (status < ARCHIVE_WARN) {
        const char* message = archive_error_string(a);
        throw std::runtime_error(message != nullptr ? message : "libarchive failed");
    }
}

la_ssize_t append(archive*, void* data, const void* buffer, size_t length) {
    static_cast<std::string*>(data)->append(static_cast<const char*>(buffer), length);
    return static_cast<la_ssize_t>(length);
}

std::string littleEndian(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) {
        text += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return text;
}

std::uint32_t crc32(std::string_view bytes) {
    return static_cast<std::uint32_t>(
        lzma_crc32(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 0));
}

// 7z's variable-length number: as many leading one bits in the first byte as
// bytes follow, the value's high bits in the rest of it.
std::string sevenZipNumber(std::uint64_t value) {
    for (int extra = 0; extra < 8; ++extra) {
        if (value < (std::uint64_t{1} << (7 * (extra + 1)))) {
            const auto first =
                static_cast<char>(((0xFF00 >> extra) & 0xFF) | (value >> (8 * extra)));
            return first + littleEndian(value, extra);
        }
    }
    return '\xFF' + littleEndian(value, 8);
}

// The archive's parts: its data and its directory, and the archive made of them again.
struct SevenZipParts {
    std::string data;
    std::string directory;
};

SevenZipParts splitSevenZip(const std::string& archive) {
    const auto field = [&](std::size_t at) {
        std::size_t value = 0;
        for (std::size_t i = 8; i-- > 0;) {
            value = value << 8 | static_cast<std::uint8_t>(archive.at(at + i));
        }
        return value;
    };
    const std::size_t offset = field(12);
    const std::size_t size = field(20);
    return {archive.substr(32, offset), archive.substr(32 + offset, size)};
}

std::string joinSevenZip(const SevenZipParts& parts) {
    const std::string next = littleEndian(parts.data.size(), 8) +
                             littleEndian(parts.directory.size(), 8) +
                             littleEndian(crc32(parts.directory), 4);
    return std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8) + littleEndian(crc32(next), 4) + next +
           parts.data + parts.directory;
}

} // namespace

std::string editSevenZipDirectory(const std::string& archive,
                                  const std::function<void(std::string& directory)>& edit) {
    SevenZipParts parts = splitSevenZip(archive);
    edit(parts.directory);
    return joinSevenZip(parts);
}

std::string compressSevenZipDirectory(const std::string& archive, std::uint32_t dictionary) {
    SevenZipParts parts = splitSevenZip(archive);
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 6);
    options.dict_size = std::min(dictionary, 1u << 16);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::string packed(parts.directory.size() + 1024, '\0');
    std::size_t packedSize = 0;
    std::uint8_t properties[5] = {};
    if (lzma_raw_buffer_encode(
            filters, nullptr, reinterpret_cast<const std::uint8_t*>(parts.directory.data()),
            parts.directory.size(), reinterpret_cast<std::uint8_t*>(packed.data()), &packedSize,
            packed.size()) != LZMA_OK ||
        lzma_properties_encode(filters, properties) != LZMA_OK) {
        throw std::runtime_error("cannot compress a 7z directory");
    }
    packed.resize(packedSize);
    const std::string encoded =
        "\x17\x06" + sevenZipNumber(parts.data.size()) + sevenZipNumber(1) + "\x09" +
        sevenZipNumber(packed.size()) +
        std::string("\x00\x07\x0B\x01\x00\x01\x23\x03\x01\x01\x05", 11) +
        std::string(reinterpret_cast<const char*>(properties), 1) + littleEndian(dictionary, 4) +
        "\x0C" + sevenZipNumber(parts.directory.size()) + "\x0A\x01" +
        littleEndian(crc32(parts.directory), 4) + std::string("\x00\x00", 2);
    return joinSevenZip({parts.data + packed, encoded});
}

std::string writeArchive(const std::vector<ArchiveEntry>& entries, const ArchiveStyle& style) {
    const Writer writer(archive_write_new(), archive_write_free);
    archive* a = writer.get();
    std::string bytes;
    check(a, archive_write_set_format_by_name(a, style.format.c_str()));
    if (!style.options.empty()) {
        check(a, archive_write_set_options(a, style.options.c_str()));
    }
    if (!style.passphrase.empty()) {
        check(a, archive_write_set_passphrase(a, style.passphrase.c_str()));
    }
    check(a, archive_write_set_bytes_in_last_block(a, 1)); // no padding after the archive
    check(a, archive_write_open(a, &bytes, nullptr, append, nullptr));
    for (const ArchiveEntry& member : entries) {
        const Entry entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(entry.get(), member.name.c_str());
        archive_entry_set_filetype(entry.get(), member.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), member.folder ? 0755 : 0644);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(member.bytes.size()));
        archive_entry_set_mtime(entry.get(), 946684800,
                                0); // a fixed time: the same bytes every run
        check(a, archive_write_header(a, entry.get()));
        if (!member.bytes.empty() &&
            archive_write_data(a, member.bytes.data(), member.bytes.size()) < 0) {
            check(a, ARCHIVE_FATAL);
        }
    }
    check(a, archive_write_close(a));
    return bytes;
}

void writeFileBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace quillmark::archives
