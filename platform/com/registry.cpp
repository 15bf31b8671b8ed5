// The registry calls: key handles name a root and a path, and every call
// reads or changes the stored tree through registry_store.
#include "platform/com/registry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/com/registry_store.h"

using kvreg::KeyPath;
using kvreg::RegNode;
using kvreg::Root;

namespace {

struct OpenKey {
    Root root;
    KeyPath path;
};

// Handles of opened keys. A handle is a number in the table rather than a
// pointer, so a stale or foreign handle is refused instead of followed.
class HandleTable {
public:
    static HandleTable& Instance() {
        static HandleTable table;
        return table;
    }
    HKEY Add(OpenKey key) {
        std::scoped_lock lock(mutex_);
        const auto handle = next_++;
        keys_.emplace(handle, std::move(key));
        return reinterpret_cast<HKEY>(handle);
    }
    std::optional<OpenKey> Find(HKEY key) {
        std::scoped_lock lock(mutex_);
        const auto found = keys_.find(reinterpret_cast<std::uintptr_t>(key));
        if (found == keys_.end()) return std::nullopt;
        return found->second;
    }
    bool Remove(HKEY key) {
        std::scoped_lock lock(mutex_);
        return keys_.erase(reinterpret_cast<std::uintptr_t>(key)) == 1;
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::uintptr_t, OpenKey> keys_;  // guarded by mutex_
    std::uintptr_t next_ = 1;                           // guarded by mutex_; far below the predefined roots
};

std::optional<OpenKey> Resolve(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return OpenKey{Root::ClassesRoot, {}};
    if (key == HKEY_CURRENT_USER) return OpenKey{Root::CurrentUser, {}};
    if (key == HKEY_LOCAL_MACHINE) return OpenKey{Root::LocalMachine, {}};
    return HandleTable::Instance().Find(key);
}

// Appends the names of subKey ("A\B\C") to path. Empty names (a leading,
// trailing or doubled "\") are skipped. Control characters are refused: no
// key name needs them and the stored text keeps one key path per line.
bool AppendPath(const char* subKey, KeyPath* path) {
    if (!subKey) return true;
    std::string_view rest(subKey);
    if (std::any_of(rest.begin(), rest.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return false;
    while (!rest.empty()) {
        const auto separator = rest.find('\\');
        if (separator != 0) path->emplace_back(rest.substr(0, separator));
        if (separator == std::string_view::npos) break;
        rest.remove_prefix(separator + 1);
    }
    return true;
}

// The handle's key and subKey below it; ERROR_INVALID_HANDLE or ERROR_INVALID_PARAMETER when unusable.
LONG Target(HKEY key, const char* subKey, OpenKey* target) {
    auto resolved = Resolve(key);
    if (!resolved) return ERROR_INVALID_HANDLE;
    if (!AppendPath(subKey, &resolved->path) || resolved->path.size() > kvreg::kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    *target = std::move(*resolved);
    return ERROR_SUCCESS;
}

// Runs read on the current tree at the handle's key.
template <class Read>
LONG ReadKey(HKEY key, Read read) {
    const auto target = Resolve(key);
    if (!target) return ERROR_INVALID_HANDLE;
    std::shared_ptr<const RegNode> tree;
    if (const LONG status = kvreg::ReadRoot(target->root, &tree); status != ERROR_SUCCESS) return status;
    const RegNode* node = kvreg::FindKey(*tree, target->path);
    if (!node) return ERROR_KEY_DELETED;
    return read(*node);
}

// Runs change on the newest tree at the handle's key and stores the result.
template <class Change>
LONG ChangeKey(HKEY key, Change change) {
    const auto target = Resolve(key);
    if (!target) return ERROR_INVALID_HANDLE;
    return kvreg::ModifyRoot(target->root, [&](RegNode& tree) {
        RegNode* node = kvreg::FindKey(tree, target->path);
        return node ? change(*node) : ERROR_KEY_DELETED;
    });
}

std::string ValueName(const char* name) { return name ? name : ""; }

// Copies data out the way the registry calls do: with a null buffer only the
// size is reported; a short buffer gets ERROR_MORE_DATA and the size needed.
LONG CopyOut(const std::vector<BYTE>& data, BYTE* buffer, DWORD* size) {
    if (!size) return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const auto needed = static_cast<DWORD>(data.size());
    const DWORD available = *size;
    *size = needed;
    if (!buffer) return ERROR_SUCCESS;
    if (available < needed) return ERROR_MORE_DATA;
    std::copy(data.begin(), data.end(), buffer);
    return ERROR_SUCCESS;
}

// Copies a name with its terminating zero into a buffer of capacity characters.
bool CopyName(const std::string& name, char* buffer, DWORD capacity) {
    if (name.size() + 1 > capacity) return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

}  // namespace

LONG RegCreateKey(HKEY root, const char* subKey, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey target;
    if (const LONG status = Target(root, subKey, &target); status != ERROR_SUCCESS) return status;
    std::shared_ptr<const RegNode> tree;
    if (const LONG status = kvreg::ReadRoot(target.root, &tree); status != ERROR_SUCCESS) return status;
    if (!kvreg::FindKey(*tree, target.path)) {
        const LONG status = kvreg::ModifyRoot(target.root, [&](RegNode& newest) {
            kvreg::CreateKey(newest, target.path);
            return ERROR_SUCCESS;
        });
        if (status != ERROR_SUCCESS) return status;
    }
    *result = HandleTable::Instance().Add(std::move(target));
    return ERROR_SUCCESS;
}

LONG RegOpenKey(HKEY root, const char* subKey, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey target;
    if (const LONG status = Target(root, subKey, &target); status != ERROR_SUCCESS) return status;
    std::shared_ptr<const RegNode> tree;
    if (const LONG status = kvreg::ReadRoot(target.root, &tree); status != ERROR_SUCCESS) return status;
    if (!kvreg::FindKey(*tree, target.path)) return ERROR_FILE_NOT_FOUND;
    *result = HandleTable::Instance().Add(std::move(target));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    return HandleTable::Instance().Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size > 0) return ERROR_INVALID_PARAMETER;
    kvreg::RegValue value{type, data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>{}};
    return ChangeKey(key, [&](RegNode& node) {
        node.values[ValueName(name)] = std::move(value);
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return ReadKey(key, [&](const RegNode& node) {
        const auto found = node.values.find(ValueName(name));
        if (found == node.values.end()) return ERROR_FILE_NOT_FOUND;
        if (type) *type = found->second.type;
        return CopyOut(found->second.data, data, size);
    });
}

LONG RegDeleteValue(HKEY key, const char* name) {
    return ChangeKey(key, [&](RegNode& node) {
        return node.values.erase(ValueName(name)) == 1 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteTree(HKEY key, const char* subKey) {
    KeyPath below;
    if (!AppendPath(subKey, &below)) return ERROR_INVALID_PARAMETER;
    return ChangeKey(key, [&](RegNode& node) {
        if (below.empty()) {
            node = RegNode{};
            return ERROR_SUCCESS;
        }
        const KeyPath parentPath(below.begin(), below.end() - 1);
        RegNode* parent = kvreg::FindKey(node, parentPath);
        return parent && parent->keys.erase(below.back()) == 1 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegEnumKey(HKEY key, DWORD index, char* name, DWORD nameSize) {
    if (!name) return ERROR_INVALID_PARAMETER;
    return ReadKey(key, [&](const RegNode& node) {
        if (index >= node.keys.size()) return ERROR_NO_MORE_ITEMS;
        const auto& entry = *std::next(node.keys.begin(), index);
        return CopyName(entry.first, name, nameSize) ? ERROR_SUCCESS : ERROR_MORE_DATA;
    });
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
    return ReadKey(key, [&](const RegNode& node) {
        if (index >= node.values.size()) return ERROR_NO_MORE_ITEMS;
        const auto& [valueName, value] = *std::next(node.values.begin(), index);
        if (!CopyName(valueName, name, *nameSize)) return ERROR_MORE_DATA;
        *nameSize = static_cast<DWORD>(valueName.size());
        if (type) *type = value.type;
        return CopyOut(value.data, data, dataSize);
    });
}
