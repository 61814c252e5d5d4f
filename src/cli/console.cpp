#include "console.h"

#include "fsys/terminal.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillmark::cli {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// 12345 -> "12,345"
std::string grouped(std::size_t number) {
    const std::string digits = std::to_string(number);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

} // namespace

Console::Console() {
    const char* term = std::getenv("TERM");
    const bool dumb = term != nullptr && std::string_view(term) == "dumb";
    outToTerminal_ = isTerminal(StandardStream::Output);
    colour_ = outToTerminal_ && !dumb && !isSet("NO_COLOR");
    progressAllowed_ = isTerminal(StandardStream::Error) && !dumb;
}

void Console::out(std::string_view text) {
    if (outToTerminal_) {
        eraseProgress();
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        outputFailed_ = true;
    }
}

void Console::error(std::string_view line) {
    eraseProgress();
    std::fflush(stdout);
    std::string text = "quillmark-cli: ";
    text += line;
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void Console::progress(std::string_view what, std::size_t done, std::size_t total) {
    if (!progressAllowed_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) ||
        (progressShown_ && now - lastDrawn_ < std::chrono::milliseconds(100))) {
        return;
    }
    lastDrawn_ = now;
    std::fflush(stdout);
    std::string line = "\r";
    line += what;
    line += ": " + grouped(done) + " of " + grouped(total);
    if (total > 0) {
        line += " (" + std::to_string(done * 100 / total) + " %)";
    }
    line += "\033[K";
    std::fwrite(line.data(), 1, line.size(), stderr);
    progressShown_ = true;
}

void Console::endProgress() {
    eraseProgress();
}

void Console::eraseProgress() {
    if (progressShown_) {
        std::fputs("\r\033[K", stderr);
        progressShown_ = false;
    }
}

} // namespace quillmark::cli
