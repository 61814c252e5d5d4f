#include "fsys/terminal.h"

#include <unistd.h>

namespace quillmark {

bool isTerminal(StandardStream stream) {
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

} // namespace quillmark
