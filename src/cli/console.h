#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillmark::cli {

// Standard output and error as the program writes to them: colour only for
// a terminal (and not with NO_COLOR set, nor on a dumb terminal), a
// progress line on a terminal's standard error once a run takes longer than
// about a second, erased before any other line is written beside it.
class Console {
public:
    Console();

    bool colour() const { return colour_; }

    // Writes to standard output. A failed write (the reader went away) is
    // remembered: the run stops at the next file, as if interrupted.
    void out(std::string_view text);
    bool outputFailed() const { return outputFailed_; }

    // One line on standard error, "quillmark-cli: " first.
    void error(std::string_view line);

    // "WHAT: DONE of TOTAL", redrawn at most ten times a second.
    void progress(std::string_view what, std::size_t done, std::size_t total);
    void endProgress();

private:
    using Clock = std::chrono::steady_clock;

    void eraseProgress();

    bool colour_ = false;
    bool progressAllowed_ = false;
    bool outToTerminal_ = false;
    bool progressShown_ = false;
    bool outputFailed_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_;
};

} // namespace quillmark::cli
