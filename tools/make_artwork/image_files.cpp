#include "image_files.h"

#include <QBuffer>
#include <QImageWriter>
#include <stdexcept>

namespace quillmark::artwork {

QImage toImage(const Canvas& canvas) {
    QImage image(canvas.width(), canvas.height(), QImage::Format_ARGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgba& c = canvas.at(x, y);
            const std::uint8_t alpha = channelByte(c.a);
            line[x] =
                alpha == 0 ? 0 : qRgba(channelByte(c.r), channelByte(c.g), channelByte(c.b), alpha);
        }
    }
    return image;
}

QList<QRgb> colourTable(const std::vector<Rgba>& palette) {
    QList<QRgb> table;
    for (const Rgba& c : palette) {
        table.push_back(qRgb(channelByte(c.r), channelByte(c.g), channelByte(c.b)));
    }
    return table;
}

Bytes writeImage(const QImage& image, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        throw std::runtime_error("cannot write " + std::string(format) + ": " +
                                 writer.errorString().toStdString());
    }
    const QByteArray& data = buffer.data();
    return Bytes(data.begin(), data.end());
}

} // namespace quillmark::artwork
