#include "romid/file_name.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(FileName, ComposeAndStyle) {
    EXPECT_EQ(composeFileName("Pause Demo", " (USA)"), "Pause Demo (USA).v64");
    EXPECT_EQ(composeFileName("", ""), ".v64");
    EXPECT_EQ(ultraHleName("Pause Demo (USA).v64"), "Pause_Demo_(USA).v64");
    EXPECT_EQ(ultraHleName("POMolizer POM '99 Demo.v64"), "POMolizer_POM_'99_Demo.v64");
    const std::string mixed("Tab\there_and\0nul x", 18);
    EXPECT_EQ(ultraHleName(mixed), std::string("Tab\there_and\0nul_x", 18));
    EXPECT_EQ(ultraHleName(ultraHleName("A B_C")), ultraHleName("A B_C"));
}

TEST(FileName, ExtensionsByRuleByteOrderAndArchive) {
    const std::string_view byOrder[] = {".z64", ".v64", ".n64"};
    for (std::size_t i = 0; i < kByteOrders.size(); ++i) {
        EXPECT_EQ(extensionFor(kByteOrders[i], ExtensionRule::V64), ".v64");
        EXPECT_EQ(extensionFor(kByteOrders[i], ExtensionRule::ByteOrder), byOrder[i]);
        EXPECT_EQ(extensionFor(kByteOrders[i], ExtensionRule::ByteOrder, ArchiveKind::SevenZip),
                  ".7z");
    }
}

TEST(FileName, NameKindsByTitleAndInternalName) {
    RomHeader rom;
    rom.internalName = "SUPER MARIO 64      ";
    rom.country = 'E';
    const TitleLookup found{TitleSource::NameRecord, "Super Mario 64", nullptr};
    EXPECT_EQ(proposeName(rom, found, {NamingStyle::UltraHle}),
              (ProposedName{NameKind::Name, "Super_Mario_64_(USA).v64"}));
    EXPECT_EQ(
        proposeName(rom, found,
                    {NamingStyle::Normal, [](std::uint8_t) { return std::string(" (Here)"); }})
            .name,
        "Super Mario 64 (Here).v64");
    // A name of spaces is a name: without a title, unknown.
    rom.internalName = std::string(20, ' ');
    EXPECT_EQ(proposeName(rom, TitleLookup{}, {}), (ProposedName{NameKind::Unknown, ""}));
    // No internal name wins even over a title that was found.
    rom.internalName = std::string(20, '\0');
    EXPECT_EQ(proposeName(rom, found, {}).kind, NameKind::NoInternalName);
}

} // namespace
} // namespace quillmark
