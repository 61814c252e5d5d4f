#pragma once

#include "control_layout.h"

#include <QFont>
#include <QStringList>

namespace quillmark {

// The window's default font: small enough that the detail captions fit their
// labels as drawn, and wrap where they were drawn to wrap.
QFont dialogFont();

// Verdana 8.25 pt bold; DejaVu Sans, drawn on Verdana's proportions, where
// Verdana is not installed.
QFont verdanaBold();

QFont fontFor(ControlFont font);

} // namespace quillmark
