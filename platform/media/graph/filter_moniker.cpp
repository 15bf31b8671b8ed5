#include "platform/media/graph/filter_moniker.h"

#include <cstring>

#include "platform/com/com_ptr.h"
#include "platform/com/task_memory.h"
#include "platform/com/utf.h"

namespace kvmedia {

HRESULT FilterMoniker::Create(std::string displayName, PropertyMap properties, FilterCreator creator,
                              IMoniker** out) {
    if (!out) return E_POINTER;
    auto* moniker = new FilterMoniker(std::move(displayName), std::move(properties), std::move(creator));
    return moniker->NonDelegatingQueryInterface(IID_IMoniker, reinterpret_cast<void**>(out));
}

FilterMoniker::FilterMoniker(std::string displayName, PropertyMap properties, FilterCreator creator)
    : CUnknown("FilterMoniker", nullptr),
      displayName_(std::move(displayName)),
      properties_(std::move(properties)),
      creator_(std::move(creator)) {}

HRESULT FilterMoniker::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMoniker || riid == IID_IPersistStream || riid == IID_IPersist)
        return GetInterface(static_cast<IMoniker*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FilterMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    ComPtr<IBaseFilter> filter;
    const HRESULT hr = creator_(filter.GetAddressOf());
    if (FAILED(hr)) return hr;
    if (!filter) return E_UNEXPECTED;
    return filter->QueryInterface(riid, ppv);
}

HRESULT FilterMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IPropertyBag) return E_NOINTERFACE;
    return PropertyBag::Create(properties_, riid, ppv);
}

HRESULT FilterMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) {
    if (!name) return E_POINTER;
    const std::u16string wide = Utf8ToUtf16(displayName_);
    const std::size_t bytes = (wide.size() + 1) * sizeof(OLECHAR);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*name) return E_OUTOFMEMORY;
    std::memcpy(*name, wide.c_str(), bytes);
    return S_OK;
}

HRESULT FilterMoniker::GetClassID(CLSID*) { return E_NOTIMPL; }
HRESULT FilterMoniker::IsDirty() { return E_NOTIMPL; }
HRESULT FilterMoniker::Load(IStream*) { return E_NOTIMPL; }
HRESULT FilterMoniker::Save(IStream*, BOOL) { return E_NOTIMPL; }
HRESULT FilterMoniker::GetSizeMax(ULONGLONG*) { return E_NOTIMPL; }
HRESULT FilterMoniker::Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::ComposeWith(IMoniker*, BOOL, IMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::Enum(BOOL, IEnumMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::IsEqual(IMoniker*) { return E_NOTIMPL; }
HRESULT FilterMoniker::Hash(DWORD*) { return E_NOTIMPL; }
HRESULT FilterMoniker::IsRunning(IBindCtx*, IMoniker*, IMoniker*) { return E_NOTIMPL; }
HRESULT FilterMoniker::GetTimeOfLastChange(IBindCtx*, IMoniker*, LONGLONG*) { return E_NOTIMPL; }
HRESULT FilterMoniker::Inverse(IMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::CommonPrefixWith(IMoniker*, IMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::RelativePathTo(IMoniker*, IMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) { return E_NOTIMPL; }
HRESULT FilterMoniker::IsSystemMoniker(DWORD*) { return E_NOTIMPL; }

}  // namespace kvmedia
