#pragma once

#include <string>
#include <string_view>

namespace quillmark {

// Which buttons and icon a message box has.
enum class BoxStyle {
    Ok = 0,                // OK, no icon
    RetryCancel = 5,       // Retry and Cancel, no icon
    OkExclamation = 48,    // OK, exclamation icon
    OkInformation = 64,    // OK, information icon
    OkCancelQuestion = 33, // OK and Cancel, question icon
};

// The titles of the failure boxes: "Fehler !" when a rename or a batch run
// fails, "Error !" when a file or folder cannot be read or listed.
inline constexpr std::string_view kFailureTitle = "Fehler !";
inline constexpr std::string_view kErrorTitle = "Error !";

// The text for a rename refused because `fileName` is taken: says so, rather
// than blaming the drive.
inline std::string nameTakenText(std::string_view fileName) {
    return "A file named \"" + std::string(fileName) + "\" already exists !";
}

// The button that closed a box.
enum class BoxButton { Ok = 1, Cancel = 2, Retry = 4 };

// Modal message boxes: the call returns when the user has closed the box.
// Texts are UTF-8; lines are joined by a single line feed.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual BoxButton showMessage(std::string_view text, std::string_view title,
                                  BoxStyle style) = 0;
};

} // namespace quillmark
