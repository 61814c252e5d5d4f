#include "fonts.h"

namespace quillmark {

QFont dialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana")});
    font.setPointSizeF(7.5);
    font.setWeight(QFont::Normal);
    return font;
}

QFont verdanaBold() {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Bold);
    return font;
}

QFont fontFor(ControlFont font) {
    return font == ControlFont::VerdanaBold ? verdanaBold() : dialogFont();
}

} // namespace quillmark
