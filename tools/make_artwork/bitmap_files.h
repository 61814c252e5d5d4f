#pragma once

#include "byte_buffer.h"
#include "indexed_image.h"

namespace quillmark::artwork {

// Bytes of one row of `width` pixels at `bitsPerPixel`, padded to whole 32-bit words
// as Windows bitmaps keep them.
std::size_t bitmapRowStride(int width, int bitsPerPixel);

// A Windows BMP of 8 bits per pixel: BITMAPINFOHEADER, a 256-entry colour table
// (unused entries black), rows bottom-up, no compression.
Bytes encodeBmp8(const IndexedImage& image);

// A Windows icon of 16-colour (4 bits per pixel) images, each with its own colour
// table and an AND mask that marks the transparent pixels. Images are at most
// 255 pixels wide and high.
Bytes encodeIco4(const std::vector<IndexedImage>& images);

} // namespace quillmark::artwork
