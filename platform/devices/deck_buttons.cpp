#include "platform/devices/deck_buttons.h"

#include <array>
#include <utility>

#include "platform/devices/edevdefs.h"

namespace {

constexpr std::array<std::pair<std::string_view, LONG>, 9> kButtons{{
    {"play", ED_MODE_PLAY},
    {"pause", ED_MODE_FREEZE},
    {"stop", ED_MODE_STOP},
    {"ff", ED_MODE_FF},
    {"rew", ED_MODE_REW},
    {"slow-forward", ED_MODE_PLAY_SLOWEST_FWD},
    {"slow-back", ED_MODE_PLAY_SLOWEST_REV},
    {"step-forward", ED_MODE_STEP_FWD},
    {"step-back", ED_MODE_STEP_REV},
}};

}  // namespace

std::optional<LONG> ModeOfButton(std::string_view button) {
    for (const auto& [name, mode] : kButtons)
        if (name == button) return mode;
    return std::nullopt;
}

std::string_view ButtonOfMode(LONG mode) {
    for (const auto& [name, value] : kButtons)
        if (value == mode) return name;
    return "none";
}
