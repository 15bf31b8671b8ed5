#pragma once
// The DV camcorders of the video input device category: listing them with
// the names the user sees, binding the one the user chose, and the device
// identifier as the setting UsedDevice stores it.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/devices/extdevice.h"
#include "platform/media/strmif.h"

// The 8 bytes IAMExtDevice::get_ExternalDeviceID hands out, compared byte for byte.
using DeviceId = std::array<BYTE, 8>;

struct DeviceEntry {
    std::optional<DeviceId> id;  // absent when the device reports none
    std::string name;            // display name, unique within one list
    std::string friendlyName;    // the device's own name ("FriendlyName"), empty when it has none
};

// A device whose binding takes longer than this is treated as absent.
inline constexpr DWORD kDeviceBindLimitMs = 2000;

// Every video input device that binds within the limit and whose first
// output pin offers MEDIASUBTYPE_dvsd, in the enumerator's order, named by
// CamcorderName and then numbered by NumberDuplicateNames. Any failure of
// the enumerator leaves the list empty.
std::vector<DeviceEntry> EnumerateDevices();

// Whether the user's text names entry: its listed name, the device's own
// name, or its identifier as UsedDevice writes it (either case of the hex
// digits), so what --list-devices prints and what a deck was added as both
// work.
bool DeviceMatches(const DeviceEntry& entry, std::string_view wanted);

// The name of a camcorder from its moniker display name: after the first
// "#" the vendor up to the next "&" and the model up to the "&" after it,
// "<VENDOR> <MODEL> - DV Camcorder" upper-cased, the vendor alone when the
// model is "mod_0", and "DV Camcorder" when the name has no such parts. At
// most 259 characters of the display name are read.
std::string CamcorderName(std::string_view monikerDisplayName);

// Gives each later entry whose name equals an earlier one's "<name> #2",
// "<name> #3", ... (case-sensitive; a renamed entry is compared under its
// new name from then on).
void NumberDuplicateNames(std::vector<DeviceEntry>& entries);

// A bound camcorder: its capture filter and the three interfaces the engine drives it by.
struct BoundDevice {
    ComPtr<IBaseFilter> filter;
    ComPtr<IAMExtDevice> device;
    ComPtr<IAMExtTransport> transport;
    ComPtr<IAMTimecodeReader> timecodeReader;
    DeviceId id{};
};

// Binds the video input device whose identifier equals wanted (within the
// 2000 ms limit). A device without an identifier is never bound; a device
// lacking any of the three interfaces fails the binding. Null when none fits.
std::optional<BoundDevice> BindDevice(const std::optional<DeviceId>& wanted);

// UsedDevice's text: "%08X%08X" of the identifier's first and second 32-bit
// word in memory order. Parsing takes the first 8 and the last 8 digits as
// unsigned hexadecimal numbers; text that is not 16 hexadecimal digits gives
// no identifier.
std::string FormatDeviceId(const DeviceId& id);
std::optional<DeviceId> ParseDeviceId(std::string_view text);
