#include "romid/file_name.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

RomIdentity withName(std::string internalName, std::string newFileName) {
    RomIdentity id;
    id.internalName = std::move(internalName);
    id.newFileName = std::move(newFileName);
    return id;
}

TEST(FileName, ComposeAndStyle) {
    EXPECT_EQ(composeFileName("Pause Demo", " (USA)"), "Pause Demo (USA).v64");
    EXPECT_EQ(composeFileName("", ""), ".v64");
    EXPECT_EQ(ultraHleName("Pause Demo (USA).v64"), "Pause_Demo_(USA).v64");
    EXPECT_EQ(ultraHleName("POMolizer POM '99 Demo.v64"), "POMolizer_POM_'99_Demo.v64");
    const std::string mixed("Tab\there_and\0nul x", 18);
    EXPECT_EQ(ultraHleName(mixed), std::string("Tab\there_and\0nul_x", 18));
    EXPECT_EQ(ultraHleName(ultraHleName("A B_C")), ultraHleName("A B_C"));
}

TEST(FileName, ComposedNameIsOffered) {
    RomIdentity id = withName("SUPER MARIO 64      ", "Super Mario 64 (USA).v64");
    EXPECT_TRUE(settleNewFileName(id, NamingStyle::UltraHle));
    EXPECT_FALSE(id.romUnknown);
    EXPECT_EQ(id.newFileName, "Super_Mario_64_(USA).v64");
    // A name of spaces, or one starting with a space, counts as a name.
    RomIdentity spaces = withName(std::string(20, ' '), "");
    EXPECT_EQ(settleMarker(spaces), NameMarker::RomUnknown);
}

TEST(FileName, MarkersInBothStyles) {
    RomIdentity unknown = withName("SOMETHING           ", "");
    unknown.romUnknown = false;
    EXPECT_FALSE(settleNewFileName(unknown, NamingStyle::Normal));
    EXPECT_TRUE(unknown.romUnknown);
    EXPECT_EQ(unknown.newFileName, "ROM unknown !");
    RomIdentity unknownUltra = withName("SOMETHING           ", "");
    settleNewFileName(unknownUltra, NamingStyle::UltraHle);
    EXPECT_EQ(unknownUltra.newFileName, "ROM_unknown_!");

    // No internal name wins even over a title that was found.
    RomIdentity noName = withName(std::string(20, '\0'), "Found Title (USA).v64");
    EXPECT_EQ(settleMarker(noName), NameMarker::NoInternalName);
    EXPECT_TRUE(noName.romUnknown);
    EXPECT_EQ(noName.newFileName, "- ROM can not be identified ! No internal name -");
    applyNamingStyle(noName, NamingStyle::UltraHle);
    EXPECT_EQ(noName.newFileName, "-_ROM_can_not_be_identified_!_No_internal_name_-");
}

} // namespace
} // namespace quillmark
