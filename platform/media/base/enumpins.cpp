#include "platform/media/base/enumpins.h"

#include "platform/media/base/basefilter.h"
#include "platform/media/base/basepin.h"

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* copyFrom)
    : CUnknown("CEnumPins", nullptr), filter_(filter), version_(filter->GetPinVersion()) {
    filter_->AddRef();
    if (copyFrom) {
        position_ = copyFrom->position_;
        version_ = copyFrom->version_;
    }
}

CEnumPins::~CEnumPins() { filter_->Release(); }

HRESULT CEnumPins::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IEnumPins) return GetInterface(static_cast<IEnumPins*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

bool CEnumPins::OutOfSync() const { return version_ != filter_->GetPinVersion(); }

HRESULT CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (!pins) return E_POINTER;
    if (fetched) *fetched = 0;
    else if (count > 1) return E_INVALIDARG;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG taken = 0;
    while (taken < count && position_ < filter_->GetPinCount()) {
        CBasePin* pin = filter_->GetPin(position_++);
        if (!pin) continue;
        pin->AddRef();
        pins[taken++] = pin;
    }
    if (fetched) *fetched = taken;
    return taken == count ? S_OK : S_FALSE;
}

HRESULT CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    const int left = filter_->GetPinCount() - position_;
    if (static_cast<LONGLONG>(count) > left) {
        position_ += left;
        return S_FALSE;
    }
    position_ += static_cast<int>(count);
    return S_OK;
}

HRESULT CEnumPins::Reset() {
    position_ = 0;
    version_ = filter_->GetPinVersion();
    return S_OK;
}

HRESULT CEnumPins::Clone(IEnumPins** clone) {
    if (!clone) return E_POINTER;
    *clone = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    *clone = new CEnumPins(filter_, this);
    (*clone)->AddRef();
    return S_OK;
}
