#include "archive_writer.h"
#include "fsys/archive_header.h"
#include "fsys/file_failure.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillmark {
namespace {

using archives::ArchiveEntry;
using archives::compressSevenZipDirectory;
using archives::editSevenZipDirectory;
using archives::writeArchive;
using test::TempFolder;
using R = ArchiveRefusal;

const std::string kRom = [] {
    const auto image = test::romImage({}, test::ByteOrder::V64, 100000);
    return std::string(image.begin(), image.end());
}();

std::string zip(const std::vector<ArchiveEntry>& entries, const std::string& options = "") {
    return writeArchive(entries, {"zip", options, ""});
}

std::string sevenZip(const std::vector<ArchiveEntry>& entries, const std::string& options = "") {
    return writeArchive(entries, {"7zip", options, ""});
}

// A stored member whose method is then said to be `method`, its data
// starting with `start`: a zip no writer at hand makes.
std::string relabelled(std::uint8_t method, const std::string& start) {
    std::string bytes = zip({{"game.z64", start + kRom}}, "zip:compression=store");
    bytes[8] = static_cast<char>(method);
    bytes[bytes.rfind("PK\x01\x02", std::string::npos, 4) + 10] = static_cast<char>(method);
    return bytes;
}

// The LZMA2 coder's dictionary property of a 7z directory, set to 1.5 GiB.
void hugeDictionary(std::string& directory) {
    directory.at(directory.find("\x21\x21\x01") + 3) = 37;
}

// The zip behind `stub` bytes of a leftover entry that its directory no
// longer lists, its offsets moved along: its member lies past the first bytes.
std::string behindStub(const std::string& zip, std::uint32_t stub) {
    std::string bytes = "PK\x03\x04" + std::string(stub - 4, 'x') + zip;
    for (const auto& [signature, field] : {std::pair{"PK\x01\x02", 42}, {"PK\x05\x06", 16}}) {
        const std::size_t at = bytes.rfind(signature) + static_cast<std::size_t>(field);
        std::uint32_t offset = 0;
        std::memcpy(&offset, &bytes[at], 4); // little-endian, as the machine
        offset += stub;
        std::memcpy(&bytes[at], &offset, 4);
    }
    return bytes;
}

std::string changed(std::string bytes, std::size_t at, char value) {
    bytes.at(at) = value;
    return bytes;
}

TEST(ArchiveHeader, ReadsOnlyTheOneRegularMember) {
    const std::vector<ArchiveEntry> one{{"game.z64", kRom}};
    const std::vector<ArchiveEntry> two{{"game.z64", kRom}, {"readme.txt", "hello"}};
    const std::string deflated = zip(one, "zip:compression=deflate");
    const std::size_t dataStart = 30 + 8 + 36; // the local header, the name, libarchive's extras
    struct Case {
        const char* label;
        std::string bytes;
        R refusal;
        ArchiveKind kind = ArchiveKind::Zip;
    };
    const std::vector<Case> cases{
        {"stored zip", zip(one, "zip:compression=store"), R::None},
        {"deflated zip", deflated, R::None},
        {"zip behind a leftover entry", behindStub(deflated, 20000), R::None},
        {"7z lzma", sevenZip(one, "7zip:compression=lzma1"), R::None, ArchiveKind::SevenZip},
        {"7z bzip2", sevenZip(one, "7zip:compression=bzip2"), R::None, ArchiveKind::SevenZip},
        {"7z with its directory compressed", compressSevenZipDirectory(sevenZip(one)), R::None,
         ArchiveKind::SevenZip},
        {"7z stored", sevenZip(one, "7zip:compression=store"), R::None, ArchiveKind::SevenZip},
        {"zip of two", zip(two), R::SeveralMembers},
        {"7z of two", sevenZip(two), R::SeveralMembers, ArchiveKind::SevenZip},
        {"zip with its folder", zip({{"game/", "", true}, {"game/game.z64", kRom}}),
         R::SeveralMembers},
        {"empty zip", zip({}), R::NoMember},
        {"empty 7z", sevenZip({}), R::NoMember, ArchiveKind::SevenZip},
        {"zip of a folder", zip({{"game/", "", true}}), R::NotRegularFile},
        {"7z of a folder", sevenZip({{"game", "", true}}), R::NotRegularFile,
         ArchiveKind::SevenZip},
        {"encrypted zip", writeArchive(one, {"zip", "zip:encryption=zipcrypt", "secret"}),
         R::Encrypted},
        {"AES zip", writeArchive(one, {"zip", "zip:encryption=aes256", "secret"}), R::Encrypted},
        {"zip cut short", deflated.substr(0, deflated.size() - 30), R::Damaged},
        {"zip with broken data", changed(deflated, dataStart, '\xFF'), R::Damaged},
        {"7z with a changed start header", changed(sevenZip(one), 13, 1), R::Damaged,
         ArchiveKind::SevenZip},
        {"zip start and nothing else", "PK\x03\x04 and then text", R::Damaged},
        {"LZMA zip with a 1.5 GiB dictionary",
         relabelled(14, std::string("\x09\x14\x05\x00\x5D\x00\x00\x00\x60", 9)), R::BeyondLimits},
        {"LZMA zip with a 64 MiB dictionary",
         relabelled(14, std::string("\x09\x14\x05\x00\x5D\x00\x00\x00\x04", 9)), R::Damaged},
        {"xz zip with a 1.5 GiB dictionary",
         relabelled(95, std::string("\xFD"
                                    "7zXZ\0\0\x01\0\0\0\0\x02\x00\x21\x01\x25\0",
                                    18)),
         R::BeyondLimits},
        {"7z with a 1.5 GiB dictionary",
         compressSevenZipDirectory(
             editSevenZipDirectory(sevenZip(one, "7zip:compression=lzma2"), hugeDictionary)),
         R::BeyondLimits, ArchiveKind::SevenZip},
        {"7z with its directory's dictionary at 1.5 GiB",
         compressSevenZipDirectory(sevenZip(one), 3u << 29), R::BeyondLimits,
         ArchiveKind::SevenZip},
        {"deflate64 zip", relabelled(9, ""), R::UnsupportedMethod},
        {"ROM image", kRom, R::NotAnArchive},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ArchiveHeader read = readArchiveHeader(folder.write("archive", c.bytes));
        ASSERT_EQ(read.refusal, c.refusal) << archiveRefusalText(read.refusal);
        EXPECT_EQ(read.kind, c.kind);
        EXPECT_EQ(read.header.regularFile, c.refusal == R::None);
        if (c.refusal == R::None) {
            EXPECT_EQ(read.memberName, "game.z64");
            EXPECT_EQ(read.memberSize, kRom.size());
            EXPECT_EQ(read.header.length, kHeaderSize);
            EXPECT_EQ(std::string(read.header.bytes.begin(), read.header.bytes.end()),
                      kRom.substr(0, kHeaderSize));
        }
    }
}

TEST(ArchiveHeader, ShortMemberReadsAsZerosAndFailuresOfTheFileAreThrown) {
    TempFolder folder;
    const std::string path = folder.write("short.7z", sevenZip({{"s.n64", "\x40\x12\x37\x80"}}));
    const HeaderBytes header = readArchiveHeader(path).header;
    EXPECT_EQ(header.length, 4u);
    EXPECT_EQ(header.bytes[3], 0x80);
    EXPECT_EQ(header.bytes[4], 0);

    const std::string fifo = folder.file("pipe.zip");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readArchiveHeader(fifo).refusal, R::NotAnArchive); // and does not block

    // Its member far from its ends: the survey and libarchive read it afresh.
    const std::string stubbed = folder.write(
        "stubbed.zip", behindStub(zip({{"game.z64", kRom}}, "zip:compression=store"), 20000));
    const auto failureOf = [&](test::SystemCallFault::Call call, int err, int letThrough) {
        test::SystemCallFault fault(call, err, letThrough);
        try {
            readArchiveHeader(stubbed);
        } catch (const FileFailure& failure) {
            return failure.code();
        }
        return FileFailureCode::None;
    };
    using Call = test::SystemCallFault::Call;
    EXPECT_EQ(failureOf(Call::Open, EACCES, 0), FileFailureCode::PermissionDenied);
    // Each read may fail, in the survey or in libarchive, until one more would not be made.
    int reads = 0;
    while (failureOf(Call::Pread, EIO, reads) == FileFailureCode::DeviceIoError) {
        ++reads;
    }
    EXPECT_GE(reads, 4);
    EXPECT_EQ(failureOf(Call::Pread, EIO, reads), FileFailureCode::None);
}

} // namespace
} // namespace quillmark
