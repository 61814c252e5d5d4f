#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Writes a file of the given bytes and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;
    std::string write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;

    // Every regular file of the folder (not hidden ones' exclusion: all of them) with its bytes.
    std::map<std::string, std::string> snapshot() const;
    // The bytes of every regular file, sorted and without names: a rename
    // keeps it, a lost or changed file does not.
    std::vector<std::string> contents() const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// Runs the test body with the working folder set to `folder`, restoring it after.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::string previous_;
};

// Header fields of a synthetic ROM image, in cartridge order.
struct RomFields {
    std::array<std::uint8_t, 4> crc1{0x12, 0x34, 0x56, 0x78};
    std::array<std::uint8_t, 4> crc2{};
    std::string internalName = "SYNTHETIC GAME";
    std::uint8_t manufacturer = 'N';
    std::array<std::uint8_t, 2> cardId{'S', 'G'};
    std::uint8_t country = 'E';
};

enum class ByteOrder { Z64, V64 };

// A 64-byte header (padded to `size` with zeros) in the given byte order. The
// internal name is padded with spaces to 20 bytes.
std::vector<std::uint8_t> romImage(const RomFields& fields, ByteOrder order, std::size_t size = 64);

// A name-list line "KEY",TITLE with the key padded to 20 with spaces and CR LF.
std::string nameListLine(std::string_view internalName, std::string_view title);

} // namespace quillmark::test
