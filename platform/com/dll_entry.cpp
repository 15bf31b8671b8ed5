#include "platform/com/dll_entry.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/com/class_factory.h"

namespace {

// Lets each class prepare its module-wide state once, before the first factory is handed out.
void InitialiseClassesOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < g_cTemplates; ++i)
            if (g_Templates[i].m_lpfnInit) g_Templates[i].m_lpfnInit(TRUE, g_Templates[i].m_ClsID);
    });
}

}  // namespace

HRESULT KvDllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    InitialiseClassesOnce();
    for (int i = 0; i < g_cTemplates; ++i) {
        if (!g_Templates[i].IsClassID(clsid)) continue;
        auto* factory = new CClassFactory(&g_Templates[i]);
        factory->AddRef();
        *ppv = static_cast<IClassFactory*>(factory);
        return S_OK;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT KvDllCanUnloadNow() {
    return CBaseObject::ObjectsActive() == 0 && ModuleServerLocks() == 0 ? S_OK : S_FALSE;
}

std::string KvModuleFileName() {
    // dladdr on an address inside this function names the shared object it was linked into.
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&KvModuleFileName), &info) || !info.dli_fname) return {};
    std::error_code error;
    const auto absolute = std::filesystem::canonical(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : absolute.string();
}
