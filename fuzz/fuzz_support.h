#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace quillmark::fuzz {

// Stops the run when an invariant breaks; libFuzzer keeps the input that broke it.
void require(bool holds, const char* invariant);

// A private folder under the system's temporary folder for the files a target
// writes, removed when the run ends normally.
const std::string& scratchFolder();

// Writes `bytes` to `path`, replacing its contents in place (same file, same inode).
void writeFile(const std::string& path, std::string_view bytes);

void removeFile(const std::string& path);

// The file's modification time, and setting it back: an edit stamped with the
// time of the one before, as a file system with a coarse clock stamps it.
struct timespec modifiedTime(const std::string& path);
void setModifiedTime(const std::string& path, const struct timespec& time);

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
// Returns the number of code points, or -1 when malformed.
long utf8CodePoints(std::string_view text);

// Only the characters 0-9 and A-F.
bool isUpperHex(std::string_view text);

} // namespace quillmark::fuzz
