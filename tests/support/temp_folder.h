#pragma once

#include "kit/rom_image.h"
#include "kit/scratch_folder.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder : public kit::ScratchFolder {
public:
    TempFolder() : ScratchFolder("quillmark-test") {}

    // Writes a file of the given bytes and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;

    // Every regular file of the folder (not hidden ones' exclusion: all of them) with its bytes.
    std::map<std::string, std::string> snapshot() const;
    // The bytes of every regular file, sorted and without names: a rename
    // keeps it, a lost or changed file does not.
    std::vector<std::string> contents() const;
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

using ByteOrder = quillmark::ByteOrder;
using kit::RomFields;
using kit::romImage;

// A name-list line "KEY",TITLE with the key padded to 20 with spaces and CR LF.
std::string nameListLine(std::string_view internalName, std::string_view title);

} // namespace quillmark::test
