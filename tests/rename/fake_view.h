#pragma once

#include "rename/window_view.h"

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quillmark::test {

// A window without a screen: it records captions, visibility, file-list
// re-reads and message boxes, and answers boxes as a test scripts them.
class FakeView : public WindowView {
public:
    struct Box {
        std::string text;
        std::string title;
        BoxStyle style;
    };

    FakeView() { visible.fill(true); }

    void setCaption(Control control, std::string_view text) override {
        captions[index(control)] = std::string(text);
    }
    void setControlVisible(Control control, bool value) override {
        visible[index(control)] = value;
    }
    bool isControlVisible(Control control) const override { return visible[index(control)]; }
    void rereadFileList() override {
        ++rereads;
        if (onReread) {
            onReread();
        }
    }
    BoxButton showMessage(std::string_view text, std::string_view title, BoxStyle style) override {
        boxes.push_back({std::string(text), std::string(title), style});
        if (answers.empty()) {
            return BoxButton::Ok;
        }
        const BoxButton answer = answers.front();
        answers.pop_front();
        return answer;
    }

    const std::string& caption(Control control) const { return captions[index(control)]; }
    bool shown(Control control) const { return visible[index(control)]; }

    std::array<std::string, kControlCount> captions;
    std::array<bool, kControlCount> visible{};
    int rereads = 0;
    std::function<void()> onReread; // may throw, to fail the re-read
    std::vector<Box> boxes;
    std::deque<BoxButton> answers;

private:
    static std::size_t index(Control control) { return static_cast<std::size_t>(control); }
};

} // namespace quillmark::test
