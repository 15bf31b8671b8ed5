#pragma once
// The registry stand-in: a persistent tree of keys holding named values,
// with the Windows root keys and paths ("CLSID\{...}\InprocServer32").
// Key paths use "\" between names, as on Windows. Text is UTF-8.
//
// The tree lives in files under $KORVANTA_REGISTRY, else
// $XDG_CONFIG_HOME/korvanta/registry (else ~/.config/korvanta/registry).
// Every change is written atomically and is safe between processes; a key
// handle names a path, so changes by other processes are seen at once.
#include "platform/com/wintypes.h"

struct HKEY__;
using HKEY = HKEY__*;

// The predefined roots (values as on Windows).
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_QWORD = 11;

// Win32 error codes the registry calls return.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_BADDB = 1009;     // the stored tree is damaged
inline constexpr LONG ERROR_CANTREAD = 1012;
inline constexpr LONG ERROR_CANTWRITE = 1013;
inline constexpr LONG ERROR_KEY_DELETED = 1018;  // the handle's key was deleted since it was opened
inline constexpr LONG ERROR_UNSUPPORTED_TYPE = 1630;  // the value is not of the type asked for (RegKey)

// Opens (creating as needed) root\subKey; the handle is closed with RegCloseKey.
LONG RegCreateKey(HKEY root, const char* subKey, HKEY* result);
// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKey(HKEY root, const char* subKey, HKEY* result);
LONG RegCloseKey(HKEY key);
// name null or "" is the key's default value. REG_SZ data includes its terminating zero.
LONG RegSetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
// Size in, size out; ERROR_MORE_DATA with the size needed when the buffer is short; data may be null to ask the size.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
LONG RegDeleteValue(HKEY key, const char* name);
// Deletes subKey with everything below it (subKey null or "": everything below key, and its values).
LONG RegDeleteTree(HKEY key, const char* subKey);
// Names of subkeys in a stable (sorted) order; ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumKey(HKEY key, DWORD index, char* name, DWORD nameSize);
// Names, types and data of values in a stable (sorted) order.
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize);
