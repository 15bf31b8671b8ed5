#include "platform/com/combase.h"

std::atomic<LONG> CBaseObject::objects_{0};

namespace {
std::atomic<LONG> g_serverLocks{0};

// When not aggregated the object is its own owner. INonDelegatingUnknown and
// IUnknown share the slot layout, so the inner interface serves as IUnknown,
// exactly as the Windows base classes do.
IUnknown* SelfAsUnknown(INonDelegatingUnknown* self) { return reinterpret_cast<IUnknown*>(self); }
}  // namespace

CBaseObject::CBaseObject(const char* name) : name_(name) { ++objects_; }
CBaseObject::~CBaseObject() { --objects_; }
LONG CBaseObject::ObjectsActive() { return objects_.load(); }

CUnknown::CUnknown(const char* name, IUnknown* outer)
    : CBaseObject(name), owner_(outer ? outer : SelfAsUnknown(this)) {}

CUnknown::CUnknown(const char* name, IUnknown* outer, HRESULT*) : CUnknown(name, outer) {}

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown) return GetInterface(SelfAsUnknown(this), ppv);
    return E_NOINTERFACE;
}

ULONG CUnknown::NonDelegatingAddRef() { return static_cast<ULONG>(++refCount_); }

ULONG CUnknown::NonDelegatingRelease() {
    const LONG remaining = --refCount_;
    if (remaining == 0) {
        // Guard against re-entry while the destructor releases what it holds.
        refCount_ = 1;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(remaining < 0 ? 0 : remaining);
}

HRESULT GetInterface(IUnknown* unknown, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = unknown;
    unknown->AddRef();
    return S_OK;
}

void ModuleLockServer(bool lock) {
    if (lock) ++g_serverLocks;
    else --g_serverLocks;
}

LONG ModuleServerLocks() { return g_serverLocks.load(); }
