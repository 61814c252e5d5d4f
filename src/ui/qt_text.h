#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace quillmark {

// Paths and file names are bytes below the window; these convert them for
// display and back, the way the platform encodes file names.
inline QString pathText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string pathBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

// A UTF-8 text of the logic below the window.
inline QString utf8Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A UTF-8 text for a label: control characters, which a label would draw as
// boxes, are left out; line breaks stay.
inline QString labelText(std::string_view text) {
    QString shown = utf8Text(text);
    shown.removeIf([](QChar c) { return c.category() == QChar::Other_Control && c != u'\n'; });
    return shown;
}

} // namespace quillmark
