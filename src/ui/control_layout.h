#pragma once

#include "ui/presenter/control.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillmark {

enum class ControlKind {
    Frame,
    OptionButton,
    Label,
    CommandButton,
    ListBox,
    DriveList,
    FolderList,
    FileList,
    Progress,
};

enum class ControlFont { Dialog, VerdanaBold }; // Dialog: the window's default font

enum class TextAlign { Left, Centre, Right };

// How a control's background is painted.
enum class Background {
    Standard,    // the toolkit's standard control colour
    Transparent, // the window's picture shows through
    Grey,        // C0C0C0, the window's own grey
    LightGrey,   // E0E0E0, the band under the proposed name
};

// Where and how one control stands, as the window was drawn: positions and
// sizes in twips (15 to a pixel at 96 dpi), inside its frame or the window.
struct ControlLayout {
    Control control;
    ControlKind kind;
    std::optional<Control> frame; // the frame holding it, none for the window
    int left, top, width, height;
    std::string_view caption;
    ControlFont font;
    TextAlign align;
    Background background;
    int tabIndex;
    bool checked = false; // option buttons selected at start
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// The 48 controls that have a place on screen, frames before their contents.
extern const std::array<ControlLayout, 48> kControlLayouts;

// The window's client area in twips.
inline constexpr int kClientWidth = 8535;
inline constexpr int kClientHeight = 8145;
inline constexpr std::uint32_t kWindowGrey = 0xC0C0C0;
inline constexpr std::uint32_t kBandGrey = 0xE0E0E0;

} // namespace quillmark
