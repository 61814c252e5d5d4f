#pragma once

#include "byte_buffer.h"

#include <string>
#include <vector>

namespace quillmark::artwork {

struct ArtworkFile {
    std::string path; // relative to the source tree, with '/' separators
    Bytes bytes;
};

// Every picture of the program: the window's background and icon, and the
// desktop icons in the sizes the hicolor theme looks for.
std::vector<ArtworkFile> makeArtwork();

inline constexpr int kDesktopIconSizes[] = {16, 32, 48, 64, 128, 256};

} // namespace quillmark::artwork
