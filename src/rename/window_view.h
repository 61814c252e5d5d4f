#pragma once

#include "rename/control.h"
#include "rename/message_boxes.h"

#include <string_view>

namespace quillmark {

// What the renaming logic needs of the window: captions, visibility, the file
// list and message boxes. The window implements it; tests use a fake.
class WindowView : public MessageBoxes {
public:
    // Sets the text of a label (UTF-8).
    virtual void setCaption(Control control, std::string_view text) = 0;
    virtual void setControlVisible(Control control, bool visible) = 0;
    // The control's own visibility flag, whatever its parents show.
    virtual bool isControlVisible(Control control) const = 0;
    // Lists the file list's folder again. Throws FileFailure when it cannot.
    virtual void rereadFileList() = 0;
};

} // namespace quillmark
