#include "message_box_dialogs.h"

#include "qt_text.h"

namespace quillmark {

std::unique_ptr<QMessageBox> makeMessageBox(std::string_view text, std::string_view title,
                                            BoxStyle style, QWidget* parent) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (style) {
    case BoxStyle::Ok:
        break;
    case BoxStyle::RetryCancel:
        buttons = QMessageBox::Retry | QMessageBox::Cancel;
        break;
    case BoxStyle::OkExclamation:
        icon = QMessageBox::Warning;
        break;
    case BoxStyle::OkInformation:
        icon = QMessageBox::Information;
        break;
    case BoxStyle::OkCancelQuestion:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    }
    auto box =
        std::make_unique<QMessageBox>(icon, utf8Text(title), utf8Text(text), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

BoxButton MessageBoxDialogs::showMessage(std::string_view text, std::string_view title,
                                         BoxStyle style) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(text, title, style, parent_);
    switch (box->exec()) {
    case QMessageBox::Retry:
        return BoxButton::Retry;
    case QMessageBox::Cancel:
        return BoxButton::Cancel;
    default:
        return BoxButton::Ok;
    }
}

} // namespace quillmark
