#include "tools/regsvr/module_registration.h"

#include <dlfcn.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>
#include <system_error>

#include "platform/com/objbase.h"
#include "platform/com/guid.h"
#include "platform/com/registry.h"
#include "platform/com/registry_key.h"
#include "platform/com/registry_store.h"
#include "platform/media/filters/platform_filters.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/uuids.h"
#include "platform/system/program_folder.h"

namespace {

std::string HexCode(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// A damaged registry would make the module's registration fail with a code
// that does not say why; look first and say it plainly.
std::string CheckRegistryReadable() {
    const std::string folder = kvreg::RegistryFolder().string();
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        char name[256];
        const LONG status = RegEnumKey(root, 0, name, sizeof name);
        if (status == ERROR_BADDB) return "the registry in " + folder + " is damaged; repair or remove its files";
        if (status != ERROR_SUCCESS && status != ERROR_NO_MORE_ITEMS && status != ERROR_MORE_DATA)
            return "cannot read the registry in " + folder + " (error " + std::to_string(status) + ")";
    }
    return {};
}

// The module paths every registered in-process server names.
std::set<std::string> RegisteredModulePaths() {
    std::set<std::string> paths;
    RegKey classes;
    std::vector<std::string> clsids;
    if (classes.Open(HKEY_CLASSES_ROOT, "CLSID") != ERROR_SUCCESS || classes.SubKeyNames(&clsids) != ERROR_SUCCESS)
        return paths;
    for (const std::string& clsid : clsids) {
        RegKey server;
        std::string path;
        if (server.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + clsid + "\\InprocServer32").c_str()) == ERROR_SUCCESS &&
            server.QueryString(nullptr, &path) == ERROR_SUCCESS)
            paths.insert(path);
    }
    return paths;
}

// The modules "lib*.so" of folder, by name, as absolute paths.
std::vector<std::filesystem::path> ModulesIn(const std::filesystem::path& folder, std::error_code& error) {
    std::vector<std::filesystem::path> modules;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("lib") && name.ends_with(".so")) modules.push_back(std::filesystem::absolute(entry.path()));
    }
    std::sort(modules.begin(), modules.end());
    return modules;
}

}  // namespace

std::string RunModuleRegistration(const std::string& modulePath, Registration action) {
    std::error_code error;
    // An absolute path keeps dlopen from searching the library path, and is what gets registered.
    const auto path = std::filesystem::absolute(modulePath, error);
    if (error || !std::filesystem::exists(path, error)) return modulePath + ": no such file";
    if (!std::filesystem::is_regular_file(path, error)) return modulePath + ": not a regular file";
    if (auto problem = CheckRegistryReadable(); !problem.empty()) return problem;

    // Kept loaded until the tool exits; the module's objects may outlive the call.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = ::dlerror();
        return modulePath + ": not a loadable library: " + (reason ? reason : "unknown reason");
    }
    const char* entryName = action == Registration::Register ? "DllRegisterServer" : "DllUnregisterServer";
    const auto entry = reinterpret_cast<DllRegisterServerFn>(::dlsym(module, entryName));
    if (!entry) return modulePath + ": not an in-process server module (no " + entryName + " export)";
    if (!::dlsym(module, "DllGetClassObject"))
        return modulePath + ": not an in-process server module (no DllGetClassObject export)";
    if (const HRESULT hr = entry(); FAILED(hr)) return modulePath + ": " + entryName + " failed with " + HexCode(hr);
    return {};
}

std::string RunPlatformRegistration(Registration action) {
    if (auto problem = CheckRegistryReadable(); !problem.empty()) return problem;
    const bool registering = action == Registration::Register;
    if (const HRESULT hr = KvRegisterPlatformFilterData(registering); FAILED(hr))
        return "the platform filters' registration failed with " + HexCode(hr);
    // The renderers end every playback chain that Render and RenderFile build.
    if (const HRESULT hr = KvRegisterRendererFilterData(registering); FAILED(hr))
        return "the renderers' registration failed with " + HexCode(hr);
    return {};
}

bool PlatformFiltersRegistered() {
    const std::string instance = "CLSID\\" + GuidToString(CLSID_LegacyAmFilterCategory) + "\\Instance\\" +
                                 GuidToString(CLSID_DVSplitter);
    RegKey key;
    return key.Open(HKEY_CLASSES_ROOT, instance.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> RegisterMissingModules(const std::filesystem::path& folder) {
    std::vector<std::string> problems;
    std::error_code error;
    const std::set<std::string> registered = RegisteredModulePaths();
    for (const auto& module : ModulesIn(folder, error)) {
        if (registered.contains(module.string())) continue;
        if (auto problem = RunModuleRegistration(module.string(), Registration::Register); !problem.empty())
            problems.push_back(std::move(problem));
    }
    if (!PlatformFiltersRegistered())
        if (auto problem = RunPlatformRegistration(Registration::Register); !problem.empty())
            problems.push_back(std::move(problem));
    return problems;
}

std::string RunProgramRegistration() {
    const std::filesystem::path folder = ProgramModuleFolder();
    if (folder.empty()) return "the program's module folder cannot be found beside " + ProgramFolder().string();
    std::error_code error;
    const std::vector<std::filesystem::path> modules = ModulesIn(folder, error);
    if (error) return folder.string() + ": " + error.message();
    for (const auto& module : modules)
        if (auto problem = RunModuleRegistration(module.string(), Registration::Register); !problem.empty()) return problem;
    return RunPlatformRegistration(Registration::Register);
}
