#pragma once

#include "byte_buffer.h"
#include "canvas.h"

#include <QImage>
#include <vector>

namespace quillmark::artwork {

// The canvas as 8-bit straight-alpha ARGB; fully transparent pixels are black.
QImage toImage(const Canvas& canvas);

// Palette colours as a colour table for QImage::convertToFormat.
QList<QRgb> colourTable(const std::vector<Rgba>& palette);

// The picture in a file format Qt writes ("png", "bmp"); throws when it cannot.
Bytes writeImage(const QImage& image, const char* format);

} // namespace quillmark::artwork
