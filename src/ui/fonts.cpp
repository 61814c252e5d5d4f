#include "fonts.h"

#include <QStringList>

namespace quillmark {

namespace {

QFont makeFont(const QString& first, const QString& fallback, qreal points, QFont::Weight weight) {
    QFont font;
    font.setFamilies({first, fallback});
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

// Verdana 8.25 pt bold; DejaVu Sans, drawn on Verdana's proportions, where
// Verdana is not installed.
QFont verdanaBold() {
    return makeFont(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), 8.25, QFont::Bold);
}

} // namespace

QFont dialogFont() {
    return makeFont(QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana"), 7.5, QFont::Normal);
}

QFont fontFor(ControlFont font) {
    return font == ControlFont::VerdanaBold ? verdanaBold() : dialogFont();
}

} // namespace quillmark
