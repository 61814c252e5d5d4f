#pragma once

#include <QLabel>

namespace quillmark {

// A label that shows a value the program fills in (a header field, a count,
// the batch status). Assistive technology reads it by its accessible name,
// the caption beside it, and reads the shown text as its value, where a plain
// label named after its caption would no longer say what it shows.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    explicit ValueLabel(QWidget* parent = nullptr);

    // Sets the shown text and tells assistive technology of the change.
    void setValue(const QString& text);
};

} // namespace quillmark
