#include "platform/media/base/enummediatypes.h"

#include "platform/media/base/basepin.h"

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* copyFrom)
    : CUnknown("CEnumMediaTypes", nullptr), pin_(pin) {
    pin_->AddRef();
    if (copyFrom) position_ = copyFrom->position_;
}

CEnumMediaTypes::~CEnumMediaTypes() { pin_->Release(); }

HRESULT CEnumMediaTypes::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IEnumMediaTypes) return GetInterface(static_cast<IEnumMediaTypes*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (!types) return E_POINTER;
    if (fetched) *fetched = 0;
    else if (count > 1) return E_INVALIDARG;
    ULONG taken = 0;
    while (taken < count) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) break;
        ++position_;
        AM_MEDIA_TYPE* copy = CreateMediaType(&mt);
        if (!copy) break;
        types[taken++] = copy;
    }
    if (fetched) *fetched = taken;
    return taken == count ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Skip(ULONG count) {
    for (; count > 0; --count) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) return S_FALSE;
        ++position_;
    }
    return S_OK;
}

HRESULT CEnumMediaTypes::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** clone) {
    if (!clone) return E_POINTER;
    *clone = new CEnumMediaTypes(pin_, this);
    (*clone)->AddRef();
    return S_OK;
}
