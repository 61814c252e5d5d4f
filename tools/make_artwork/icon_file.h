#pragma once

#include "byte_buffer.h"

#include <QImage>
#include <vector>

namespace quillmark::artwork {

// Bytes of one row of `width` pixels at `bitsPerPixel`, padded to whole 32-bit words
// as Windows bitmaps keep them.
std::size_t bitmapRowStride(int width, int bitsPerPixel);

// A Windows icon of 16-colour (4 bits per pixel) images, Qt having no writer
// for that depth. Each ARGB image is mapped to the palette (at most 16
// colours); pixels less than half opaque go into the AND mask, black in the
// colour image. Images are at most 255 pixels wide and high.
Bytes encodeIco4(const std::vector<QImage>& images, const QList<QRgb>& palette);

} // namespace quillmark::artwork
