#include "window_texts.h"

#include "ui/credits.h"

#include <array>

namespace quillmark {

std::string windowTitle() {
    return "Quillmark v" + std::string(kShortVersion) + " by " + std::string(kCredit) + " - " +
           std::string(kWebAddress);
}

std::string aboutText() {
    const std::array<std::string, 11> lines = {
        "Quillmark v" + std::string(kShortVersion) + " (" + std::string(kReleaseYear) + ") by " +
            std::string(kCredit),
        "",
        "Updates: " + std::string(kWebAddress),
        "",
        "Errors, suggestions, unknown ROMs ?",
        "Feel free to email me:",
        std::string(11, ' ') + std::string(kEmailAddress),
        "",
        "Attention: The use of this program",
        "is on your own risk ! The user is responsible",
        "for any damage resulting from the use of this program !",
    };
    std::string text;
    for (const std::string& line : lines) {
        if (&line != &lines.front()) {
            text += '\n';
        }
        text += line;
    }
    return text;
}

} // namespace quillmark
