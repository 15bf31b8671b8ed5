#pragma once
// The in-process server modules this process has loaded, by path. A module
// is loaded once (dlopen with RTLD_NOW | RTLD_LOCAL) and kept for the life of
// the process: never unloading avoids races with objects and threads still
// running module code, and keeps sanitizer reports readable.
#include <string>

#include "platform/com/objbase.h"

namespace kvcom {

// The DllGetClassObject of the module at path, loading it on first use.
// CO_E_DLLNOTFOUND when the file cannot be loaded, CO_E_ERRORINDLL when it
// does not export DllGetClassObject.
HRESULT FindModuleClassObjectEntry(const std::string& path, DllGetClassObjectFn* entry);

}  // namespace kvcom
