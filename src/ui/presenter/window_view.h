#pragma once

#include "ui/presenter/control.h"
#include "ui/presenter/message_boxes.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace quillmark {

// What the renaming logic needs of the window: captions, visibility, the two
// result lists, the progress bar, the file list and message boxes. The window
// implements it; tests use a fake.
class WindowView : public MessageBoxes {
public:
    // Sets the text of a label (UTF-8).
    virtual void setCaption(Control control, std::string_view text) = 0;
    virtual void setControlVisible(Control control, bool visible) = 0;
    // The control's own visibility flag, whatever its parents show.
    virtual bool isControlVisible(Control control) const = 0;
    // Lists the file list's folder again. Throws FileFailure when it cannot.
    virtual void rereadFileList() = 0;

    // The list boxes Listeschonrichtig and Listeunbekannt.
    virtual void clearList(Control list) = 0;
    virtual void appendToList(Control list, std::string_view entry) = 0;
    // The progress bar's value, 0–100.
    virtual void setProgressValue(std::int32_t value) = 0;
    // Paints the control before returning, without handling any other event:
    // a long action that keeps the event loop waiting still shows how far it is.
    virtual void paintNow(Control control) = 0;
};

// Empties the captions of `controls`, one after the other in the given order.
inline void clearCaptions(WindowView& view, std::initializer_list<Control> controls) {
    for (const Control control : controls) {
        view.setCaption(control, "");
    }
}

} // namespace quillmark
