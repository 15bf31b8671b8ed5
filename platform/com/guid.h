#pragma once
// GUID with the Windows memory layout, compile-time literals and the
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" text form used in the registry.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/wintypes.h"

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
constexpr bool IsEqualGUID(const GUID& a, const GUID& b) { return a == b; }
constexpr bool IsEqualIID(const IID& a, const IID& b) { return a == b; }
constexpr bool IsEqualCLSID(const CLSID& a, const CLSID& b) { return a == b; }

// Total order so GUIDs can key ordered containers.
bool operator<(const GUID& a, const GUID& b);

namespace kvcom::detail {
constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
// Parses "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without braces.
constexpr std::optional<GUID> ParseGuid(std::string_view text) {
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}') return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36) return std::nullopt;
    std::uint8_t bytes[16] = {};
    int nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            continue;
        }
        const int digit = HexDigit(text[i]);
        if (digit < 0) return std::nullopt;
        bytes[nibble / 2] = static_cast<std::uint8_t>((bytes[nibble / 2] << 4) | digit);
        ++nibble;
    }
    GUID g{};
    g.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
              (std::uint32_t{bytes[2]} << 8) | bytes[3];
    g.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
    return g;
}
}  // namespace kvcom::detail

// A GUID from a literal, checked at compile time: MakeGuid("{36A5F880-FE5C-11CE-A8ED-00AA002FEAB5}").
consteval GUID MakeGuid(std::string_view text) {
    const auto parsed = kvcom::detail::ParseGuid(text);
    if (!parsed) throw "malformed GUID literal";
    return *parsed;
}

// Upper-case registry form with braces.
std::string GuidToString(const GUID& guid);
// Accepts the registry form, with or without braces, in either case.
std::optional<GUID> GuidFromString(std::string_view text);

inline constexpr GUID GUID_NULL{};
inline constexpr CLSID CLSID_NULL{};
