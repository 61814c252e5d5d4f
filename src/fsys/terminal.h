#pragma once

namespace quillmark {

enum class StandardStream { Output, Error };

// Whether the stream goes to a terminal (not a file or a pipe).
bool isTerminal(StandardStream stream);

} // namespace quillmark
