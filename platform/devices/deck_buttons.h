#pragma once
// The buttons on a deck, by the names korvanta-deck takes, and the transport
// mode each sets (the mode names also serve the status line).
#include <optional>
#include <string_view>

#include "platform/com/wintypes.h"

// "play", "pause", "stop", "ff", "rew", "slow-forward", "slow-back",
// "step-forward", "step-back"; nullopt for anything else.
std::optional<LONG> ModeOfButton(std::string_view button);
// The button name of a mode, "none" for a mode no button sets.
std::string_view ButtonOfMode(LONG mode);
