#include "fsys/posix/system_calls.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"
#include "ui/presenter/fake_view.h"
#include "ui/presenter/single_file_view.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::ByteOrder;
using test::FakeView;
using test::nameListLine;
using test::RomFields;
using test::romImage;
using test::TempFolder;

constexpr std::string_view kNoRom = "This is no N64 ROM Image !";

// Makes every open of the name list fail with EACCES; other files open as usual.
class NameListRefused {
public:
    NameListRefused() {
        systemCalls().open = [](const char* path, int flags) {
            const std::size_t length = std::strlen(path);
            if (length >= 8 && std::strcmp(path + length - 8, "roms.ini") == 0) {
                errno = EACCES;
                return -1;
            }
            return realSystemCalls().open(path, flags);
        };
    }
    ~NameListRefused() { systemCalls().open = realSystemCalls().open; }
};

class SingleFileView : public ::testing::Test {
protected:
    TempFolder folder;
    NameList nameList{folder.file("roms.ini")};
    FakeView view;
    RomIdentity id;

    SingleFileView() {
        folder.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64") +
                                     nameListLine("WAVE RACE 64", "Wave Race 64"));
        RomFields known;
        known.internalName = "MARIO KART 64";
        known.country = 'D';
        known.crc1 = {0x0A, 0x1B, 0x2C, 0x3D};
        folder.write("mk.v64", romImage(known, ByteOrder::V64));
        folder.write("notes.txt", "just some text, long enough to hold a header's worth of bytes");
    }

    Identification show(const std::string& file, NamingStyle style = NamingStyle::Normal) {
        return showSelectedFile(view, id, folder.path(), file, style, nameList);
    }

    void expectCaptions(std::initializer_list<std::pair<Control, std::string_view>> expected) {
        for (const auto& [control, text] : expected) {
            EXPECT_EQ(view.caption(control), text) << controlName(control);
        }
    }
};

TEST_F(SingleFileView, KnownRomFillsEveryLabelAndOffersTheRename) {
    view.visible[static_cast<std::size_t>(Control::Command2)] = false;
    show("mk.v64");
    expectCaptions({
        {Control::Dateiname, "mk.v64"},
        {Control::Dateityp, "N64 Rom, byteswapped (Dr. V64 Format)"},
        {Control::Romname, "MARIO KART 64       "},
        {Control::Hersteller, "N (Hex 4E) = Nintendo"},
        {Control::Cardid, "SG, Hex 53 47"},
        {Control::Land, "D = Europe, Germany (Pal)"},
        {Control::CRC, "A1B2C3D"},
        {Control::Namevoll, "Mario Kart 64"},
        {Control::Nameneu, "Mario Kart 64 (Euro - Germany).v64"},
    });
    EXPECT_TRUE(view.shown(Control::Command2));
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_FALSE(id.romUnknown);

    // The same file again gives the same view; the other style only changes
    // the proposed name.
    const auto first = view.captions;
    show("mk.v64");
    EXPECT_EQ(view.captions, first);
    show("mk.v64", NamingStyle::UltraHle);
    EXPECT_EQ(view.caption(Control::Nameneu), "Mario_Kart_64_(Euro_-_Germany).v64");
    EXPECT_EQ(id.newFileName, "Mario_Kart_64_(Euro_-_Germany).v64");
    EXPECT_TRUE(view.shown(Control::Command2));
}

TEST_F(SingleFileView, FileThatIsNoRomEmptiesTheViewAndKeepsRomUnknown) {
    RomFields unknown;
    unknown.internalName = "NOBODY KNOWS";
    folder.write("unknown.z64", romImage(unknown, ByteOrder::Z64));
    show("unknown.z64");
    ASSERT_TRUE(id.romUnknown);

    show("notes.txt");
    expectCaptions({{Control::Dateiname, "notes.txt"},
                    {Control::Dateityp, kNoRom},
                    {Control::Romname, ""},
                    {Control::Hersteller, ""},
                    {Control::Cardid, ""},
                    {Control::Land, ""},
                    {Control::Namevoll, ""},
                    {Control::Nameneu, ""},
                    {Control::CRC, ""}});
    EXPECT_FALSE(view.shown(Control::Command2));
    EXPECT_TRUE(id.romUnknown) << "a file that is no ROM leaves the flag as it was";

    show("mk.v64");
    show("notes.txt");
    EXPECT_FALSE(id.romUnknown);
    EXPECT_FALSE(view.shown(Control::Command2));
}

TEST_F(SingleFileView, MarkersStandInForNamesThatCannotBeFound) {
    RomFields unknown;
    unknown.internalName = "NOBODY KNOWS";
    folder.write("unknown.z64", romImage(unknown, ByteOrder::Z64));
    show("mk.v64");
    show("unknown.z64");
    EXPECT_EQ(view.caption(Control::Nameneu), "ROM unknown !");
    EXPECT_EQ(view.caption(Control::Namevoll), "");
    EXPECT_EQ(view.caption(Control::Romname), "NOBODY KNOWS        ");
    EXPECT_FALSE(view.shown(Control::Command2));
    EXPECT_TRUE(id.romUnknown);
    show("unknown.z64", NamingStyle::UltraHle);
    EXPECT_EQ(view.caption(Control::Nameneu), "ROM_unknown_!");

    RomFields nameless;
    nameless.internalName = std::string(1, '\0') + "MARIO KART 64";
    folder.write("nameless.z64", romImage(nameless, ByteOrder::Z64));
    show("nameless.z64");
    EXPECT_EQ(view.caption(Control::Nameneu), "- ROM can not be identified ! No internal name -");
    EXPECT_FALSE(view.shown(Control::Command2));
}

TEST_F(SingleFileView, RefusedFileIsReportedAndTheRestKeepsThePreviousTexts) {
    show("mk.v64");
    {
        test::SystemCallFault fault(test::SystemCallFault::Call::Open, EACCES);
        show("notes.txt");
    }
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "Access denied !");
    EXPECT_EQ(view.boxes[0].title, "Error !");
    EXPECT_EQ(view.boxes[0].style, BoxStyle::OkExclamation);
    // Only the name of the refused file is new; what step one emptied stays empty.
    expectCaptions({{Control::Dateiname, "notes.txt"},
                    {Control::Dateityp, "N64 Rom, byteswapped (Dr. V64 Format)"},
                    {Control::CRC, "A1B2C3D"},
                    {Control::Romname, ""},
                    {Control::Namevoll, ""},
                    {Control::Nameneu, ""}});
    EXPECT_FALSE(view.shown(Control::Command2));

    // A vanished file fails quietly.
    show("mk.v64");
    show("gone.v64");
    EXPECT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.caption(Control::Dateiname), "gone.v64");
    EXPECT_FALSE(view.shown(Control::Command2));

    // The next selection works as usual.
    show("mk.v64");
    EXPECT_TRUE(view.shown(Control::Command2));
}

TEST_F(SingleFileView, NameListFailuresShowTheHeaderButNoName) {
    std::filesystem::remove(folder.file("roms.ini"));
    show("mk.v64");
    EXPECT_EQ(view.caption(Control::Romname), "MARIO KART 64       ");
    EXPECT_EQ(view.caption(Control::Land), "D = Europe, Germany (Pal)");
    EXPECT_EQ(view.caption(Control::CRC), "A1B2C3D");
    EXPECT_EQ(view.caption(Control::Namevoll), "");
    EXPECT_EQ(view.caption(Control::Nameneu), "");
    EXPECT_FALSE(view.shown(Control::Command2));
    EXPECT_TRUE(view.boxes.empty()) << "a missing list is no message";

    folder.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64"));
    {
        NameListRefused refused;
        show("mk.v64");
    }
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "Access denied !");
    EXPECT_EQ(view.caption(Control::Hersteller), "N (Hex 4E) = Nintendo");
    EXPECT_EQ(view.caption(Control::Nameneu), "");
    EXPECT_FALSE(view.shown(Control::Command2));
}

} // namespace
} // namespace quillmark
