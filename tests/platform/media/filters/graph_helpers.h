#pragma once
// Small helpers for graph tests of the platform filters.
#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvtest {

// A filter made by its class's CreateInstance, as its class factory would.
inline ComPtr<IBaseFilter> MakeFilter(CUnknown* (*create)(IUnknown*, HRESULT*)) {
    HRESULT hr = S_OK;
    CUnknown* object = create(nullptr, &hr);
    ComPtr<IBaseFilter> filter;
    if (object && SUCCEEDED(hr)) object->NonDelegatingQueryInterface(IID_IBaseFilter, filter.GetVoidAddress());
    return filter;
}

// The filter's pin with this id; the filter keeps its pins, so no reference is held.
inline IPin* PinOf(IBaseFilter* filter, const char16_t* id) {
    IPin* pin = nullptr;
    filter->FindPin(id, &pin);
    if (pin) pin->Release();
    return pin;
}

}  // namespace kvtest
