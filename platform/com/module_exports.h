#pragma once
// The four entry points of an in-process server module.
//
// A module (lib<name>.so built with korvanta_add_module and linked to
// kvcombase) defines g_Templates and g_cTemplates (platform/com/factory_template.h)
// and expands exactly one of these once, at namespace scope, followed by a
// semicolon:
//
//   KV_COM_MODULE_EXPORTS()
//       A plain COM module: DllRegisterServer/DllUnregisterServer register or
//       remove the COM server keys of every template (KvRegisterTemplateServers).
//
//   KV_MODULE_EXPORTS(registerFn)
//       Same DllGetClassObject and DllCanUnloadNow, with the module's own
//       registration: registerFn is `HRESULT registerFn(BOOL registering)`,
//       called with TRUE by DllRegisterServer and FALSE by DllUnregisterServer.
//       Filter modules pass AMovieDllRegisterServer2, which also registers the
//       filters with the filter mapper.
//
// The exports have C linkage and default visibility so that CoCreateInstance
// and korvanta-regsvr find them with dlsym.
#include <type_traits>

#include "platform/com/dll_entry.h"
#include "platform/com/objbase.h"
#include "platform/com/server_registration.h"

#define KV_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

#define KV_MODULE_EXPORTS(registerFn)                                                           \
    KV_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {       \
        return KvDllGetClassObject(clsid, riid, ppv);                                           \
    }                                                                                           \
    KV_MODULE_EXPORT HRESULT DllCanUnloadNow() { return KvDllCanUnloadNow(); }                  \
    KV_MODULE_EXPORT HRESULT DllRegisterServer() { return registerFn(TRUE); }                   \
    KV_MODULE_EXPORT HRESULT DllUnregisterServer() { return registerFn(FALSE); }                \
    static_assert(std::is_same_v<decltype(&DllGetClassObject), DllGetClassObjectFn> &&                \
                  std::is_same_v<decltype(&DllRegisterServer), DllRegisterServerFn>,              \
                  "the exports keep the shapes CoCreateInstance and korvanta-regsvr call")

#define KV_COM_MODULE_EXPORTS() KV_MODULE_EXPORTS(KvRegisterTemplateServers)
