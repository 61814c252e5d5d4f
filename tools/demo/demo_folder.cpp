#include "demo_folder.h"

#include "archive_writer.h"
#include "core/identify.h"
#include "fsys/rename_file.h"
#include "kit/whole_file.h"
#include "names/cartridge_header.h"

#include <stdexcept>
#include <string>

namespace quillmark {

namespace fs = std::filesystem;

namespace {

// A game from the facts, found by its CRC1, written under a name a user's
// download might carry.
struct SampleGame {
    std::string_view crc1Hex;
    std::string_view fileName;
    ByteOrder order;
};

constexpr ByteOrder kZ64 = ByteOrder::Z64, kV64 = ByteOrder::V64;

// Alternating byte orders and one little-endian image; "snap" goes through
// the built-in demo table, "lylat wars" gets the list's title for its
// internal name, and the two "banjo" revisions share an internal name but
// get names of their own.
constexpr SampleGame kGames[] = {
    {"635A2BFF", "super mario 64.z64", kZ64},
    {"C3B6DE9D", "MARIOKART.V64", kV64},
    {"5354631C", "zelda_mm.z64", kZ64},
    {"5C9191D6", "waverace-jp.v64", kV64},
    {"CA12B547", "snap.z64", kZ64},
    {"2483F22B", "lylat wars.v64", kV64},
    {"A4BF9306", "banjo.z64", kZ64},
    {"CD7559AC", "banjo (1).v64", kV64},
    {"65EEE53A", "paper mario.n64", ByteOrder::N64},
};
constexpr SampleGame kTwoCopies = {"DCBC50D1", "goldeneye.z64", kZ64};
constexpr std::string_view kSecondCopyName = "goldeneye (copy).z64";
constexpr SampleGame kAlreadyNamed = {"B30ED978", "", kV64};
// One game kept zipped, as collections often are: the archive gets the name.
constexpr SampleGame kZipped = {"C851961C", "Pilot Wings 64 (U).z64", kZ64};
constexpr std::string_view kZipName = "pilotwings.zip";

constexpr std::string_view kReadMe =
    "This folder was made by Quillmark's scripts/run to try the program on.\n"
    "It is removed and made afresh every time scripts/run starts, so rename\n"
    "freely, but keep nothing of your own here.\n";

std::string crc1Hex(const FactsRow& row) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : row.crc1) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

const FactsRow& factsRow(const std::vector<FactsRow>& facts, std::string_view crc1) {
    const FactsRow* found = nullptr;
    for (const FactsRow& row : facts) {
        if (row.reliable && crc1Hex(row) == crc1) {
            if (found != nullptr) {
                throw std::runtime_error("two reliable facts rows have CRC1 " + std::string(crc1));
            }
            found = &row;
        }
    }
    if (found == nullptr) {
        throw std::runtime_error("no reliable facts row has CRC1 " + std::string(crc1));
    }
    return *found;
}

// A header of our own making, for the images no facts row describes.
FactsRow madeUpRow(std::string_view internalName) {
    FactsRow row;
    row.crc1 = {0x51, 0x4D, 0x00, 0x01};
    row.crc2 = {0x51, 0x4D, 0x00, 0x02};
    row.country = kUsaCountry;
    row.internalName = std::string(internalName);
    row.internalName.resize(20, internalName.empty() ? '\0' : ' ');
    return row;
}

std::string image(const FactsRow& row, ByteOrder order) {
    std::string bytes = cartridgeHeader(row, order);
    bytes.resize(kSampleImageSize, '\0');
    return bytes;
}

void write(const fs::path& file, std::string_view bytes) {
    kit::writeWholeFile(file.string(), bytes);
}

// Removes a demo folder made before; refuses anything else.
void clearFormerDemo(const fs::path& folder) {
    const fs::file_status status = fs::symlink_status(folder);
    if (!fs::exists(status)) {
        return;
    }
    const std::string refused = folder.string() + " is left alone: ";
    if (fs::is_symlink(status) || !fs::is_directory(status)) {
        throw std::runtime_error(refused + "it is not a folder");
    }
    if (fs::is_empty(folder)) {
        return;
    }
    if (!fs::is_regular_file(fs::symlink_status(folder / kDemoMarkerName))) {
        throw std::runtime_error(refused + "it holds files but no " + std::string(kDemoMarkerName) +
                                 " marker, so it is not a demo folder made here");
    }
    fs::remove_all(folder);
}

// Writes the image under a working name, asks the identification for its
// proposed name and renames it to that.
void writeAlreadyNamed(const fs::path& samples, const fs::path& nameList, const FactsRow& row) {
    const std::string working = "already-named.tmp";
    write(samples / working, image(row, kAlreadyNamed.order));
    NameList list(nameList.string());
    const FileIdentification result =
        identifyFile((samples / working).string(), list, NamingRule{});
    if (!result.name || result.name->kind != NameKind::Name) {
        throw std::runtime_error("the name list gives no name for CRC1 " +
                                 std::string(kAlreadyNamed.crc1Hex));
    }
    // Never over another sample that happens to carry the proposed name.
    renameWithoutReplacing((samples / working).string(), (samples / "").string(),
                           result.name->name);
}

} // namespace

void makeDemoFolder(const fs::path& folder, const std::vector<FactsRow>& facts,
                    const fs::path& nameList) {
    clearFormerDemo(folder);
    fs::create_directories(folder);
    // The marker first: a run that stops half-way leaves a folder the next run may clear.
    write(folder / kDemoMarkerName, "Made by make-demo-folder; removed and made afresh on "
                                    "every run of scripts/run.\n");
    fs::copy_file(nameList, folder / "roms.ini");

    const fs::path samples = folder / kSampleFolderName;
    fs::create_directory(samples);
    for (const SampleGame& game : kGames) {
        write(samples / game.fileName, image(factsRow(facts, game.crc1Hex), game.order));
    }
    const std::string copy = image(factsRow(facts, kTwoCopies.crc1Hex), kTwoCopies.order);
    write(samples / kTwoCopies.fileName, copy);
    write(samples / kSecondCopyName, copy);
    write(samples / kZipName,
          archives::writeArchive(
              {{std::string(kZipped.fileName), image(factsRow(facts, kZipped.crc1Hex), kZ64)}},
              {"zip", "zip:compression=deflate", ""}));
    write(samples / "unknown game.z64", image(madeUpRow("QUILLMARK SAMPLE"), kZ64));
    write(samples / "no internal name.z64", image(madeUpRow(""), kZ64));
    write(samples / "read me.txt", kReadMe);
    writeAlreadyNamed(samples, folder / "roms.ini", factsRow(facts, kAlreadyNamed.crc1Hex));
}

} // namespace quillmark
