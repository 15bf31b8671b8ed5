#pragma once
// IUnknown, IClassFactory and the link between an interface type and its IID.
//
// Interfaces are abstract classes whose pure virtual methods stand in the
// documented slot order. They have no virtual destructor (the object's
// Release frees it); the protected destructor keeps anyone from deleting
// through an interface pointer.
#include "platform/com/guid.h"
#include "platform/com/hresult.h"

// Every interface is tied to its IID by KV_DEFINE_IID. An interface without
// its own IID picks this deleted overload (an exact match beats the
// conversion to a base interface), so a forgotten IID fails to compile
// instead of silently asking for the base interface.
template <class Interface>
void KvInterfaceIid(Interface*) = delete;

// The IID of an interface type, in the role of __uuidof.
template <class Interface>
constexpr const IID& IidOf() {
    return KvInterfaceIid(static_cast<Interface*>(nullptr));
}

// Declares IID_<Interface> and ties it to the type (found by argument-dependent lookup).
#define KV_DEFINE_IID(Interface, text)                     \
    inline constexpr IID IID_##Interface = MakeGuid(text); \
    constexpr const IID& KvInterfaceIid(Interface*) { return IID_##Interface; }

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
KV_DEFINE_IID(IUnknown, "{00000000-0000-0000-C000-000000000046}");

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
KV_DEFINE_IID(IClassFactory, "{00000001-0000-0000-C000-000000000046}");

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* clsid) = 0;

protected:
    ~IPersist() = default;
};
KV_DEFINE_IID(IPersist, "{0000010C-0000-0000-C000-000000000046}");

// Typed QueryInterface: QueryInterface(unknown, &pin) asks for IidOf<IPin>().
template <class Interface>
HRESULT QueryInterfaceFor(IUnknown* unknown, Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!unknown) return E_POINTER;
    return unknown->QueryInterface(IidOf<Interface>(), reinterpret_cast<void**>(out));
}
