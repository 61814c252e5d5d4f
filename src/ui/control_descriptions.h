#pragma once

#include "ui/presenter/control.h"

#include <array>
#include <optional>
#include <string_view>

namespace quillmark {

// What assistive technology says about a control a user reads or operates.
struct ControlDescription {
    Control control;
    // The caption label beside it: the control is named after the caption's
    // text, without its colon, and the caption is its buddy.
    std::optional<Control> caption;
    // The name where there is no caption; "" keeps the control's own text.
    std::string_view name;
    std::string_view description;
};

extern const std::array<ControlDescription, 32> kControlDescriptions;

} // namespace quillmark
