#pragma once
#include <string_view>

#include "script/module_data.h"
#include "script/play_host.h"
#include "script/player.h"

namespace qb {

// Runs the host's text as an advanced macro, command after command.
PlayEnd RunAdvanced(ModuleData& module, PlayHost& host);

// The window gate: 0 the foreground window matches (or the match code is unknown), 1 it does
// not and the mode is "w" (wait), 2 it does not and the mode is any other letter (quit).
int CheckWindowLimit(platform::Windows& windows, std::string_view argument);

// Message of a failed "activate=" line.
std::string activateFailedMessage(std::string_view title);

}  // namespace qb
