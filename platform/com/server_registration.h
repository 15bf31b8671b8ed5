#pragma once
// Registration of a module's COM servers under
// HKEY_CLASSES_ROOT\CLSID\{clsid}:
//     (default)                = the class's name
//     InprocServer32 (default) = the module's absolute path
//     InprocServer32 "ThreadingModel" = "Both"
#include "platform/com/factory_template.h"

// Writes the keys above. szFileName null (the usual case) means the module
// this code is linked into, found at run time.
HRESULT AMovieSetupRegisterServer(CLSID clsServer, LPCWSTR szDescription, LPCWSTR szFileName = nullptr,
                                  LPCWSTR szThreadingModel = u"Both",
                                  LPCWSTR szServerType = u"InprocServer32");

// Removes HKEY_CLASSES_ROOT\CLSID\{clsid} with everything below it; S_OK when
// it was not there.
HRESULT AMovieSetupUnregisterServer(CLSID clsServer);

// Registers (TRUE) or unregisters (FALSE) the server of every row of
// g_Templates: the DllRegisterServer/DllUnregisterServer of a plain COM module.
// Stops at the first failure and returns it.
HRESULT KvRegisterTemplateServers(BOOL registering);
