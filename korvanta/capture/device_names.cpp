// The text side of the camcorder list: names from moniker display names,
// numbering of equal names, and the identifier as UsedDevice stores it.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>

#include "korvanta/capture/device_list.h"

namespace {

// Display names are read into a buffer of 260 characters, terminator included.
constexpr std::size_t kDisplayNameLimit = 259;
// The model an AV/C camcorder reports when it has no model name of its own.
constexpr std::string_view kNoModel = "mod_0";
constexpr const char* kDefaultName = "DV Camcorder";

// Vendor and model names on the bus are ASCII; other bytes are left as they
// are so that UTF-8 text never gets split or altered by a locale.
std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool NameTaken(const std::vector<DeviceEntry>& entries, const std::string& name) {
    for (const DeviceEntry& entry : entries)
        if (entry.name == name) return true;
    return false;
}

}  // namespace

std::string CamcorderName(std::string_view monikerDisplayName) {
    const std::string_view text = monikerDisplayName.substr(0, kDisplayNameLimit);
    // "...#<vendor>&<model>&...": vendor and model are the first two fields
    // after the first "#", each ended by an "&".
    std::string vendor;
    std::string model;
    if (const std::size_t hash = text.find('#'); hash != std::string_view::npos) {
        if (const std::size_t vendorEnd = text.find('&', hash + 1); vendorEnd != std::string_view::npos) {
            vendor = UpperAscii(text.substr(hash + 1, vendorEnd - hash - 1));
            if (const std::size_t modelEnd = text.find('&', vendorEnd + 1); modelEnd != std::string_view::npos) {
                const std::string_view field = text.substr(vendorEnd + 1, modelEnd - vendorEnd - 1);
                if (field != kNoModel) model = UpperAscii(field);
            }
        }
    }
    // An empty vendor or model adds nothing, so that the name never carries a
    // stray space ("ACME  - DV Camcorder", " KV-100 - DV Camcorder").
    std::string name = vendor;
    if (!model.empty()) name += (name.empty() ? "" : " ") + model;
    return name.empty() ? std::string(kDefaultName) : name + " - " + kDefaultName;
}

void NumberDuplicateNames(std::vector<DeviceEntry>& entries) {
    for (std::size_t first = 0; first < entries.size(); ++first) {
        int number = 2;
        for (std::size_t later = first + 1; later < entries.size(); ++later) {
            if (entries[later].name != entries[first].name) continue;
            // A number whose name some other entry already has is passed
            // over, so that every name in the list stays unique.
            std::string numbered;
            do {
                numbered = entries[first].name + " #" + std::to_string(number++);
            } while (NameTaken(entries, numbered));
            entries[later].name = std::move(numbered);
        }
    }
}

// The two words are read and written little-endian, the byte order of the
// machines the setting has always been written on, so a stored UsedDevice
// names the same device on any host.
std::string FormatDeviceId(const DeviceId& id) {
    std::uint32_t words[2] = {};
    for (int word = 0; word < 2; ++word)
        for (int b = 0; b < 4; ++b) words[word] |= std::uint32_t{id[word * 4 + b]} << (8 * b);
    char text[17];
    std::snprintf(text, sizeof text, "%08X%08X", static_cast<unsigned>(words[0]), static_cast<unsigned>(words[1]));
    return text;
}

std::optional<DeviceId> ParseDeviceId(std::string_view text) {
    if (text.size() != 16) return std::nullopt;
    DeviceId id{};
    for (int word = 0; word < 2; ++word) {
        const char* first = text.data() + word * 8;
        const char* last = first + 8;
        // from_chars takes no sign, prefix or space for an unsigned number;
        // it must use all 8 characters.
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(first, last, value, 16);
        if (error != std::errc() || end != last) return std::nullopt;
        for (int b = 0; b < 4; ++b) id[word * 4 + b] = static_cast<BYTE>(value >> (8 * b));
    }
    return id;
}
