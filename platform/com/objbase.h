#pragma once
// Object creation: CoCreateInstance finds a class among the built-in
// platform classes first, then among the in-process servers registered under
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 (loaded with dlopen, asked
// through their exported DllGetClassObject). Loaded modules stay loaded for
// the life of the process.
#include "platform/com/unknown.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
void CoUninitialize();

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID riid, void** ppv);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv);

// Makes a class of the platform itself creatable by CLSID without any
// registration (the graph manager, the platform filters). The factory is
// kept with a reference for the life of the process.
HRESULT CoRegisterBuiltinClass(REFCLSID clsid, IClassFactory* factory);

// The entry points every in-process server module exports (extern "C").
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID riid, void** ppv);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
