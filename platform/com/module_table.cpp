#include "platform/com/module_table.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace kvcom {

namespace {

class ModuleTable {
public:
    static ModuleTable& Instance() {
        static ModuleTable table;
        return table;
    }

    HRESULT Find(const std::string& path, DllGetClassObjectFn* entry) {
        std::scoped_lock lock(mutex_);
        auto found = entries_.find(path);
        if (found == entries_.end()) {
            // The handle is deliberately never closed (see module_table.h).
            void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!module) return CO_E_DLLNOTFOUND;
            const auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(module, "DllGetClassObject"));
            found = entries_.emplace(path, getClassObject).first;
        }
        if (!found->second) return CO_E_ERRORINDLL;
        *entry = found->second;
        return S_OK;
    }

private:
    std::mutex mutex_;
    std::map<std::string, DllGetClassObjectFn> entries_;  // guarded by mutex_; null: the export is missing
};

}  // namespace

HRESULT FindModuleClassObjectEntry(const std::string& path, DllGetClassObjectFn* entry) {
    return ModuleTable::Instance().Find(path, entry);
}

}  // namespace kvcom
