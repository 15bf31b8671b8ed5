#pragma once
// The virtual decks the user has plugged in, kept in the registry under
// HKEY_CURRENT_USER\Software\Korvanta\Decks\<name>, so every process (the
// program, korvanta-deck, tests) sees the same set:
//
//   Tape          REG_SZ     the raw DV file in the deck
//   DeviceType    REG_DWORD  ED_DEVTYPE_VCR or ED_DEVTYPE_CAMERA
//   DeviceId      REG_SZ     the 8-byte identifier as 16 hexadecimal digits
//   Vendor, Model REG_SZ     the names the device's display name carries
//   Speed         REG_SZ     how many times faster than real time it runs
//   ControlSocket REG_SZ     where the deck in use takes commands (written by
//                            the process that uses it, see DeckControlServer)
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/wintypes.h"

// The identifier as get_ExternalDeviceID hands it out: two 32-bit words in
// memory order. Its text is "%08X%08X" of the two words, the same form the
// program stores for the device it used last.
using DeckDeviceId = std::array<BYTE, 8>;
std::optional<DeckDeviceId> ParseDeckDeviceId(std::string_view text);
std::string FormatDeckDeviceId(const DeckDeviceId& id);

struct DeckConfig {
    std::string name;
    std::filesystem::path tape;
    bool camera = false;
    DeckDeviceId deviceId{};
    std::string vendor = "KORVANTA";
    std::string model = "mod_0";
    double speed = 1.0;

    bool operator==(const DeckConfig&) const = default;
};

// The moniker display name of a deck, shaped like a DV camcorder's on the
// 1394 bus: "@device:pnp:\\?\avc#<vendor>&<model>&camcorder&dv#<id>#{...}\<name>".
std::string DeckDisplayName(const DeckConfig& deck);
// The same shape for any DV camcorder: vendor and model as its config ROM
// names them, the identifier and a last part that tells the device apart.
std::string CamcorderDisplayName(const std::string& vendor, const std::string& model, const DeckDeviceId& id,
                                 const std::string& last);

// Why a configuration cannot be stored; empty when it can. Names, vendors and
// models must not break the display name apart ("#", "&", "\").
std::string CheckDeckConfig(const DeckConfig& deck);

namespace deck_store {

inline constexpr const char* kDecksKey = "Software\\Korvanta\\Decks";

// Adds a deck; fails (false, with why) when the name or the identifier is taken.
bool Add(const DeckConfig& deck, std::string* why);
bool Remove(std::string_view name);
// Every deck, in name order; entries whose values are damaged are left out.
std::vector<DeckConfig> List();
std::optional<DeckConfig> Find(std::string_view name);
// A fresh identifier that no configured deck uses.
DeckDeviceId NewDeviceId();

// The command socket of the deck in use, if one has announced itself.
std::optional<std::string> ControlSocket(std::string_view name);
void SetControlSocket(std::string_view name, const std::string& path);
// Forgets the socket, but only when it is still path (another process may have taken the deck since).
void ClearControlSocket(std::string_view name, const std::string& path);

}  // namespace deck_store
