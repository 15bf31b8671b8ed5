#include "platform/com/registry_key.h"

#include <cstring>
#include <utility>

RegKey::RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
}

LONG RegKey::Create(HKEY root, const char* subKey) {
    Close();
    return RegCreateKey(root, subKey, &key_);
}

LONG RegKey::Open(HKEY root, const char* subKey) {
    Close();
    return RegOpenKey(root, subKey, &key_);
}

void RegKey::Close() {
    if (key_) RegCloseKey(std::exchange(key_, nullptr));
}

LONG RegKey::SetString(const char* name, std::string_view value) {
    std::string terminated(value);
    return RegSetValueEx(key_, name, REG_SZ, reinterpret_cast<const BYTE*>(terminated.c_str()),
                         static_cast<DWORD>(terminated.size() + 1));
}

LONG RegKey::SetDword(const char* name, DWORD value) {
    BYTE bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    return RegSetValueEx(key_, name, REG_DWORD, bytes, sizeof bytes);
}

LONG RegKey::SetBinary(const char* name, const std::vector<BYTE>& value) {
    return RegSetValueEx(key_, name, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
}

LONG RegKey::QueryBinary(const char* name, std::vector<BYTE>* value, DWORD* type) const {
    // The value may change between asking its size and reading it; ask again then.
    while (true) {
        DWORD size = 0;
        if (const LONG status = RegQueryValueEx(key_, name, nullptr, nullptr, &size); status != ERROR_SUCCESS)
            return status;
        value->resize(size);
        const LONG status = RegQueryValueEx(key_, name, type, value->data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_SUCCESS) value->resize(size);
        return status;
    }
}

LONG RegKey::QueryString(const char* name, std::string* value) const {
    std::vector<BYTE> bytes;
    DWORD type = REG_NONE;
    if (const LONG status = QueryBinary(name, &bytes, &type); status != ERROR_SUCCESS) return status;
    if (type != REG_SZ) return ERROR_UNSUPPORTED_TYPE;
    // The text ends at the first zero; data stored without one is taken whole.
    if (bytes.empty()) {
        value->clear();
        return ERROR_SUCCESS;
    }
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    value->assign(text, strnlen(text, bytes.size()));
    return ERROR_SUCCESS;
}

LONG RegKey::QueryDword(const char* name, DWORD* value) const {
    std::vector<BYTE> bytes;
    DWORD type = REG_NONE;
    if (const LONG status = QueryBinary(name, &bytes, &type); status != ERROR_SUCCESS) return status;
    if (type != REG_DWORD || bytes.size() != sizeof *value) return ERROR_UNSUPPORTED_TYPE;
    std::memcpy(value, bytes.data(), sizeof *value);
    return ERROR_SUCCESS;
}

LONG RegKey::SubKeyNames(std::vector<std::string>* names) const {
    names->clear();
    char name[1024];
    for (DWORD index = 0;; ++index) {
        const LONG status = RegEnumKey(key_, index, name, sizeof name);
        if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS) return status;
        names->emplace_back(name);
    }
}
