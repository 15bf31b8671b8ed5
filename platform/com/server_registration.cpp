#include "platform/com/server_registration.h"

#include "platform/com/dll_entry.h"
#include "platform/com/registry_key.h"
#include "platform/com/utf.h"

namespace {

std::string ClassKeyPath(const CLSID& clsid) { return "CLSID\\" + GuidToString(clsid); }

std::string Utf8(LPCWSTR text) { return text ? Utf16ToUtf8(text) : std::string(); }

}  // namespace

HRESULT AMovieSetupRegisterServer(CLSID clsServer, LPCWSTR szDescription, LPCWSTR szFileName,
                                  LPCWSTR szThreadingModel, LPCWSTR szServerType) {
    const std::string modulePath = szFileName ? Utf8(szFileName) : KvModuleFileName();
    if (modulePath.empty() || !szServerType || !*szServerType) return E_INVALIDARG;

    RegKey classKey;
    const std::string classPath = ClassKeyPath(clsServer);
    if (classKey.Create(HKEY_CLASSES_ROOT, classPath.c_str()) != ERROR_SUCCESS ||
        classKey.SetString(nullptr, Utf8(szDescription)) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;

    RegKey serverKey;
    const std::string serverPath = classPath + "\\" + Utf8(szServerType);
    if (serverKey.Create(HKEY_CLASSES_ROOT, serverPath.c_str()) != ERROR_SUCCESS ||
        serverKey.SetString(nullptr, modulePath) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    if (szThreadingModel && serverKey.SetString("ThreadingModel", Utf8(szThreadingModel)) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT AMovieSetupUnregisterServer(CLSID clsServer) {
    const LONG status = RegDeleteTree(HKEY_CLASSES_ROOT, ClassKeyPath(clsServer).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

HRESULT KvRegisterTemplateServers(BOOL registering) {
    for (int i = 0; i < g_cTemplates; ++i) {
        const CFactoryTemplate& row = g_Templates[i];
        const HRESULT hr = registering ? AMovieSetupRegisterServer(*row.m_ClsID, row.m_Name)
                                       : AMovieSetupUnregisterServer(*row.m_ClsID);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
