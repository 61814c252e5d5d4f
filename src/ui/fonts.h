#pragma once

#include "control_layout.h"

#include <QFont>

namespace quillmark {

// The window's default font: small enough that the detail captions fit their
// labels as drawn, and wrap where they were drawn to wrap.
QFont dialogFont();

QFont fontFor(ControlFont font);

} // namespace quillmark
