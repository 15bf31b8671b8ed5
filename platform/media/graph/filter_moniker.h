#pragma once
// FilterMoniker: names one filter the framework can make, either a filter
// registered with the filter mapper or a device a provider lists. It binds
// to the filter itself (BindToObject) or to a property bag describing it
// (BindToStorage); every other IMoniker slot answers E_NOTIMPL.
#include <functional>
#include <string>

#include "platform/media/graph/property_bag.h"

namespace kvmedia {

class FilterMoniker final : public CUnknown, public IMoniker {
public:
    // Makes a new filter each time it is called.
    using FilterCreator = std::function<HRESULT(IBaseFilter** filter)>;

    static HRESULT Create(std::string displayName, PropertyMap properties, FilterCreator creator, IMoniker** out);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream* stream) override;
    HRESULT Save(IStream* stream, BOOL clearDirty) override;
    HRESULT GetSizeMax(ULONGLONG* size) override;

    // Creates the filter and asks it for riid.
    HRESULT BindToObject(IBindCtx* ctx, IMoniker* left, REFIID riid, void** ppv) override;
    // IID_IPropertyBag only.
    HRESULT BindToStorage(IBindCtx* ctx, IMoniker* left, REFIID riid, void** ppv) override;
    HRESULT Reduce(IBindCtx* ctx, DWORD howFar, IMoniker** toLeft, IMoniker** reduced) override;
    HRESULT ComposeWith(IMoniker* right, BOOL onlyIfNotGeneric, IMoniker** composite) override;
    HRESULT Enum(BOOL forward, IEnumMoniker** enumerator) override;
    HRESULT IsEqual(IMoniker* other) override;
    HRESULT Hash(DWORD* hash) override;
    HRESULT IsRunning(IBindCtx* ctx, IMoniker* left, IMoniker* newlyRunning) override;
    HRESULT GetTimeOfLastChange(IBindCtx* ctx, IMoniker* left, LONGLONG* fileTime) override;
    HRESULT Inverse(IMoniker** inverse) override;
    HRESULT CommonPrefixWith(IMoniker* other, IMoniker** prefix) override;
    HRESULT RelativePathTo(IMoniker* other, IMoniker** relativePath) override;
    // Task memory the caller frees with CoTaskMemFree.
    HRESULT GetDisplayName(IBindCtx* ctx, IMoniker* left, LPOLESTR* name) override;
    HRESULT ParseDisplayName(IBindCtx* ctx, IMoniker* left, LPOLESTR name, ULONG* eaten, IMoniker** out) override;
    HRESULT IsSystemMoniker(DWORD* kind) override;

private:
    FilterMoniker(std::string displayName, PropertyMap properties, FilterCreator creator);

    const std::string displayName_;
    const PropertyMap properties_;
    const FilterCreator creator_;
};

}  // namespace kvmedia
