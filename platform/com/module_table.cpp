#include "platform/com/module_table.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <optional>

namespace kvcom {

namespace {

class ModuleTable {
public:
    static ModuleTable& Instance() {
        static ModuleTable table;
        return table;
    }

    HRESULT Find(const std::string& path, DllGetClassObjectFn* entry) {
        auto getClassObject = Lookup(path);
        if (!getClassObject) {
            // Loaded outside the lock: a module whose start-up code creates
            // objects of another module must not wait on itself.
            void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) return CO_E_DLLNOTFOUND;
            const auto exported = reinterpret_cast<DllGetClassObjectFn>(::dlsym(module, "DllGetClassObject"));
            getClassObject = Remember(path, exported);
        }
        if (!*getClassObject) return CO_E_ERRORINDLL;
        *entry = *getClassObject;
        return S_OK;
    }

private:
    std::optional<DllGetClassObjectFn> Lookup(const std::string& path) {
        std::scoped_lock lock(mutex_);
        const auto found = entries_.find(path);
        if (found == entries_.end()) return std::nullopt;
        return found->second;
    }
    // Keeps the first entry when two threads loaded the same module at once.
    // The handle is deliberately never closed (see module_table.h); a second
    // dlopen of a module only raises its count.
    std::optional<DllGetClassObjectFn> Remember(const std::string& path, DllGetClassObjectFn getClassObject) {
        std::scoped_lock lock(mutex_);
        return entries_.emplace(path, getClassObject).first->second;
    }

    std::mutex mutex_;
    std::map<std::string, DllGetClassObjectFn> entries_;  // guarded by mutex_; null: the export is missing
};

}  // namespace

HRESULT FindModuleClassObjectEntry(const std::string& path, DllGetClassObjectFn* entry) {
    return ModuleTable::Instance().Find(path, entry);
}

}  // namespace kvcom
