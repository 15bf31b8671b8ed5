// Object creation: the built-in class table first, then the registered
// in-process servers.
#include "platform/com/objbase.h"

#include <atomic>
#include <map>
#include <mutex>

#include "platform/com/com_ptr.h"
#include "platform/com/module_table.h"
#include "platform/com/registry_key.h"

namespace {

// Classes of the platform itself, creatable without registration.
class BuiltinClasses {
public:
    static BuiltinClasses& Instance() {
        static BuiltinClasses table;
        return table;
    }
    void Add(const CLSID& clsid, IClassFactory* factory) {
        std::scoped_lock lock(mutex_);
        factories_[clsid] = factory;
    }
    ComPtr<IClassFactory> Find(const CLSID& clsid) {
        std::scoped_lock lock(mutex_);
        const auto found = factories_.find(clsid);
        return found == factories_.end() ? nullptr : found->second;
    }

private:
    std::mutex mutex_;
    std::map<CLSID, ComPtr<IClassFactory>> factories_;  // guarded by mutex_
};

// Balances CoInitialize and CoUninitialize. Nothing depends on it: objects
// can be created without it, as programs here have no apartments to enter.
std::atomic<LONG> g_initializeCount{0};

HRESULT ServerPath(const CLSID& clsid, std::string* path) {
    RegKey server;
    const std::string keyPath = "CLSID\\" + GuidToString(clsid) + "\\InprocServer32";
    const LONG status = server.Open(HKEY_CLASSES_ROOT, keyPath.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return REGDB_E_CLASSNOTREG;
    if (status != ERROR_SUCCESS) return REGDB_E_READREGDB;
    const LONG valueStatus = server.QueryString(nullptr, path);
    if (valueStatus == ERROR_FILE_NOT_FOUND || (valueStatus == ERROR_SUCCESS && path->empty()))
        return REGDB_E_CLASSNOTREG;
    return valueStatus == ERROR_SUCCESS ? S_OK : REGDB_E_READREGDB;
}

}  // namespace

HRESULT CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(void*, DWORD) { return g_initializeCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
    LONG count = g_initializeCount.load();
    while (count > 0 && !g_initializeCount.compare_exchange_weak(count, count - 1)) {
    }
}

HRESULT CoRegisterBuiltinClass(REFCLSID clsid, IClassFactory* factory) {
    if (!factory) return E_POINTER;
    BuiltinClasses::Instance().Add(clsid, factory);
    return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(context & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;
    if (const auto builtin = BuiltinClasses::Instance().Find(clsid)) return builtin->QueryInterface(riid, ppv);

    std::string path;
    if (const HRESULT hr = ServerPath(clsid, &path); FAILED(hr)) return hr;
    DllGetClassObjectFn getClassObject = nullptr;
    if (const HRESULT hr = kvcom::FindModuleClassObjectEntry(path, &getClassObject); FAILED(hr)) return hr;
    return getClassObject(clsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // An aggregated object can only hand its outer object the inner IUnknown.
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    ComPtr<IClassFactory> factory;
    if (const HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, factory.GetVoidAddress());
        FAILED(hr))
        return hr;
    return factory->CreateInstance(outer, riid, ppv);
}
