#include "archive_writer.h"
#include "core/identify.h"
#include "fsys/header_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using archives::writeArchive;
using R = ArchiveRefusal;

TEST(IdentifyFile, AnArchiveByItsOneMemberUnderItsOwnExtension) {
    test::TempFolder folder;
    NameList list(folder.write("roms.ini", test::nameListLine("BANJO", "Banjo")));
    test::RomFields banjo;
    banjo.internalName = "BANJO";
    const auto rom = [&](ByteOrder order) { return test::romImage(banjo, order, 100000); };
    const std::vector<archives::ArchiveEntry> one{{"banjo.z64", rom(ByteOrder::Z64)}};
    const std::string deflated = writeArchive({{"b.v64", rom(ByteOrder::V64)}}, {});
    struct Case {
        const char* file;
        std::string bytes;
        R refusal;        // of an archive; a loose file's None
        const char* name; // the name proposed, "" for none
    };
    const Case cases[] = {
        {"stored.zip", writeArchive(one, {"zip", "zip:compression=store", ""}), R::None,
         "Banjo (USA).zip"},
        {"deflated.ZIP", deflated, R::None, "Banjo (USA).zip"},
        {"lzma2.7z", writeArchive(one, {"7zip", "7zip:compression=lzma2", ""}), R::None,
         "Banjo (USA).7z"},
        {"little-endian.zip", writeArchive({{"b.n64", rom(ByteOrder::N64)}}, {}), R::None,
         "Banjo (USA).zip"},
        {"7z by its bytes.zip", writeArchive(one, {"7zip", "", ""}), R::None, "Banjo (USA).7z"},
        {"two.zip", writeArchive({one[0], {"readme.txt", "hello"}}, {}), R::SeveralMembers, ""},
        {"none.7z", writeArchive({}, {"7zip", "", ""}), R::NoMember, ""},
        {"encrypted.zip", writeArchive(one, {"zip", "zip:encryption=zipcrypt", "secret"}),
         R::Encrypted, ""},
        {"damaged.zip", deflated.substr(0, deflated.size() - 30), R::Damaged, ""},
        {"text.zip", writeArchive({{"readme.txt", "no cartridge here"}}, {}), R::None, ""},
        {"loose image.zip", rom(ByteOrder::Z64), R::NotAnArchive, ""},
        {"zip named as an image.z64", writeArchive(one, {}), R::None, ""},
        {"loose.n64", rom(ByteOrder::N64), R::None, "Banjo (USA).v64"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder.write(c.file, c.bytes);
        const FileIdentification found = identifyFile(path, list, NamingRule{});
        ASSERT_FALSE(found.failure) << found.failure->description();
        EXPECT_EQ(found.archive ? found.archive->refusal : R::None, c.refusal);
        EXPECT_EQ(found.name ? found.name->name : "", c.name);
        // The name goes to the archive: the identity checked before a rename is its own.
        EXPECT_EQ(found.header->stamp, readHeaderBytes(path).stamp);
    }
}

} // namespace
} // namespace quillmark
