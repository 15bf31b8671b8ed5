#pragma once
// Shared by the deck tests: tapes recorded with ffmpeg and decks plugged in
// for one test.
#include <chrono>
#include <string>
#include <thread>

#include "platform/devices/deck_config.h"
#include "support/dv/dv_clips.h"

namespace decktest {

// Polls until the condition holds or the time is up; the deck's threads answer in their own time.
template <class Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A PAL clip of frames frames (recording date, time code and sound as the clip maker makes them).
inline kvtest::DvClipSpec PalSpec(int frames) {
    kvtest::DvClipSpec recipe;
    recipe.frames = frames;
    return recipe;
}

// A configured deck with the tape, removed from the registry again when the object goes.
class PluggedDeck {
public:
    PluggedDeck(std::string name, const std::filesystem::path& tape, double speed = 1.0, bool camera = false) {
        config_.name = std::move(name);
        config_.tape = tape;
        config_.speed = speed;
        config_.camera = camera;
        config_.deviceId = deck_store::NewDeviceId();
        std::string why;
        added_ = deck_store::Add(config_, &why);
    }
    ~PluggedDeck() { deck_store::Remove(config_.name); }
    PluggedDeck(const PluggedDeck&) = delete;
    PluggedDeck& operator=(const PluggedDeck&) = delete;

    bool Added() const { return added_; }
    const DeckConfig& Config() const { return config_; }
    const std::string& Name() const { return config_.name; }

private:
    DeckConfig config_;
    bool added_ = false;
};

}  // namespace decktest
