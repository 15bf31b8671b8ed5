#include "tools/regsvr/module_registration.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "platform/com/objbase.h"
#include "platform/com/registry.h"
#include "platform/com/registry_store.h"

namespace {

std::string HexCode(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// A damaged registry would make the module's registration fail with a code
// that does not say why; look first and say it plainly.
bool RegistryReadable(std::ostream& errors) {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        char name[256];
        const LONG status = RegEnumKey(root, 0, name, sizeof name);
        if (status == ERROR_BADDB) {
            errors << "korvanta-regsvr: " << "the registry in " << kvreg::RegistryFolder().string()
                   << " is damaged; repair or remove its files\n";
            return false;
        }
        if (status != ERROR_SUCCESS && status != ERROR_NO_MORE_ITEMS && status != ERROR_MORE_DATA) {
            errors << "korvanta-regsvr: " << "cannot read the registry in " << kvreg::RegistryFolder().string() << " (error " << status
                   << ")\n";
            return false;
        }
    }
    return true;
}

}  // namespace

bool RunModuleRegistration(const std::string& modulePath, Registration action, std::ostream& errors) {
    std::error_code error;
    // An absolute path keeps dlopen from searching the library path, and is what gets registered.
    const auto path = std::filesystem::absolute(modulePath, error);
    if (error || !std::filesystem::exists(path, error)) {
        errors << "korvanta-regsvr: " << modulePath << ": no such file\n";
        return false;
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        errors << "korvanta-regsvr: " << modulePath << ": not a regular file\n";
        return false;
    }
    if (!RegistryReadable(errors)) return false;

    // Kept loaded until the tool exits; the module's objects may outlive the call.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = ::dlerror();
        errors << "korvanta-regsvr: " << modulePath << ": not a loadable library: " << (reason ? reason : "unknown reason") << '\n';
        return false;
    }
    const char* entryName = action == Registration::Register ? "DllRegisterServer" : "DllUnregisterServer";
    const auto entry = reinterpret_cast<DllRegisterServerFn>(::dlsym(module, entryName));
    if (!entry || !::dlsym(module, "DllGetClassObject")) {
        errors << "korvanta-regsvr: " << modulePath << ": not an in-process server module (no " << (entry ? "DllGetClassObject" : entryName)
               << " export)\n";
        return false;
    }
    if (const HRESULT hr = entry(); FAILED(hr)) {
        errors << "korvanta-regsvr: " << modulePath << ": " << entryName << " failed with " << HexCode(hr) << '\n';
        return false;
    }
    return true;
}
