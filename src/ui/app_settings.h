#pragma once

#include "ui/command_line.h"
#include "ui/presenter/rom_identity.h"

#include <string>

namespace quillmark {

// What the window keeps from one run to the next, in the user's settings
// (quillmark/quillmark.conf in the configuration folder). Where they cannot be
// kept safely, nothing is remembered and the defaults hold.

// $XDG_CONFIG_HOME/quillmark/quillmark.conf, else ~/.config/quillmark/quillmark.conf;
// "" when neither folder is absolute (HOME unset or relative).
std::string settingsFilePath();

// The folder the folder list showed last; empty before the first run.
std::string rememberedFolder();
void rememberFolder(const std::string& folder);

NamingStyle rememberedNamingStyle();
void rememberNamingStyle(NamingStyle style);

// The folder the window opens in for `request`: the given one, the remembered
// one while it is still a folder (else the home folder), or "" for the working
// folder.
std::string startFolder(const StartRequest& request);

} // namespace quillmark
