#include "input_deck.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "platform/devices/tape_file.h"

namespace {

constexpr std::string_view kNamePrefix = "korvanta-capture input ";

// Removes the input decks of processes that are gone.
void RemoveLeftBehindDecks() {
    for (const DeckConfig& deck : deck_store::List()) {
        if (!deck.name.starts_with(kNamePrefix)) continue;
        const std::string_view digits = std::string_view(deck.name).substr(kNamePrefix.size());
        pid_t owner = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), owner);
        if (error != std::errc() || end != digits.data() + digits.size()) continue;
        if (owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH) deck_store::Remove(deck.name);
    }
}

}  // namespace

InputDeck::~InputDeck() {
    if (plugged_) deck_store::Remove(config_.name);
}

bool InputDeck::Plug(const std::filesystem::path& file, std::string& why) {
    TapeFile tape;
    const HRESULT hr = tape.Open(file);
    if (FAILED(hr)) {
        why = hr == STG_E_FILENOTFOUND ? "cannot be read" : "is not a raw DV file";
        return false;
    }
    RemoveLeftBehindDecks();
    std::error_code ignored;
    config_.name = std::string(kNamePrefix) + std::to_string(::getpid());
    config_.tape = std::filesystem::absolute(file, ignored);
    config_.deviceId = deck_store::NewDeviceId();
    config_.speed = 0;  // waits for the capture
    if (!deck_store::Add(config_, &why)) return false;
    plugged_ = true;
    return true;
}
