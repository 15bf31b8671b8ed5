#include "platform/com/class_factory.h"

CClassFactory::CClassFactory(const CFactoryTemplate* factoryTemplate)
    : CBaseObject("Class factory"), template_(factoryTemplate) {}

HRESULT CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    return GetInterface(static_cast<IClassFactory*>(this), ppv);
}

ULONG CClassFactory::AddRef() { return static_cast<ULONG>(++refCount_); }

ULONG CClassFactory::Release() {
    const LONG remaining = --refCount_;
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;

    HRESULT hr = S_OK;
    CUnknown* object = template_->CreateInstance(outer, &hr);
    if (!object) return FAILED(hr) ? hr : E_OUTOFMEMORY;
    // Hold a reference while asking, so a failed request frees the object
    // and a failed construction (object made but hr set) is not handed out.
    object->NonDelegatingAddRef();
    if (SUCCEEDED(hr)) hr = object->NonDelegatingQueryInterface(riid, ppv);
    object->NonDelegatingRelease();
    return hr;
}

HRESULT CClassFactory::LockServer(BOOL lock) {
    ModuleLockServer(lock != FALSE);
    return S_OK;
}
