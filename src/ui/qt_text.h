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

} // namespace quillmark
