#pragma once
// SystemDeviceEnum (CLSID_SystemDeviceEnum): lists a category as monikers,
// first the filters registered in it (filter_registrations.h), then the
// devices of its providers (device_provider.h) in registration order.
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvmedia {

class SystemDeviceEnum final : public CUnknown, public ICreateDevEnum {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    explicit SystemDeviceEnum(IUnknown* outer);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // S_FALSE and a null enumerator when the category is empty.
    HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** enumerator, DWORD flags) override;
};

}  // namespace kvmedia
