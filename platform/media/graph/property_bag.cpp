#include "platform/media/graph/property_bag.h"

#include "platform/com/utf.h"

namespace kvmedia {

namespace {
VARTYPE TypeOf(const PropertyValue& value) {
    if (std::holds_alternative<LONG>(value)) return VT_I4;
    if (std::holds_alternative<ULONGLONG>(value)) return VT_UI8;
    return VT_BSTR;
}
}  // namespace

HRESULT PropertyBag::Create(PropertyMap properties, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* bag = new PropertyBag(std::move(properties));
    bag->NonDelegatingAddRef();
    const HRESULT hr = bag->NonDelegatingQueryInterface(riid, ppv);
    bag->NonDelegatingRelease();
    return hr;
}

PropertyBag::PropertyBag(PropertyMap properties)
    : CUnknown("PropertyBag", nullptr), properties_(std::move(properties)) {}

HRESULT PropertyBag::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IPropertyBag) return GetInterface(static_cast<IPropertyBag*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    const auto found = properties_.find(Utf16ToUtf8(name));
    if (found == properties_.end()) return VFW_E_NOT_FOUND;
    const VARTYPE type = TypeOf(found->second);
    if (value->vt != VT_EMPTY && value->vt != type) return E_INVALIDARG;
    value->vt = type;
    if (const auto* number = std::get_if<LONG>(&found->second)) {
        value->lVal = *number;
    } else if (const auto* wide = std::get_if<ULONGLONG>(&found->second)) {
        value->ullVal = *wide;
    } else {
        value->bstrVal = bstr_t(std::get<std::string>(found->second)).copy();
        if (!value->bstrVal) {
            value->vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

HRESULT PropertyBag::Write(LPCOLESTR, VARIANT*) { return E_NOTIMPL; }

}  // namespace kvmedia
