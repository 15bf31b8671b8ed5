#pragma once
// The reference-counting core shared by every COM object of a module:
// CBaseObject counts the module's live objects (for DllCanUnloadNow), CUnknown
// gives the non-delegating IUnknown with aggregation. This library is linked
// statically into each module, so each module counts its own objects.
#include <atomic>

#include "platform/com/unknown.h"

// The inner IUnknown of an aggregatable object. The outer object (or the
// object itself, when not aggregated) owns the reference count.
struct INonDelegatingUnknown {
    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG NonDelegatingAddRef() = 0;
    virtual ULONG NonDelegatingRelease() = 0;

protected:
    ~INonDelegatingUnknown() = default;
};

class CBaseObject {
public:
    explicit CBaseObject(const char* name);
    virtual ~CBaseObject();
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    // Live objects of this module.
    static LONG ObjectsActive();
    const char* Name() const { return name_; }

private:
    const char* name_;
    static std::atomic<LONG> objects_;
};

class CUnknown : public INonDelegatingUnknown, public CBaseObject {
public:
    // outer: the controlling IUnknown when aggregated, else null (the object controls itself).
    CUnknown(const char* name, IUnknown* outer);
    CUnknown(const char* name, IUnknown* outer, HRESULT* phr);
    ~CUnknown() override = default;

    // The IUnknown that answers for this object: the outer one when aggregated.
    IUnknown* GetOwner() const { return owner_; }

    // Override to add interfaces; call the base for IUnknown.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG NonDelegatingAddRef() override;
    // Destroys the object when the count reaches zero.
    ULONG NonDelegatingRelease() override;

protected:
    std::atomic<LONG> refCount_{0};

private:
    IUnknown* owner_;
};

// Hands out an interface pointer with a reference: AddRef then store.
HRESULT GetInterface(IUnknown* unknown, void** ppv);

// Module server locks (IClassFactory::LockServer), counted with the objects by DllCanUnloadNow.
void ModuleLockServer(bool lock);
LONG ModuleServerLocks();

// Routes IUnknown through the owner; place in the public part of every
// class that derives from CUnknown and from a COM interface.
#define DECLARE_IUNKNOWN                                                         \
    HRESULT QueryInterface(REFIID riid, void** ppv) override {                   \
        return GetOwner()->QueryInterface(riid, ppv);                            \
    }                                                                            \
    ULONG AddRef() override { return GetOwner()->AddRef(); }                     \
    ULONG Release() override { return GetOwner()->Release(); }
