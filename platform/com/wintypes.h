#pragma once
// The Windows scalar types that appear in the program's interfaces, with their
// Windows widths, so structures and method signatures keep their layout.
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using DWORD_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

using WCHAR = char16_t;
using OLECHAR = char16_t;
using LPWSTR = char16_t*;
using LPCWSTR = const char16_t*;
using LPOLESTR = char16_t*;
using LPCOLESTR = const char16_t*;

// An opaque window handle. The Qt layer maps it to its own window objects.
struct HWND__;
using HWND = HWND__*;
using OAHWND = LONG_PTR;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline constexpr LONGLONG MAXLONGLONG = INT64_MAX;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
