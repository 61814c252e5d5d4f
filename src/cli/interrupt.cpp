#include "interrupt.h"

#include <csignal>

namespace quillmark::cli {

namespace {

volatile std::sig_atomic_t asked = 0;

extern "C" void askToStop(int signal) {
    asked = 1;
    std::signal(signal, SIG_DFL);
}

} // namespace

void catchStopSignals() {
    std::signal(SIGINT, askToStop);
    std::signal(SIGTERM, askToStop);
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool stopAsked() {
    return asked != 0;
}

} // namespace quillmark::cli
