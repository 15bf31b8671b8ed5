#pragma once
// A virtual deck playing the PAL demo tape of the build tree, in the
// registry while the object lives, where child processes find it.
#include <memory>
#include <string>

namespace decktest {
class PluggedDeck;
}

namespace kvtest {

class DemoDeck {
public:
    DemoDeck(std::string name, double speed);
    ~DemoDeck();
    DemoDeck(const DemoDeck&) = delete;
    DemoDeck& operator=(const DemoDeck&) = delete;

    bool Added() const;
    const std::string& Name() const;

private:
    // Kept out of this header: the deck test helpers it comes from clash
    // with the media tool helpers the capture tests also include.
    std::unique_ptr<decktest::PluggedDeck> deck_;
};

}  // namespace kvtest
