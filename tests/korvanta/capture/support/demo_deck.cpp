#include "tests/korvanta/capture/support/demo_deck.h"

#include <filesystem>
#include <utility>

#include "tests/platform/devices/deck_fixtures.h"

namespace kvtest {

DemoDeck::DemoDeck(std::string name, double speed)
    : deck_(std::make_unique<decktest::PluggedDeck>(std::move(name),
                                                    std::filesystem::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv",
                                                    speed)) {}

DemoDeck::~DemoDeck() = default;

bool DemoDeck::Added() const { return deck_->Added(); }
const std::string& DemoDeck::Name() const { return deck_->Name(); }

}  // namespace kvtest
