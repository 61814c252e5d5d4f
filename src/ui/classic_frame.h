#pragma once

#include <QGroupBox>

namespace quillmark {

// A frame drawn the classic way: an etched line around the whole frame whose
// top runs through the middle of the caption, broken where the caption stands
// at its top left. The contents, placed below the caption, and the caption sit
// on the frame's own background, so every frame of the window looks the same
// whatever the toolkit's style draws for a group box.
class ClassicFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillmark
