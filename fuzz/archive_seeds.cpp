// Writes the seed archives of archive_reader_fuzz into a folder: zip and 7z
// archives of a small ROM image, made by libarchive, and a 7z archive whose
// directory is compressed as 7-Zip writes it.
//
//   archive_seeds FOLDER

#include "archive_writer.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    using namespace quillmark::archives;
    if (argc != 2) {
        std::fprintf(stderr, "usage: archive_seeds FOLDER\n");
        return 2;
    }
    try {
        std::string rom(4096, '\0');
        for (std::size_t i = 0; i < rom.size(); ++i) {
            rom[i] = static_cast<char>((i * 2654435761u) >> 13); // compresses, but not to nothing
        }
        rom.replace(0, 4, "\x80\x37\x12\x40");
        rom.replace(0x20, 20, "FUZZ SEED GAME      ");
        const std::vector<ArchiveEntry> one{{"game.z64", rom}};
        const std::string folder = argv[1];
        const std::pair<const char*, std::string> seeds[] = {
            {"stored.zip", writeArchive(one, {"zip", "zip:compression=store", ""})},
            {"deflated.zip", writeArchive(one, {"zip", "zip:compression=deflate", ""})},
            {"two.zip", writeArchive({{"a.z64", rom}, {"b", "b"}}, {"zip", "", ""})},
            {"zipcrypt.zip", writeArchive(one, {"zip", "zip:encryption=zipcrypt", "pass"})},
            {"lzma1.7z", writeArchive(one, {"7zip", "7zip:compression=lzma1", ""})},
            {"bzip2.7z", writeArchive(one, {"7zip", "7zip:compression=bzip2", ""})},
            {"ppmd.7z", writeArchive(one, {"7zip", "7zip:compression=ppmd", ""})},
            {"folder.7z", writeArchive({{"game", "", true}}, {"7zip", "", ""})},
            {"compressed-directory.7z",
             compressSevenZipDirectory(writeArchive(one, {"7zip", "7zip:compression=lzma2", ""}))},
        };
        for (const auto& [name, bytes] : seeds) {
            writeFileBytes(folder + "/" + name, bytes);
        }
        std::printf("wrote %zu seeds to %s\n", std::size(seeds), folder.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "archive_seeds: %s\n", e.what());
        return 1;
    }
}
