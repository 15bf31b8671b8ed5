#pragma once
// CClassFactory: the IClassFactory a module hands out for one row of its
// factory-template table. It counts as one of the module's live objects, and
// LockServer keeps the module busy, so DllCanUnloadNow sees both.
#include <atomic>

#include "platform/com/factory_template.h"

class CClassFactory final : public IClassFactory, public CBaseObject {
public:
    explicit CClassFactory(const CFactoryTemplate* factoryTemplate);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // Aggregation follows the COM rule: an outer object may only ask for IUnknown.
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT LockServer(BOOL lock) override;

private:
    ~CClassFactory() override = default;

    const CFactoryTemplate* template_;
    std::atomic<LONG> refCount_{0};
};
