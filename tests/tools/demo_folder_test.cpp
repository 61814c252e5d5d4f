#include "demo/demo_folder.h"
#include "fsys/file_failure.h"
#include "romid/file_name.h"
#include "romid/header_text.h"
#include "support/temp_folder.h"
#include "ui/presenter/header_texts.h"
#include "ui/presenter/rom_identity.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;

const std::string kShippedData = QUILLMARK_SHIPPED_DATA;

const std::vector<FactsRow>& shippedFacts() {
    static const std::vector<FactsRow> facts = readFactsTable(kShippedData + "/n64-cartridges.tsv");
    return facts;
}

void makeDemo(const fs::path& folder) {
    makeDemoFolder(folder, shippedFacts(), kShippedData + "/roms.ini");
}

// Every file under `folder`, by its path below it, with its bytes.
std::map<std::string, std::string> tree(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = readFile(entry.path().string());
        }
    }
    return files;
}

TEST(DemoFolder, HoldsTheNameListAndSamplesOfEveryCase) {
    TempFolder temp;
    const fs::path demo = fs::path(temp.path()) / "demo";
    makeDemo(demo);
    EXPECT_EQ(readFile((demo / "roms.ini").string()), readFile(kShippedData + "/roms.ini"));
    EXPECT_TRUE(fs::is_regular_file(demo / kDemoMarkerName));

    const fs::path samples = demo / kSampleFolderName;
    std::map<RomFormat, int> titledByOrder;
    int unknown = 0;
    int noName = 0;
    int notRom = 0;
    int alreadyNamed = 0;
    int zipped = 0;
    std::map<std::string, int> titledImages; // bytes → how many files hold them
    std::map<std::string, std::set<std::string>> namesByInternalName;
    NameList list((demo / "roms.ini").string());
    for (const auto& [name, bytes] : tree(samples)) {
        RomIdentity identity;
        const Identification result =
            identifyFile(identity, samples.string(), name, NamingStyle::Normal, list);
        ASSERT_FALSE(result.failure.has_value()) << name;
        if (result.format == RomFormat::NotRom) {
            ++notRom;
            continue;
        }
        zipped += result.archive && identity.newFileName.ends_with(".zip") ? 1 : 0;
        EXPECT_TRUE(result.archive || bytes.size() == kSampleImageSize) << name;
        if (result.renameOffered) {
            ++titledByOrder[result.format];
            ++titledImages[bytes];
            namesByInternalName[identity.internalName].insert(identity.newFileName);
            alreadyNamed += identity.newFileName == name ? 1 : 0;
            // Made from a facts row: its CRC1 and internal name are that row's.
            bool fromFacts = false;
            for (const FactsRow& row : shippedFacts()) {
                std::string crc1;
                for (const std::uint8_t byte : row.crc1) {
                    crc1 += hexText(byte);
                }
                fromFacts |= row.internalName == identity.internalName && crc1 == identity.crc1Text;
            }
            EXPECT_TRUE(fromFacts) << name;
        } else if (identity.newFileName == kRomUnknownMarker) {
            ++unknown;
        } else if (identity.newFileName == kNoInternalNameMarker) {
            ++noName;
        }
    }
    EXPECT_GE(titledByOrder[RomFormat::Z64], 3);
    EXPECT_GE(titledByOrder[RomFormat::V64], 3);
    EXPECT_EQ(titledByOrder[RomFormat::N64], 1);
    EXPECT_EQ(zipped, 1);
    EXPECT_EQ(unknown, 1);
    EXPECT_EQ(noName, 1);
    EXPECT_EQ(notRom, 1);
    EXPECT_EQ(alreadyNamed, 1);
    int copied = 0;
    for (const auto& [bytes, files] : titledImages) {
        copied += files == 2 ? 1 : 0;
        EXPECT_LE(files, 2);
    }
    EXPECT_EQ(copied, 1) << "one game in two copies";
    EXPECT_EQ(std::count_if(namesByInternalName.begin(), namesByInternalName.end(),
                            [](const auto& entry) { return entry.second.size() == 2; }),
              1)
        << "two revisions of one game, each with a name of its own";
}

TEST(DemoFolder, IsMadeAfreshOnEveryRun) {
    TempFolder temp;
    const fs::path demo = fs::path(temp.path()) / "demo";
    makeDemo(demo);
    const auto first = tree(demo);

    const fs::path samples = demo / kSampleFolderName;
    fs::rename(samples / "zelda_mm.z64", samples / "renamed.v64");
    temp.write("demo/samples/left over.txt", "x");
    fs::create_directory(demo / "more");
    fs::remove(demo / "roms.ini");
    makeDemo(demo);
    EXPECT_EQ(tree(demo), first);
}

TEST(DemoFolder, LeavesEveryOtherFolderAsItWas) {
    TempFolder temp;
    const fs::path root(temp.path());

    // A folder of the user's own, without the marker.
    fs::create_directory(root / "mine");
    temp.write("mine/game.z64", "bytes");
    EXPECT_THROW(makeDemo(root / "mine"), std::runtime_error);
    EXPECT_EQ(tree(root / "mine"), (std::map<std::string, std::string>{{"game.z64", "bytes"}}));

    // A marker that is a folder does not count.
    fs::create_directory(root / "mine" / kDemoMarkerName);
    EXPECT_THROW(makeDemo(root / "mine"), std::runtime_error);
    EXPECT_TRUE(fs::exists(root / "mine" / "game.z64"));

    // A link to a demo folder is not removed, nor is what it points to.
    makeDemo(root / "real");
    const auto real = tree(root / "real");
    fs::create_directory_symlink(root / "real", root / "link");
    EXPECT_THROW(makeDemo(root / "link"), std::runtime_error);
    EXPECT_TRUE(fs::is_symlink(root / "link"));
    EXPECT_EQ(tree(root / "real"), real);

    // A file in the way.
    temp.write("file", "text");
    EXPECT_THROW(makeDemo(root / "file"), std::runtime_error);
    EXPECT_EQ(readFile(temp.file("file")), "text");

    // An empty folder holds nothing to lose.
    fs::create_directory(root / "empty");
    makeDemo(root / "empty");
    EXPECT_EQ(tree(root / "empty"), real);
}

TEST(DemoFolder, FactsWithoutASampleRowAreAnError) {
    TempFolder temp;
    std::vector<FactsRow> facts = shippedFacts();
    std::erase_if(facts,
                  [](const FactsRow& row) { return row.internalName.starts_with("GOLDENEYE"); });
    EXPECT_THROW(makeDemoFolder(fs::path(temp.path()) / "demo", facts, kShippedData + "/roms.ini"),
                 std::runtime_error);
}

TEST(DemoFolder, TheAlreadyNamedSampleNeverReplacesAnother) {
    // A list and facts under which the already-named image's proposed name is
    // that of the sample written before it: "lylat wars.v64", no country suffix.
    TempFolder temp;
    std::vector<FactsRow> facts = shippedFacts();
    for (FactsRow& row : facts) {
        if (row.internalName.starts_with("F-ZERO X")) {
            row.country = 0;
        }
    }
    temp.write("roms.ini", test::nameListLine("F-ZERO X", "lylat wars"));
    const fs::path demo = fs::path(temp.path()) / "demo";
    EXPECT_THROW(makeDemoFolder(demo, facts, temp.file("roms.ini")), FileFailure);
    const fs::path samples = demo / kSampleFolderName;
    RomIdentity identity;
    NameList shipped(kShippedData + "/roms.ini");
    identifyFile(identity, samples.string(), "lylat wars.v64", NamingStyle::Normal, shipped);
    EXPECT_EQ(identity.internalName, "STARFOX64           ");
}

} // namespace
} // namespace quillmark
