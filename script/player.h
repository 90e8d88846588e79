#pragma once
#include "common/product.h"
#include "script/module_data.h"
#include "script/play_host.h"

namespace qb {

inline constexpr std::string_view kNothingToPlay =
    "Could you Please select or record a macro to play.";

enum class PlayEnd { Finished, Stopped };

// The Play action: clears the stop request, refuses an empty text, marks the play, hands the
// text to the recorded-macro player or, for an advanced macro, to the advanced command runner,
// and clears the mark at the end.
void PlayAction(ModuleData& module, PlayHost& host);

// Plays the host's text as a recorded macro, with the recorded pauses.
PlayEnd PlayRecorded(ModuleData& module, PlayHost& host);

}  // namespace qb
