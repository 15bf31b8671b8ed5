#pragma once
// IKsPropertySet: property sets on a pin. The capture graph builder reads a
// pin's category through it: Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY)
// returns a GUID such as PIN_CATEGORY_CAPTURE.
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"  // AMPROPSETID_Pin and the PIN_CATEGORY_ values

inline constexpr DWORD AMPROPERTY_PIN_CATEGORY = 0;
inline constexpr DWORD AMPROPERTY_PIN_MEDIUM = 1;

// QuerySupported flags.
inline constexpr DWORD KSPROPERTY_SUPPORT_GET = 1;
inline constexpr DWORD KSPROPERTY_SUPPORT_SET = 2;

struct IKsPropertySet : IUnknown {
    virtual HRESULT Set(REFGUID propSet, DWORD id, void* instanceData, DWORD instanceLength, void* propertyData,
                        DWORD dataLength) = 0;
    // bytesReturned receives the size written (or needed).
    virtual HRESULT Get(REFGUID propSet, DWORD id, void* instanceData, DWORD instanceLength, void* propertyData,
                        DWORD dataLength, DWORD* bytesReturned) = 0;
    virtual HRESULT QuerySupported(REFGUID propSet, DWORD id, DWORD* typeSupport) = 0;

protected:
    ~IKsPropertySet() = default;
};
KV_DEFINE_IID(IKsPropertySet, "{31EFAC30-515C-11D0-A9AA-00AA0061BE93}");
