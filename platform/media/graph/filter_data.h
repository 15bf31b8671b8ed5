#pragma once
// The "FilterData" value the filter mapper keeps for each registered filter:
// merit, pins and the media types of each pin, in our own binary layout.
//
// Layout (all integers little-endian, GUIDs as 16 bytes in their Windows
// memory layout: Data1 and Data2/Data3 little-endian, then Data4):
//     u32 layout version, 2
//     u32 merit
//     u32 pin count
//     for each pin:
//         u32 flags           REG_PINFLAG_B_ZERO / _RENDERER / _MANY / _OUTPUT
//         u32 instances       REGFILTERPINS2::cInstances (0 for version-1 data)
//         u32 media type count
//         GUID category       GUID_NULL when the pin has none
//         for each media type: GUID major type, GUID subtype (GUID_NULL = any)
// Pin mediums and version-1 "connects to" hints are not kept: nothing here
// matches on them.
#include <optional>
#include <vector>

#include "platform/media/strmif.h"

namespace kvmedia {

struct RegisteredPinType {
    GUID major{};
    GUID minor{};
};

struct RegisteredPin {
    DWORD flags = 0;
    UINT instances = 0;
    GUID category{};
    std::vector<RegisteredPinType> types;

    bool IsOutput() const { return (flags & REG_PINFLAG_B_OUTPUT) != 0; }
    bool IsRendered() const { return (flags & REG_PINFLAG_B_RENDERER) != 0; }
};

struct RegisteredFilterData {
    DWORD merit = 0;
    std::vector<RegisteredPin> pins;
};

// Reads REGFILTER2 version 1 or 2; nullopt for another version or null arrays with counts.
std::optional<RegisteredFilterData> FilterDataFromRegFilter2(const REGFILTER2& data);

std::vector<BYTE> SerializeFilterData(const RegisteredFilterData& data);
// nullopt when the bytes are not a complete, well-formed record (a damaged registry value).
std::optional<RegisteredFilterData> ParseFilterData(const BYTE* bytes, std::size_t size);

}  // namespace kvmedia
