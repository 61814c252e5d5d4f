#include "demo_table.h"

#include "romid/header_text.h"

namespace quillmark {

namespace {

struct DemoRow {
    std::string_view internalName;
    std::string_view crc1Text;
    std::string_view title;
};

// In search order. Names are padded to 20 characters. A row's CRC1 is given as
// the CRC1's bytes in hex without leading zeros, joined, and a header matches
// when its CRC1 gives the same text: "933DD17" stands for 9303DD17 as much as
// for 0933DD17, as the table has always matched.
constexpr DemoRow kDemoRows[] = {
    {"Test Program        ", "1EDA4DE0", "Xtralife Dextrose Demo"},
    {"Test Program        ", "933DD17", "Soncrap Golden Eye Intro"},
    {"Test Program        ", "7D1727F1", "Pause Demo"},
    {"Test Program        ", "30E6FE79", "Fractal Zoomer Demo"},
    {"The Corporation     ", "44705CED", "The Corporation 1st Intro"},
    {"The Corporation     ", "C3AB938D", "The Corporation 2nd Intro"},
    {"Protest Design      ", "9A6CF2F5", "Sitero Demo"},
    {"Protest Design      ", "EDAFD3C0", "POMolizer POM '99 Demo"},
    {"POKEMON SNAP        ", "CA12B547", "Pokemon Snap"},
    {"POKEMON SNAP        ", "BB2D10F8", "Pokemon Snap"},
    {"POKEMON SNAP        ", "39119872", "Pokemon Snap Station - Special Promo"},
};

} // namespace

DemoResult lookUpDemo(std::string_view internalName, std::uint32_t crc1) {
    std::string crc1Text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        crc1Text += hexText(static_cast<std::uint8_t>(crc1 >> shift));
    }
    DemoResult result;
    for (const DemoRow& row : kDemoRows) {
        if (row.internalName != internalName) {
            continue;
        }
        result.outcome = DemoLookup::NoTitle;
        if (row.crc1Text == crc1Text) {
            result.outcome = DemoLookup::Title;
            result.title = row.title;
            return result;
        }
    }
    return result;
}

bool isDemoTableName(std::string_view internalName) {
    for (const DemoRow& row : kDemoRows) {
        if (row.internalName == internalName) {
            return true;
        }
    }
    return false;
}

} // namespace quillmark
