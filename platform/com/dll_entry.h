#pragma once
// What a module's exported entry points do, over its g_Templates table.
// Linked statically into each module (kvcombase), so every function here
// works on the module that calls it.
#include <string>

#include "platform/com/factory_template.h"

// DllGetClassObject: a CClassFactory for the template whose CLSID matches;
// CLASS_E_CLASSNOTAVAILABLE when none does.
HRESULT KvDllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// DllCanUnloadNow: S_OK when the module has no live objects and no server
// locks, else S_FALSE.
HRESULT KvDllCanUnloadNow();

// The absolute path of the shared object this code is linked into (the
// executable's path when linked into a program); empty if it cannot be found.
std::string KvModuleFileName();
