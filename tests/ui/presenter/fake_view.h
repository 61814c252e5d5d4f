#pragma once

#include "ui/presenter/window_view.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quillmark::test {

// A window without a screen: it records captions, visibility, list boxes, the
// progress value, paints, file-list re-reads and message boxes, and answers
// boxes as a test scripts them.
class FakeView : public WindowView {
public:
    struct Box {
        std::string text;
        std::string title;
        BoxStyle style;
        bool operator==(const Box&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Box& box) {
            return out << '"' << box.text << "\" \"" << box.title << "\" "
                       << static_cast<int>(box.style);
        }
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
    void clearList(Control list) override { lists[index(list)].clear(); }
    void appendToList(Control list, std::string_view entry) override {
        lists[index(list)].emplace_back(entry);
    }
    void setProgressValue(std::int32_t value) override { progress = value; }
    // Records what the control shows at the moment it is painted.
    void paintNow(Control control) override {
        paints.push_back(control == Control::ProgressBar ? std::to_string(progress)
                                                         : caption(control));
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
    std::array<std::vector<std::string>, kControlCount> lists;
    std::int32_t progress = 0;
    std::vector<std::string> paints;
    int rereads = 0;
    std::function<void()> onReread; // may throw, to fail the re-read
    std::vector<Box> boxes;
    std::deque<BoxButton> answers;

private:
    static std::size_t index(Control control) { return static_cast<std::size_t>(control); }
};

} // namespace quillmark::test
