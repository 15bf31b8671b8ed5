#pragma once
// RegKey: an open registry key that closes itself, with typed access to values.
//
//     RegKey key;
//     if (key.Create(HKEY_CLASSES_ROOT, "CLSID\\{...}") == ERROR_SUCCESS)
//         key.SetString("ThreadingModel", "Both");
//
// Every call returns the registry's own error code. The typed queries return
// ERROR_UNSUPPORTED_TYPE when the value exists with another type or size.
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/registry.h"

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Open or create root\subKey; a key already open here is closed first.
    LONG Create(HKEY root, const char* subKey);
    LONG Open(HKEY root, const char* subKey);
    void Close();

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // name null or "" is the default value. Strings are stored as REG_SZ with their terminating zero.
    LONG SetString(const char* name, std::string_view value);
    LONG SetDword(const char* name, DWORD value);
    LONG SetBinary(const char* name, const std::vector<BYTE>& value);

    LONG QueryString(const char* name, std::string* value) const;
    LONG QueryDword(const char* name, DWORD* value) const;
    // Any type: the value's bytes as stored.
    LONG QueryBinary(const char* name, std::vector<BYTE>* value, DWORD* type = nullptr) const;

    // Names of the subkeys, in enumeration order.
    LONG SubKeyNames(std::vector<std::string>* names) const;

private:
    HKEY key_ = nullptr;
};
