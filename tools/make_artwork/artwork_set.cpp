#include "artwork_set.h"

#include "background.h"
#include "bitmap_files.h"
#include "emblem.h"
#include "png_file.h"

namespace quillmark::artwork {

std::vector<ArtworkFile> makeArtwork() {
    std::vector<ArtworkFile> files;

    const Canvas background = drawBackground();
    files.push_back({"src/ui/assets/background.bmp",
                     encodeBmp8(mapToPalette(background, medianCutPalette(background, 256)))});

    const std::vector<Rgba> iconPalette(emblemPalette().begin(), emblemPalette().end());
    files.push_back(
        {"src/ui/assets/quillmark.ico", encodeIco4({mapToPalette(drawEmblem(32), iconPalette),
                                                    mapToPalette(drawEmblem(16), iconPalette)})});

    for (const int size : kDesktopIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        files.push_back(
            {"data/icons/hicolor/" + folder + "/apps/quillmark.png", encodePng(drawEmblem(size))});
    }
    return files;
}

} // namespace quillmark::artwork
