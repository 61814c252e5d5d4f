#pragma once

#include "ui/presenter/message_boxes.h"

#include <functional>
#include <string>
#include <vector>

namespace quillmark::test {

// Message boxes answered by the test: each box is recorded, then `answer`
// (when set) decides the button, else OK.
class ScriptedBoxes : public MessageBoxes {
public:
    struct Box {
        std::string text;
        std::string title;
        BoxStyle style;
    };

    BoxButton showMessage(std::string_view text, std::string_view title, BoxStyle style) override {
        boxes.push_back({std::string(text), std::string(title), style});
        return answer ? answer(boxes.size()) : BoxButton::Ok;
    }

    std::vector<Box> boxes;
    std::function<BoxButton(std::size_t count)> answer;
};

} // namespace quillmark::test
