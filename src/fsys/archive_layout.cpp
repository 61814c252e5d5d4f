#include "archive_layout.h"

#include "checksum.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <lzma.h>
#include <optional>
#include <vector>

namespace quillmark {

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 7z header of one member is a few hundred bytes; this leaves room for a
// long name and still keeps a crafted directory small.
constexpr std::uint64_t kDirectoryLimit = 64u << 10;
// libarchive looks for the end of a zip's directory in this much of its tail.
constexpr std::uint64_t kZipTail = 16u << 10;
// Where the end record is looked for first.
constexpr std::uint64_t kZipQuickTail = 1u << 10;

struct Refused {
    ArchiveRefusal refusal;
};

[[noreturn]] void refuse(ArchiveRefusal refusal) {
    throw Refused{refusal};
}

void require(bool holds) {
    if (!holds) {
        refuse(ArchiveRefusal::Damaged);
    }
}

std::uint64_t little(const std::uint8_t* at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | at[i];
    }
    return value;
}

// Exactly `count` bytes at `offset`, or the archive is damaged.
Bytes readExactly(ArchiveSource& source, std::uint64_t offset, std::uint64_t count) {
    require(offset <= source.size() && count <= source.size() - offset);
    Bytes bytes(static_cast<std::size_t>(count));
    require(source.readAt(offset, bytes.data(), bytes.size()) == bytes.size());
    return bytes;
}

// Refuses a dictionary or window the decompressor would have to allocate.
void requireWithinLimit(std::uint64_t bytes) {
    if (bytes > kArchiveMemoryLimit) {
        refuse(ArchiveRefusal::BeyondLimits);
    }
}

// LZMA2's one property byte: 2 or 3 times a power of two (40: 4 GiB).
std::uint64_t lzma2Dictionary(std::uint8_t property) {
    return std::uint64_t{2u | (property & 1u)} << (property / 2 + 11);
}

// ---- 7z -----------------------------------------------------------------

enum SevenZipId : std::uint8_t {
    kEnd = 0x00,
    kHeader = 0x01,
    kArchiveProperties = 0x02,
    kAdditionalStreamsInfo = 0x03,
    kMainStreamsInfo = 0x04,
    kFilesInfo = 0x05,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kNumUnpackStream = 0x0D,
    kEmptyStream = 0x0E,
    kEmptyFile = 0x0F,
    kName = 0x11,
    kAttributes = 0x15,
    kEncodedHeader = 0x17,
};

constexpr std::uint64_t kCopy = 0x00, kLzma2 = 0x21, kLzma = 0x030101, kPpmd = 0x030401;

// Reads a 7z header, every read checked against its end.
class Cursor {
public:
    explicit Cursor(const Bytes& bytes) : bytes_(bytes) {}

    std::uint8_t byte() {
        require(at_ < bytes_.size());
        return bytes_[at_++];
    }
    const std::uint8_t* take(std::uint64_t count) {
        require(count <= bytes_.size() - at_);
        const std::uint8_t* start = bytes_.data() + at_;
        at_ += static_cast<std::size_t>(count);
        return start;
    }
    // The variable-length number: the leading one bits of the first byte
    // tell how many bytes follow.
    std::uint64_t number() {
        const std::uint8_t first = byte();
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            const auto mask = static_cast<std::uint8_t>(0x80u >> i);
            if ((first & mask) == 0) {
                return value | (static_cast<std::uint64_t>(first & (mask - 1u)) << (8 * i));
            }
            value |= static_cast<std::uint64_t>(byte()) << (8 * i);
        }
        return value;
    }
    // A count of things that each take at least one byte of what is left,
    // so no crafted count makes a vector larger than the header.
    std::size_t count() {
        const std::uint64_t n = number();
        require(n <= bytes_.size() - at_);
        return static_cast<std::size_t>(n);
    }
    void expect(std::uint8_t id) { require(byte() == id); }

private:
    const Bytes& bytes_;
    std::size_t at_ = 0;
};

struct Coder {
    std::uint64_t method = 0;
    Bytes properties;
};

struct Folder {
    std::vector<Coder> coders;
    std::size_t outputs = 1;
    std::size_t mainOutput = 0;   // the output no other coder takes
    std::uint64_t unpackSize = 0; // of that output
    std::optional<std::uint32_t> crc;
    std::size_t unpackStreams = 1;
};

struct StreamsInfo {
    std::uint64_t packPosition = 0;
    std::vector<std::uint64_t> packSizes;
    std::vector<Folder> folders;
};

std::vector<bool> readBits(Cursor& in, std::size_t count) {
    std::vector<bool> bits(count);
    std::uint8_t current = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i % 8 == 0) {
            current = in.byte();
        }
        bits[i] = (current & (0x80u >> (i % 8))) != 0;
    }
    return bits;
}

std::vector<std::optional<std::uint32_t>> readDigests(Cursor& in, std::size_t count) {
    const bool allDefined = in.byte() != 0;
    const std::vector<bool> defined =
        allDefined ? std::vector<bool>(count, true) : readBits(in, count);
    std::vector<std::optional<std::uint32_t>> digests(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (defined[i]) {
            digests[i] = static_cast<std::uint32_t>(little(in.take(4), 4));
        }
    }
    return digests;
}

void readPackInfo(Cursor& in, StreamsInfo& info) {
    info.packPosition = in.number();
    const std::size_t streams = in.count();
    std::uint8_t id = in.byte();
    if (id == kSize) {
        for (std::size_t i = 0; i < streams; ++i) {
            info.packSizes.push_back(in.number());
        }
        id = in.byte();
    }
    if (id == kCrc) {
        readDigests(in, streams);
        id = in.byte();
    }
    require(id == kEnd && info.packSizes.size() == streams);
}

Folder readFolder(Cursor& in) {
    Folder folder;
    const std::size_t coders = in.count();
    require(coders >= 1 && coders <= 8);
    std::uint64_t inStreams = 0, outStreams = 0;
    for (std::size_t i = 0; i < coders; ++i) {
        const std::uint8_t flags = in.byte();
        if ((flags & 0x80) != 0) {
            refuse(ArchiveRefusal::UnsupportedMethod);
        }
        Coder coder;
        coder.method = 0;
        const std::size_t idSize = flags & 0x0Fu;
        require(idSize <= 8);
        const std::uint8_t* id = in.take(idSize);
        for (std::size_t b = 0; b < idSize; ++b) {
            coder.method = coder.method << 8 | id[b];
        }
        std::uint64_t coderIn = 1, coderOut = 1;
        if ((flags & 0x10) != 0) {
            coderIn = in.count();
            coderOut = in.count();
        }
        if ((flags & 0x20) != 0) {
            const std::size_t size = in.count();
            const std::uint8_t* properties = in.take(size);
            coder.properties.assign(properties, properties + size);
        }
        inStreams += coderIn;
        outStreams += coderOut;
        folder.coders.push_back(std::move(coder));
    }
    // Every output but the last feeds an input, and at least one input is packed.
    require(outStreams >= 1 && outStreams <= 32 && inStreams >= outStreams && inStreams <= 32);
    std::vector<bool> bound(static_cast<std::size_t>(outStreams));
    for (std::uint64_t i = 0; i + 1 < outStreams; ++i) {
        in.number(); // the input this output feeds
        const std::uint64_t output = in.number();
        require(output < outStreams);
        bound[static_cast<std::size_t>(output)] = true;
    }
    const std::uint64_t packed = inStreams - outStreams + 1;
    if (packed > 1) {
        for (std::uint64_t i = 0; i < packed; ++i) {
            in.number();
        }
    }
    folder.outputs = static_cast<std::size_t>(outStreams);
    folder.mainOutput =
        static_cast<std::size_t>(std::find(bound.begin(), bound.end(), false) - bound.begin());
    return folder;
}

void readUnpackInfo(Cursor& in, StreamsInfo& info) {
    in.expect(kFolder);
    const std::size_t folders = in.count();
    if (in.byte() != 0) {
        refuse(ArchiveRefusal::UnsupportedMethod); // folders kept elsewhere
    }
    for (std::size_t i = 0; i < folders; ++i) {
        info.folders.push_back(readFolder(in));
    }
    in.expect(kCodersUnpackSize);
    for (Folder& folder : info.folders) {
        for (std::size_t output = 0; output < folder.outputs; ++output) {
            const std::uint64_t size = in.number();
            if (output == folder.mainOutput) {
                folder.unpackSize = size;
            }
        }
    }
    std::uint8_t id = in.byte();
    if (id == kCrc) {
        const auto digests = readDigests(in, folders);
        for (std::size_t i = 0; i < folders; ++i) {
            info.folders[i].crc = digests[i];
        }
        id = in.byte();
    }
    require(id == kEnd);
}

void readSubStreamsInfo(Cursor& in, StreamsInfo& info) {
    std::uint8_t id = in.byte();
    if (id == kNumUnpackStream) {
        for (Folder& folder : info.folders) {
            folder.unpackStreams = in.count();
        }
        id = in.byte();
    }
    if (id == kSize) {
        for (const Folder& folder : info.folders) {
            for (std::size_t i = 1; i < folder.unpackStreams; ++i) {
                in.number();
            }
        }
        id = in.byte();
    }
    if (id == kCrc) {
        std::size_t unknown = 0;
        for (const Folder& folder : info.folders) {
            if (folder.unpackStreams != 1 || !folder.crc) {
                unknown += folder.unpackStreams;
            }
        }
        readDigests(in, unknown);
        id = in.byte();
    }
    require(id == kEnd);
}

StreamsInfo readStreamsInfo(Cursor& in) {
    StreamsInfo info;
    std::uint8_t id = in.byte();
    if (id == kPackInfo) {
        readPackInfo(in, info);
        id = in.byte();
    }
    if (id == kUnpackInfo) {
        readUnpackInfo(in, info);
        id = in.byte();
    }
    if (id == kSubStreamsInfo) {
        readSubStreamsInfo(in, info);
        id = in.byte();
    }
    require(id == kEnd);
    return info;
}

// The memory a coder's decoder allocates, by its declared properties.
void checkCoder(const Coder& coder) {
    const Bytes& p = coder.properties;
    switch (coder.method) {
    case kLzma:
    case kPpmd: // both: a leading byte, then the dictionary or model size
        require(p.size() >= 5);
        requireWithinLimit(little(p.data() + 1, 4));
        return;
    case kLzma2:
        require(!p.empty() && p[0] <= 40);
        requireWithinLimit(lzma2Dictionary(p[0]));
        return;
    case kCopy:
    case 0x03:       // delta
    case 0x040108:   // deflate
    case 0x040202:   // bzip2
    case 0x03030103: // the branch converters for x86, x86 BCJ2, PowerPC,
    case 0x0303011B: // IA-64, ARM, ARM Thumb and SPARC code
    case 0x03030205:
    case 0x03030401:
    case 0x03030501:
    case 0x03030701:
    case 0x03030805:
        return;
    default:
        refuse((coder.method >> 24) == 0x06 ? ArchiveRefusal::Encrypted
                                            : ArchiveRefusal::UnsupportedMethod);
    }
}

void checkFolders(const std::vector<Folder>& folders) {
    // Encryption is named before any other reason.
    for (const Folder& folder : folders) {
        for (const Coder& coder : folder.coders) {
            if ((coder.method >> 24) == 0x06) {
                refuse(ArchiveRefusal::Encrypted);
            }
        }
    }
    for (const Folder& folder : folders) {
        for (const Coder& coder : folder.coders) {
            checkCoder(coder);
        }
    }
}

std::string utf8FromUtf16(const std::uint8_t* data, std::size_t units) {
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(little(data + 2 * i, 2));
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            const auto low = static_cast<std::uint32_t>(little(data + 2 * i + 2, 2));
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // a lone surrogate
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | c >> 12);
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | c >> 18);
            text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

// The one file's properties; several files are refused as soon as counted.
void readFilesInfo(Cursor& in, const StreamsInfo& streams, ArchiveLayout& layout) {
    const std::uint64_t files = in.number();
    if (files == 0) {
        refuse(ArchiveRefusal::NoMember);
    }
    if (files > 1) {
        refuse(ArchiveRefusal::SeveralMembers);
    }
    bool emptyStream = false, emptyFile = false;
    std::optional<std::uint32_t> attributes;
    for (;;) {
        const std::uint64_t type = in.number();
        if (type == kEnd) {
            break;
        }
        const std::size_t size = in.count();
        const std::uint8_t* start = in.take(size);
        const Bytes property(start, start + size);
        Cursor data(property);
        if (type == kEmptyStream) {
            emptyStream = readBits(data, 1)[0];
        } else if (type == kEmptyFile) {
            emptyFile = readBits(data, 1)[0];
        } else if (type == kName) {
            require(data.byte() == 0 && size % 2 == 1);
            std::size_t units = (size - 1) / 2;
            const std::uint8_t* name = data.take(units * 2);
            while (units > 0 && little(name + 2 * (units - 1), 2) == 0) {
                --units;
            }
            layout.memberName = utf8FromUtf16(name, units);
        } else if (type == kAttributes) {
            const bool defined = data.byte() != 0 || readBits(data, 1)[0];
            require(data.byte() == 0);
            if (defined) {
                attributes = static_cast<std::uint32_t>(little(data.take(4), 4));
            }
        }
    }
    std::size_t streamCount = 0;
    for (const Folder& folder : streams.folders) {
        streamCount += folder.unpackStreams;
    }
    require(streamCount == (emptyStream ? 0u : 1u));
    const bool folderEntry = emptyStream && !emptyFile;
    const bool directoryBit = attributes && (*attributes & 0x10) != 0;
    // The high half holds a Unix mode where 0x8000 says so.
    const std::uint32_t unixType =
        attributes && (*attributes & 0x8000) != 0 ? (*attributes >> 16) & 0xF000 : 0;
    if (folderEntry || directoryBit || (unixType != 0 && unixType != 0x8000)) {
        refuse(ArchiveRefusal::NotRegularFile);
    }
    if (!emptyStream) {
        for (const Folder& folder : streams.folders) {
            layout.memberSize += folder.unpackStreams == 1 ? folder.unpackSize : 0;
        }
    }
}

void readHeader(const Bytes& bytes, ArchiveLayout& layout) {
    Cursor in(bytes);
    in.expect(kHeader);
    std::uint8_t id = in.byte();
    if (id == kArchiveProperties) {
        while (in.number() != 0) {
            in.take(in.count());
        }
        id = in.byte();
    }
    if (id == kAdditionalStreamsInfo) {
        refuse(ArchiveRefusal::UnsupportedMethod);
    }
    StreamsInfo streams;
    if (id == kMainStreamsInfo) {
        streams = readStreamsInfo(in);
        id = in.byte();
    }
    if (id != kFilesInfo) {
        refuse(ArchiveRefusal::NoMember);
    }
    checkFolders(streams.folders);
    readFilesInfo(in, streams, layout);
    in.expect(kEnd);
}

// A header compressed with LZMA or LZMA2, as 7-Zip writes it by default:
// decoded here, within the directory limit, after its dictionary is checked.
Bytes decodeHeader(ArchiveSource& source, Cursor& in) {
    const StreamsInfo info = readStreamsInfo(in);
    require(info.folders.size() == 1 && info.packSizes.size() == 1 &&
            info.folders[0].coders.size() == 1);
    const Folder& folder = info.folders[0];
    const Coder& coder = folder.coders[0];
    checkFolders(info.folders);
    if (coder.method != kLzma && coder.method != kLzma2 && coder.method != kCopy) {
        refuse(ArchiveRefusal::UnsupportedMethod);
    }
    if (folder.unpackSize > kDirectoryLimit || info.packSizes[0] > kDirectoryLimit) {
        refuse(ArchiveRefusal::BeyondLimits);
    }
    require(info.packPosition <= source.size());
    const Bytes packed = readExactly(source, 32 + info.packPosition, info.packSizes[0]);
    Bytes header(static_cast<std::size_t>(folder.unpackSize));
    if (coder.method == kCopy) {
        require(packed.size() == header.size());
        header = packed;
    } else {
        lzma_filter filters[2] = {
            {coder.method == kLzma ? LZMA_FILTER_LZMA1 : LZMA_FILTER_LZMA2, nullptr},
            {LZMA_VLI_UNKNOWN, nullptr}};
        require(lzma_properties_decode(&filters[0], nullptr, coder.properties.data(),
                                       coder.properties.size()) == LZMA_OK);
        lzma_stream stream = LZMA_STREAM_INIT;
        const lzma_ret started = lzma_raw_decoder(&stream, filters);
        std::free(filters[0].options);
        require(started == LZMA_OK);
        stream.next_in = packed.data();
        stream.avail_in = packed.size();
        stream.next_out = header.data();
        stream.avail_out = header.size();
        const lzma_ret ended = lzma_code(&stream, LZMA_RUN);
        const bool whole = stream.avail_out == 0;
        lzma_end(&stream);
        require(whole && (ended == LZMA_OK || ended == LZMA_STREAM_END));
    }
    require(!folder.crc || *folder.crc == crc32(header.data(), header.size()));
    return header;
}

ArchiveLayout surveySevenZip(ArchiveSource& source) {
    ArchiveLayout layout;
    layout.refusal = ArchiveRefusal::None;
    layout.kind = ArchiveKind::SevenZip;
    const Bytes start = readExactly(source, 0, 32);
    require(start[6] == 0 && little(&start[8], 4) == crc32(&start[12], 20));
    const std::uint64_t offset = little(&start[12], 8);
    const std::uint64_t size = little(&start[20], 8);
    if (size == 0) {
        refuse(ArchiveRefusal::NoMember);
    }
    require(offset <= source.size() && size <= source.size());
    if (size > kDirectoryLimit) {
        refuse(ArchiveRefusal::BeyondLimits);
    }
    Bytes header = readExactly(source, 32 + offset, size);
    require(little(&start[28], 4) == crc32(header.data(), header.size()));
    if (header[0] == kEncodedHeader) {
        Cursor in(header);
        in.byte();
        header = decodeHeader(source, in);
    }
    readHeader(header, layout);
    return layout;
}

// ---- zip ----------------------------------------------------------------

constexpr std::uint32_t kLocalSignature = 0x04034B50, kCentralSignature = 0x02014B50,
                        kEndSignature = 0x06054B50, kEnd64Signature = 0x06064B50,
                        kLocator64Signature = 0x07064B50;

std::uint32_t signatureAt(const Bytes& bytes, std::size_t at) {
    return at + 4 <= bytes.size() ? static_cast<std::uint32_t>(little(&bytes[at], 4)) : 0;
}

struct ZipDirectory {
    std::uint64_t entries = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t end = 0; // where the directory must end: its end record
};

// Finds the end record as libarchive does: the last one in the file's tail
// (not at the tail's very first byte), so both read the same directory. The
// last few KiB are searched first: most archives end with the record.
ZipDirectory findZipDirectory(ArchiveSource& source) {
    const std::uint64_t fullStart = source.size() - std::min(kZipTail, source.size());
    Bytes tail;
    std::uint64_t tailStart = 0;
    std::size_t at = 0;
    for (const std::uint64_t window : {kZipQuickTail, kZipTail}) {
        tailStart = source.size() - std::min(window, source.size());
        tail = readExactly(source, tailStart, source.size() - tailStart);
        at = tail.size() < 22 ? 0 : tail.size() - 22;
        while (at > 0 && signatureAt(tail, at) != kEndSignature) {
            --at;
        }
        // A record found first is the one the whole tail gives, when the
        // Zip64 locator before it would be in reach as well.
        if (tailStart == fullStart || (at >= 20 && signatureAt(tail, at) == kEndSignature)) {
            break;
        }
    }
    require(at > 0);
    const std::uint8_t* end = &tail[at];
    require(little(end + 4, 2) == 0 && little(end + 6, 2) == 0 &&
            little(end + 8, 2) == little(end + 10, 2));
    ZipDirectory directory{little(end + 10, 2), little(end + 16, 4), little(end + 12, 4),
                           tailStart + at};
    if (at >= 20 && signatureAt(tail, at - 20) == kLocator64Signature) {
        const std::uint8_t* locator = &tail[at - 20];
        require(little(locator + 4, 4) == 0 && little(locator + 16, 4) == 1);
        const std::uint64_t recordAt = little(locator + 8, 8);
        const Bytes record = readExactly(source, recordAt, 56);
        require(signatureAt(record, 0) == kEnd64Signature &&
                little(&record[24], 8) == little(&record[32], 8));
        directory = {little(&record[32], 8), little(&record[48], 8), little(&record[40], 8),
                     recordAt};
    }
    require(directory.offset <= directory.end &&
            directory.size <= directory.end - directory.offset);
    return directory;
}

struct ZipEntry {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localOffset = 0;
};

// The sizes and offset that do not fit 32 bits stand in the Zip64 field.
void readZip64Field(const std::uint8_t* extra, std::size_t length, ZipEntry& entry) {
    std::size_t at = 0;
    while (at + 4 <= length) {
        const std::uint64_t id = little(extra + at, 2);
        const std::size_t size = static_cast<std::size_t>(little(extra + at + 2, 2));
        require(at + 4 + size <= length);
        if (id == 1) {
            std::size_t field = at + 4;
            for (std::uint64_t* value : {&entry.size, &entry.compressedSize, &entry.localOffset}) {
                if (*value == 0xFFFFFFFFu) {
                    require(field + 8 <= at + 4 + size);
                    *value = little(extra + field, 8);
                    field += 8;
                }
            }
        }
        at += 4 + size;
    }
}

// The dictionary or window the member's decompressor declares in its first bytes.
void checkZipMethod(const ZipEntry& entry, const Bytes& data) {
    switch (entry.method) {
    case 0:  // stored
    case 8:  // deflate: a 32 KiB window
    case 12: // bzip2: at most 900 kB blocks
        return;
    case 14: // LZMA: version, properties size, then the properties
        require(data.size() >= 9 && little(&data[2], 2) == 5);
        requireWithinLimit(little(&data[5], 4));
        return;
    case 95: { // xz: the stream header, then the first block's filters
        static constexpr std::uint8_t kMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0};
        require(data.size() >= 13 && std::equal(kMagic, kMagic + 6, data.begin()));
        if (data[12] == 0) {
            return; // no block: an empty stream
        }
        const std::size_t end = 12 + (data[12] + 1u) * 4u;
        require(end <= data.size());
        std::size_t at = 14;
        const auto varint = [&] {
            std::uint64_t value = 0;
            for (int shift = 0; shift < 63; shift += 7) {
                require(at < end);
                const std::uint8_t b = data[at++];
                value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
                if ((b & 0x80) == 0) {
                    return value;
                }
            }
            refuse(ArchiveRefusal::Damaged);
        };
        const std::uint8_t blockFlags = data[13];
        for (const int present : {0x40, 0x80}) {
            if ((blockFlags & present) != 0) {
                varint();
            }
        }
        for (int filter = 0; filter <= (blockFlags & 3); ++filter) {
            const std::uint64_t id = varint();
            const std::uint64_t size = varint();
            require(size <= end - at);
            if (id == 0x21) {
                require(size == 1 && data[at] <= 40);
                requireWithinLimit(lzma2Dictionary(data[at]));
            }
            at += static_cast<std::size_t>(size);
        }
        return;
    }
    case 98: // PPMd: the model's size in MiB, less one, across two bytes
        require(data.size() >= 2);
        requireWithinLimit(
            (static_cast<std::uint64_t>(((data[0] >> 4) | (data[1] << 4)) & 0xFF) + 1) << 20);
        return;
    case 99: // AES
        refuse(ArchiveRefusal::Encrypted);
    default:
        refuse(ArchiveRefusal::UnsupportedMethod);
    }
}

ArchiveLayout surveyZip(ArchiveSource& source, bool emptyArchive) {
    ArchiveLayout layout;
    layout.refusal = ArchiveRefusal::None;
    layout.kind = ArchiveKind::Zip;
    if (emptyArchive) {
        // Nothing but an end record: libarchive would not recognise it.
        const Bytes end = readExactly(source, 0, 22);
        require(little(&end[8], 2) == 0 && little(&end[10], 2) == 0);
        refuse(ArchiveRefusal::NoMember);
    }
    const ZipDirectory directory = findZipDirectory(source);
    if (directory.entries == 0) {
        refuse(ArchiveRefusal::NoMember);
    }
    if (directory.entries > 1) {
        refuse(ArchiveRefusal::SeveralMembers);
    }
    // The one entry must fill the directory up to its end record: libarchive
    // reads entries until it meets that record, whatever the count says.
    require(directory.size >= 46 && directory.size <= 46 + 3 * 0xFFFFu &&
            directory.offset + directory.size == directory.end);
    const Bytes central = readExactly(source, directory.offset, directory.size);
    require(signatureAt(central, 0) == kCentralSignature);
    const std::size_t nameLength = static_cast<std::size_t>(little(&central[28], 2));
    const std::size_t extraLength = static_cast<std::size_t>(little(&central[30], 2));
    const std::size_t commentLength = static_cast<std::size_t>(little(&central[32], 2));
    require(46 + nameLength + extraLength + commentLength == central.size());
    ZipEntry entry{static_cast<std::uint16_t>(little(&central[8], 2)),
                   static_cast<std::uint16_t>(little(&central[10], 2)), little(&central[20], 4),
                   little(&central[24], 4), little(&central[42], 4)};
    readZip64Field(&central[46 + nameLength], extraLength, entry);
    layout.memberName.assign(reinterpret_cast<const char*>(&central[46]), nameLength);
    layout.memberSize = entry.size;

    if ((entry.flags & 0x41) != 0 || entry.method == 99) { // encrypted, strongly or not
        refuse(ArchiveRefusal::Encrypted);
    }
    const auto attributes = static_cast<std::uint32_t>(little(&central[38], 4));
    const std::uint8_t system = central[5];
    const std::uint32_t unixType = system == 3 ? (attributes >> 16) & 0xF000 : 0;
    if (layout.memberName.ends_with('/') || (system == 0 && (attributes & 0x10) != 0) ||
        (unixType != 0 && unixType != 0x8000)) {
        refuse(ArchiveRefusal::NotRegularFile);
    }

    const Bytes local = readExactly(source, entry.localOffset, 30);
    require(signatureAt(local, 0) == kLocalSignature);
    const std::uint16_t localFlags = static_cast<std::uint16_t>(little(&local[6], 2));
    if ((localFlags & 0x41) != 0) {
        refuse(ArchiveRefusal::Encrypted);
    }
    require(little(&local[8], 2) == entry.method);
    layout.localHeaderOffset = entry.localOffset;
    const std::uint64_t dataOffset =
        entry.localOffset + 30 + little(&local[26], 2) + little(&local[28], 2);
    require(dataOffset <= directory.offset &&
            entry.compressedSize <= directory.offset - dataOffset);
    // Enough for the largest xz block header.
    const std::uint64_t probe = std::min<std::uint64_t>(entry.compressedSize, 12 + 1024);
    checkZipMethod(entry, readExactly(source, dataOffset, probe));
    return layout;
}

} // namespace

std::optional<ArchiveKind> archiveKindByName(std::string_view fileName) {
    const auto endsWith = [fileName](std::string_view extension) {
        return fileName.size() >= extension.size() &&
               std::equal(extension.begin(), extension.end(),
                          fileName.end() - static_cast<std::ptrdiff_t>(extension.size()),
                          [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); });
    };
    for (const ArchiveKind kind : {ArchiveKind::Zip, ArchiveKind::SevenZip}) {
        if (endsWith(archiveExtension(kind))) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string_view archiveExtension(ArchiveKind kind) {
    return kind == ArchiveKind::Zip ? ".zip" : ".7z";
}

ArchiveLayout surveyArchive(ArchiveSource& source) {
    std::array<std::uint8_t, 6> magic{};
    const std::size_t length = source.readAt(0, magic.data(), magic.size());
    static constexpr std::array<std::uint8_t, 6> kSevenZip{'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
    const auto zipSignature = static_cast<std::uint32_t>(little(magic.data(), 4));
    ArchiveLayout layout;
    try {
        if (length == magic.size() && magic == kSevenZip) {
            return surveySevenZip(source);
        }
        if (length >= 4 && (zipSignature == kLocalSignature || zipSignature == kEndSignature)) {
            layout.kind = ArchiveKind::Zip;
            return surveyZip(source, zipSignature == kEndSignature);
        }
        return layout;
    } catch (const Refused& refused) {
        layout.kind = magic == kSevenZip ? ArchiveKind::SevenZip : ArchiveKind::Zip;
        layout.refusal = refused.refusal;
        return layout;
    }
}

} // namespace quillmark
