#include "platform/devices/deck_config.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <random>

#include "platform/com/registry_key.h"
#include "platform/devices/edevdefs.h"

namespace {

// Device interface class of AV/C camcorders; part of every DV device path.
constexpr const char* kDvInterfaceClass = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";

std::string DeckKey(std::string_view name) { return std::string(deck_store::kDecksKey) + "\\" + std::string(name); }

std::optional<DeckConfig> Load(const std::string& name) {
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, DeckKey(name).c_str()) != ERROR_SUCCESS) return std::nullopt;
    DeckConfig deck;
    deck.name = name;
    std::string tape, id, speed;
    DWORD type = 0;
    if (key.QueryString("Tape", &tape) != ERROR_SUCCESS || key.QueryString("DeviceId", &id) != ERROR_SUCCESS ||
        key.QueryDword("DeviceType", &type) != ERROR_SUCCESS || key.QueryString("Vendor", &deck.vendor) != ERROR_SUCCESS ||
        key.QueryString("Model", &deck.model) != ERROR_SUCCESS || key.QueryString("Speed", &speed) != ERROR_SUCCESS)
        return std::nullopt;
    const auto parsedId = ParseDeckDeviceId(id);
    const auto [end, error] = std::from_chars(speed.data(), speed.data() + speed.size(), deck.speed);
    if (!parsedId || error != std::errc() || end != speed.data() + speed.size()) return std::nullopt;
    deck.tape = tape;
    deck.camera = type != static_cast<DWORD>(ED_DEVTYPE_VCR);
    deck.deviceId = *parsedId;
    if (!CheckDeckConfig(deck).empty()) return std::nullopt;
    return deck;
}

}  // namespace

std::optional<DeckDeviceId> ParseDeckDeviceId(std::string_view text) {
    if (text.size() != 16) return std::nullopt;
    DeckDeviceId id{};
    for (int word = 0; word < 2; ++word) {
        std::uint32_t value = 0;
        const char* first = text.data() + word * 8;
        const auto [end, error] = std::from_chars(first, first + 8, value, 16);
        if (error != std::errc() || end != first + 8) return std::nullopt;
        for (int b = 0; b < 4; ++b) id[word * 4 + b] = static_cast<BYTE>(value >> (8 * b));  // little-endian word
    }
    return id;
}

std::string FormatDeckDeviceId(const DeckDeviceId& id) {
    char text[17];
    std::uint32_t words[2] = {};
    for (int word = 0; word < 2; ++word)
        for (int b = 0; b < 4; ++b) words[word] |= std::uint32_t{id[word * 4 + b]} << (8 * b);
    std::snprintf(text, sizeof text, "%08X%08X", words[0], words[1]);
    return text;
}

std::string CamcorderDisplayName(const std::string& vendor, const std::string& model, const DeckDeviceId& id,
                                 const std::string& last) {
    return "@device:pnp:\\\\?\\avc#" + vendor + "&" + model + "&camcorder&dv#" + FormatDeckDeviceId(id) + "#" +
           kDvInterfaceClass + "\\" + last;
}

std::string DeckDisplayName(const DeckConfig& deck) {
    return CamcorderDisplayName(deck.vendor, deck.model, deck.deviceId, deck.name);
}

std::string CheckDeckConfig(const DeckConfig& deck) {
    const auto breaksName = [](const std::string& text) { return text.find_first_of("#&\\") != std::string::npos; };
    if (deck.name.empty() || breaksName(deck.name) || deck.name.size() > 64)
        return "a deck name is 1 to 64 characters without '#', '&' or '\\'";
    if (deck.vendor.empty() || breaksName(deck.vendor)) return "a vendor is not empty and has no '#', '&' or '\\'";
    if (deck.model.empty() || breaksName(deck.model)) return "a model is not empty and has no '#', '&' or '\\'";
    if (!(deck.speed >= 0.0 && deck.speed <= 1000.0))
        return "the speed factor lies from 0 (as fast as the capture takes the frames) to 1000";
    if (deck.tape.empty()) return "a deck needs a tape file";
    return {};
}

namespace deck_store {

bool Add(const DeckConfig& deck, std::string* why) {
    if (std::string problem = CheckDeckConfig(deck); !problem.empty()) {
        *why = problem;
        return false;
    }
    for (const DeckConfig& other : List()) {
        if (other.name == deck.name) {
            *why = "a deck named \"" + deck.name + "\" exists already";
            return false;
        }
        if (other.deviceId == deck.deviceId) {
            *why = "deck \"" + other.name + "\" has the identifier " + FormatDeckDeviceId(deck.deviceId) + " already";
            return false;
        }
    }
    char speed[32];
    std::snprintf(speed, sizeof speed, "%g", deck.speed);
    RegKey key;
    const bool stored =
        key.Create(HKEY_CURRENT_USER, DeckKey(deck.name).c_str()) == ERROR_SUCCESS &&
        key.SetString("Tape", deck.tape.string()) == ERROR_SUCCESS &&
        key.SetDword("DeviceType", static_cast<DWORD>(deck.camera ? ED_DEVTYPE_CAMERA : ED_DEVTYPE_VCR)) == ERROR_SUCCESS &&
        key.SetString("DeviceId", FormatDeckDeviceId(deck.deviceId)) == ERROR_SUCCESS &&
        key.SetString("Vendor", deck.vendor) == ERROR_SUCCESS && key.SetString("Model", deck.model) == ERROR_SUCCESS &&
        // Speed last: a deck is listed only once all its values are there.
        key.SetString("Speed", speed) == ERROR_SUCCESS;
    if (!stored) *why = "the registry cannot be written";
    return stored;
}

bool Remove(std::string_view name) {
    RegKey decks;
    if (decks.Open(HKEY_CURRENT_USER, kDecksKey) != ERROR_SUCCESS || !Find(name)) return false;
    return RegDeleteTree(decks.Get(), std::string(name).c_str()) == ERROR_SUCCESS;
}

std::vector<DeckConfig> List() {
    std::vector<DeckConfig> decks;
    RegKey key;
    std::vector<std::string> names;
    if (key.Open(HKEY_CURRENT_USER, kDecksKey) != ERROR_SUCCESS || key.SubKeyNames(&names) != ERROR_SUCCESS)
        return decks;
    for (const std::string& name : names)
        if (auto deck = Load(name)) decks.push_back(std::move(*deck));
    return decks;
}

std::optional<DeckConfig> Find(std::string_view name) {
    if (name.empty() || name.find('\\') != std::string_view::npos) return std::nullopt;
    return Load(std::string(name));
}

DeckDeviceId NewDeviceId() {
    std::random_device random;
    const std::vector<DeckConfig> decks = List();
    for (;;) {
        DeckDeviceId id{};
        for (BYTE& byte : id) byte = static_cast<BYTE>(random());
        const bool taken = std::any_of(decks.begin(), decks.end(), [&](const DeckConfig& d) { return d.deviceId == id; });
        if (!taken && id != DeckDeviceId{}) return id;
    }
}

std::optional<std::string> ControlSocket(std::string_view name) {
    RegKey key;
    std::string path;
    if (key.Open(HKEY_CURRENT_USER, DeckKey(name).c_str()) != ERROR_SUCCESS ||
        key.QueryString("ControlSocket", &path) != ERROR_SUCCESS || path.empty())
        return std::nullopt;
    return path;
}

void SetControlSocket(std::string_view name, const std::string& path) {
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, DeckKey(name).c_str()) == ERROR_SUCCESS) key.SetString("ControlSocket", path);
}

void ClearControlSocket(std::string_view name, const std::string& path) {
    RegKey key;
    if (ControlSocket(name) == path && key.Open(HKEY_CURRENT_USER, DeckKey(name).c_str()) == ERROR_SUCCESS)
        RegDeleteValue(key.Get(), "ControlSocket");
}

}  // namespace deck_store
