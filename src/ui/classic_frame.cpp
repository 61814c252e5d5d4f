#include "classic_frame.h"

#include <QPainter>

namespace quillmark {

namespace {

// The caption's distance from the frame's left edge, and the gap kept clear
// of the line on each side of it.
constexpr int kCaptionLeft = 6;
constexpr int kCaptionGap = 2;
// The classic 3D colours: button shadow and button highlight.
constexpr QRgb kShadow = 0x808080;
constexpr QRgb kHighlight = 0xFFFFFF;

} // namespace

void ClassicFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineTop = metrics.height() / 2;
    const int lineHeight = height() - 2 - lineTop;
    // Etched: the shadow line with the highlight line just inside it at the
    // top and left, just outside it at the bottom and right.
    painter.setPen(QColor::fromRgb(kHighlight));
    painter.drawRect(1, lineTop + 1, width() - 2, lineHeight);
    painter.setPen(QColor::fromRgb(kShadow));
    painter.drawRect(0, lineTop, width() - 2, lineHeight);

    if (title().isEmpty()) {
        return;
    }
    const QRect captionRect(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionGap,
                            metrics.height());
    painter.fillRect(captionRect, palette().color(backgroundRole()));
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, title());
}

} // namespace quillmark
