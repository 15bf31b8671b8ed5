#pragma once
// InputDeck: a raw DV file on disk played as a tape, for korvanta-capture
// --input. While the object lives a virtual deck of speed 0 holds the file:
// it plays as fast as the capture takes the frames and drops none, so the
// file runs through the capture graph and scene rules of a tape.
//
// The deck is listed in the registry like any other (its name carries the
// process id); a deck left behind by a process that ended without removing
// it is removed by the next InputDeck.
#include <filesystem>
#include <string>

#include "platform/devices/deck_config.h"

class InputDeck {
public:
    InputDeck() = default;
    ~InputDeck();
    InputDeck(const InputDeck&) = delete;
    InputDeck& operator=(const InputDeck&) = delete;

    // Puts the file in a new deck; false, with why, for a file that is not raw DV.
    bool Plug(const std::filesystem::path& file, std::string& why);
    const std::string& Name() const { return config_.name; }
    // The deck's identifier as the device list gives it.
    std::string Id() const { return FormatDeckDeviceId(config_.deviceId); }

private:
    DeckConfig config_;
    bool plugged_ = false;
};
