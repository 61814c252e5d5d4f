#include "synthetic_folder.h"

#include "archive_writer.h"
#include "kit/scratch_folder.h"
#include "names/cartridge_header.h"
#include "ui/presenter/header_texts.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark::bench {

namespace {

constexpr std::size_t kGroup = 10;
constexpr std::size_t kKnownPerGroup = 7; // six to rename, one already right
constexpr std::size_t kTitledDemos = 10;

// Eight letters with eight different batch suffixes: a game can appear under
// each of them without two files getting one name.
constexpr std::array<std::uint8_t, 8> kCountries{'E', 'D', 'F', 'I', 'U', 'J', 'P', 'A'};

struct DemoRow {
    std::string_view internalName;
    std::array<std::uint8_t, 4> crc1;
    std::string_view title;
};

// One row of the built-in table for each of its ten different titles.
constexpr std::array<DemoRow, kTitledDemos> kDemoRows{{
    {"Test Program", {0x1E, 0xDA, 0x4D, 0xE0}, "Xtralife Dextrose Demo"},
    {"Test Program", {0x09, 0x33, 0xDD, 0x17}, "Soncrap Golden Eye Intro"},
    {"Test Program", {0x7D, 0x17, 0x27, 0xF1}, "Pause Demo"},
    {"Test Program", {0x30, 0xE6, 0xFE, 0x79}, "Fractal Zoomer Demo"},
    {"The Corporation", {0x44, 0x70, 0x5C, 0xED}, "The Corporation 1st Intro"},
    {"The Corporation", {0xC3, 0xAB, 0x93, 0x8D}, "The Corporation 2nd Intro"},
    {"Protest Design", {0x9A, 0x6C, 0xF2, 0xF5}, "Sitero Demo"},
    {"Protest Design", {0xED, 0xAF, 0xD3, 0xC0}, "POMolizer POM '99 Demo"},
    {"POKEMON SNAP", {0xCA, 0x12, 0xB5, 0x47}, "Pokemon Snap"},
    {"POKEMON SNAP", {0x39, 0x11, 0x98, 0x72}, "Pokemon Snap Station - Special Promo"},
}};

std::string numbered(const char* format, std::size_t number) {
    char text[128];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string gameKey(std::size_t record) {
    return numbered("QM GAME %06zu", record);
}

std::string gameTitle(std::size_t record) {
    return numbered("Quill Game %06zu", record);
}

// A 64-byte cartridge header without CRC2, in Z64 order or in V64 order.
std::string header(std::string_view internalName, const std::array<std::uint8_t, 4>& crc1,
                   std::uint8_t country, bool swapped) {
    return cartridgeHeader(internalName, crc1, {}, country,
                           swapped ? ByteOrder::V64 : ByteOrder::Z64);
}

std::size_t knownSlots(std::size_t count) {
    const std::size_t rest = count % kGroup;
    return count / kGroup * kKnownPerGroup + std::min<std::size_t>(rest, 6) + (rest > 8 ? 1 : 0);
}

} // namespace

SyntheticFile syntheticFile(std::size_t index) {
    const std::size_t group = index / kGroup;
    const std::size_t kind = index % kGroup;
    const bool swapped = (index + group) % 2 == 1;
    const char* extension = swapped ? "%07zu.v64" : "%07zu.z64";
    const std::array<std::uint8_t, 4> crc1{static_cast<std::uint8_t>(index >> 16),
                                           static_cast<std::uint8_t>(index >> 8),
                                           static_cast<std::uint8_t>(index), 0x5A};
    SyntheticFile file;
    if (kind <= 5 || kind == 8) {
        const std::size_t slot = group * kKnownPerGroup + (kind == 8 ? 6 : kind);
        const std::size_t record = slot / kCountries.size();
        const std::uint8_t country = kCountries[slot % kCountries.size()];
        file.bytes = header(gameKey(record), crc1, country, swapped);
        file.looksUpName = true;
        const std::string proposed = gameTitle(record) + batchCountrySuffix(country) + ".v64";
        if (kind == 8) {
            file.name = proposed;
        } else {
            file.name = numbered((std::string("rom") + extension).c_str(), index);
            file.target = proposed;
        }
    } else if (kind == 6) {
        file.name = numbered((std::string("demo") + extension).c_str(), index);
        if (group < kTitledDemos) {
            const DemoRow& row = kDemoRows[group];
            file.bytes = header(row.internalName, row.crc1, 'E', swapped);
            file.target = std::string(row.title) + batchCountrySuffix('E') + ".v64";
        } else {
            file.bytes = header("Test Program", crc1, 'E', swapped); // a CRC1 the table lacks
        }
    } else if (kind == 7) {
        file.name = numbered((std::string("odd") + extension).c_str(), index);
        const std::string name =
            index % 20 == 7 ? std::string(20, '\0') : numbered("QM UNKNOWN %07zu", index);
        file.bytes = header(name, crc1, 'P', swapped);
        file.looksUpName = true;
    } else {
        file.name = numbered("note%07zu.txt", index);
        file.bytes =
            numbered("A note that is no ROM image, number %07zu, with some padding.....", index);
        if (index % 20 == 19) {
            file.bytes.resize(17); // a short file
        }
    }
    return file;
}

std::size_t syntheticRecordCount(std::size_t count, std::size_t minimumRecords) {
    const std::size_t needed = (knownSlots(count) + kCountries.size() - 1) / kCountries.size();
    return std::max(needed, minimumRecords);
}

std::string syntheticNameList(std::size_t count, std::size_t minimumRecords) {
    std::string list;
    const std::size_t records = syntheticRecordCount(count, minimumRecords);
    for (std::size_t record = 0; record < records; ++record) {
        std::string key = gameKey(record);
        key.resize(20, ' ');
        list += "\"" + key + "\",\"" + gameTitle(record) + "\"\r\n";
    }
    return list;
}

void createSyntheticFolder(const std::string& folder, std::size_t count) {
    if (::mkdir(folder.c_str(), 0755) != 0) {
        throw std::runtime_error("cannot create " + folder + ": " + std::strerror(errno));
    }
    std::string path;
    for (std::size_t index = 0; index < count; ++index) {
        const SyntheticFile file = syntheticFile(index);
        path.assign(folder).append("/").append(file.name);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
        }
        const ssize_t written = ::write(fd, file.bytes.data(), file.bytes.size());
        ::close(fd);
        if (written != static_cast<ssize_t>(file.bytes.size())) {
            throw std::runtime_error("cannot write " + path);
        }
    }
}

std::string zippedName(std::size_t index) {
    const std::string name = syntheticFile(index).name;
    return name.substr(0, name.rfind('.')) + ".zip";
}

void createZippedFolder(const std::string& folder, std::size_t count, std::size_t memberSize) {
    if (::mkdir(folder.c_str(), 0755) != 0) {
        throw std::runtime_error("cannot create " + folder + ": " + std::strerror(errno));
    }
    std::string member(memberSize, '\0');
    std::uint32_t noise = 0x9E3779B9u;
    for (std::size_t i = 0; i < std::min<std::size_t>(memberSize, 32u << 10); ++i) {
        noise ^= noise << 13; // xorshift: bytes deflate cannot shrink
        noise ^= noise >> 17;
        noise ^= noise << 5;
        member[i] = static_cast<char>(noise);
    }
    for (std::size_t index = 0; index < count; ++index) {
        const SyntheticFile file = syntheticFile(index);
        member.replace(0, std::min(file.bytes.size(), memberSize), file.bytes, 0,
                       std::min(file.bytes.size(), memberSize));
        archives::writeFileBytes(
            folder + "/" + zippedName(index),
            archives::writeArchive({{file.name, member}}, {"zip", "zip:compression=deflate", ""}));
    }
}

void removeFolder(const std::string& folder) {
    kit::removeFolder(folder);
}

} // namespace quillmark::bench
