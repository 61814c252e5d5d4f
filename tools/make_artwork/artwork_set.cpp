#include "artwork_set.h"

#include "background.h"
#include "emblem.h"
#include "icon_file.h"
#include "image_files.h"
#include "median_cut.h"

namespace quillmark::artwork {

namespace {

constexpr int kDotsPerMetre = 3780; // 96 dpi

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

} // namespace

std::vector<ArtworkFile> makeArtwork() {
    std::vector<ArtworkFile> files;

    const Canvas background = drawBackground(1);
    QImage indexed = toImage(background)
                         .convertToFormat(QImage::Format_Indexed8,
                                          colourTable(medianCutPalette(background, 256)));
    indexed.setDotsPerMeterX(kDotsPerMetre);
    indexed.setDotsPerMeterY(kDotsPerMetre);
    files.push_back({"src/ui/assets/background.bmp", writeImage(indexed, "bmp")});
    // High-density screens get every colour: no palette limits the PNG.
    files.push_back(
        {"src/ui/assets/background@2x.png",
         writeImage(toImage(drawBackground(2)).convertToFormat(QImage::Format_RGB32), "png")});

    const std::vector<Rgba> iconPalette(emblemPalette().begin(), emblemPalette().end());
    files.push_back(
        {"src/ui/assets/quillmark.ico",
         encodeIco4({toImage(drawEmblem(32)), toImage(drawEmblem(16))}, colourTable(iconPalette))});

    for (const int size : kDesktopIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        files.push_back({"data/icons/hicolor/" + folder + "/apps/quillmark.png",
                         writeImage(toImage(drawEmblem(size)), "png")});
    }
    files.push_back({"data/icons/hicolor/scalable/apps/quillmark.svg",
                     textBytes(emblemSvg(kDesktopIconSizes[std::size(kDesktopIconSizes) - 1]))});
    return files;
}

} // namespace quillmark::artwork
