#pragma once

#include "ui/presenter/rom_identity.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quillmark {

// Exit status for bad usage; every verb returns it for wrong arguments.
inline constexpr int kProbeUsageError = 2;

// Each verb takes the arguments after the verb (without --ultrahle) and the style.
int identifyVerb(const std::vector<std::string>& args, NamingStyle style);
int batchVerb(const std::vector<std::string>& args, NamingStyle style);
int renameVerb(const std::vector<std::string>& args, NamingStyle style);

// The identify lines from verdict to renameOffered.
void printIdentification(std::ostream& out, const RomIdentity& identity,
                         const Identification& result);

std::int32_t failureNumber(const Identification& result);

} // namespace quillmark
