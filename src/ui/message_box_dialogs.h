#pragma once

#include "ui/presenter/message_boxes.h"

#include <QMessageBox>
#include <memory>

namespace quillmark {

// The box for a text, title and style: the style's buttons and icon.
std::unique_ptr<QMessageBox> makeMessageBox(std::string_view text, std::string_view title,
                                            BoxStyle style, QWidget* parent);

// Modal message boxes on screen.
class MessageBoxDialogs : public MessageBoxes {
public:
    explicit MessageBoxDialogs(QWidget* parent) : parent_(parent) {}
    BoxButton showMessage(std::string_view text, std::string_view title, BoxStyle style) override;

private:
    QWidget* parent_;
};

} // namespace quillmark
