#include "platform/media/graph/system_device_enum.h"

#include "platform/com/com_ptr.h"
#include "platform/media/graph/com_enumerator.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/graph/filter_moniker.h"
#include "platform/media/graph/filter_registrations.h"

namespace kvmedia {

namespace {

HRESULT CreateDeviceMoniker(const std::shared_ptr<DeviceCategoryProvider>& provider, const DeviceDescription& device,
                            IMoniker** moniker) {
    PropertyMap properties = device.properties;
    properties["FriendlyName"] = device.friendlyName;
    // The moniker keeps the provider alive, so binding works even after it is unregistered.
    auto creator = [provider, device](IBaseFilter** filter) { return provider->CreateFilter(device, filter); };
    return FilterMoniker::Create(device.displayName, std::move(properties), std::move(creator), moniker);
}

}  // namespace

CUnknown* SystemDeviceEnum::CreateInstance(IUnknown* outer, HRESULT* phr) {
    if (phr) *phr = S_OK;
    return new SystemDeviceEnum(outer);
}

SystemDeviceEnum::SystemDeviceEnum(IUnknown* outer) : CUnknown("SystemDeviceEnum", outer) {}

HRESULT SystemDeviceEnum::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_ICreateDevEnum) return GetInterface(static_cast<ICreateDevEnum*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT SystemDeviceEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker** enumerator, DWORD) {
    if (!enumerator) return E_POINTER;
    *enumerator = nullptr;
    std::vector<ComPtr<IMoniker>> monikers;
    for (const FilterRegistration& registration : ReadCategoryRegistrations(category)) {
        ComPtr<IMoniker> moniker;
        if (SUCCEEDED(CreateRegistrationMoniker(registration, moniker.GetAddressOf()))) monikers.push_back(moniker);
    }
    for (const auto& provider : DeviceCategoryProviders(category)) {
        for (const DeviceDescription& device : provider->ListDevices()) {
            ComPtr<IMoniker> moniker;
            if (SUCCEEDED(CreateDeviceMoniker(provider, device, moniker.GetAddressOf()))) monikers.push_back(moniker);
        }
    }
    if (monikers.empty()) return S_FALSE;
    return ComEnumerator<IEnumMoniker, IMoniker>::Create(std::move(monikers), enumerator);
}

}  // namespace kvmedia
