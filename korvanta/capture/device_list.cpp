// Listing and binding the camcorders of the video input device category.
#include "korvanta/capture/device_list.h"

#include <chrono>
#include <cstring>
#include <memory>

#include "platform/com/objbase.h"
#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/com/variant.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/uuids.h"

namespace {

struct TaskMemoryFree {
    void operator()(void* block) const { CoTaskMemFree(block); }
};
struct MediaTypeDelete {
    void operator()(AM_MEDIA_TYPE* type) const { DeleteMediaType(type); }
};

// The monikers of the video input device category in the enumerator's
// order; empty when the enumerator cannot be had. The platform's monikers
// take no bind context, so none is made.
std::vector<ComPtr<IMoniker>> VideoInputMonikers() {
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.GetVoidAddress())) ||
        !devices)
        return {};
    ComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.GetAddressOf(), 0) != S_OK ||
        !monikers)
        return {};
    std::vector<ComPtr<IMoniker>> list;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.GetAddressOf(), nullptr) == S_OK && moniker) list.push_back(moniker);
    return list;
}

// The device's capture filter, or null when binding fails or takes longer
// than kDeviceBindLimitMs (such a device is treated as absent). The property
// bag is bound first, as a device expects; friendlyName, when given, gets
// its "FriendlyName".
ComPtr<IBaseFilter> BindWithinLimit(IMoniker* moniker, std::string* friendlyName = nullptr) {
    ComPtr<IPropertyBag> bag;
    moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.GetVoidAddress());
    if (friendlyName && bag) {
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(bag->Read(u"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
            *friendlyName = Utf16ToUtf8(value.bstrVal);
        VariantClear(&value);
    }
    ComPtr<IBaseFilter> filter;
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress());
    const auto took = std::chrono::steady_clock::now() - start;
    if (FAILED(hr) || took > std::chrono::milliseconds(kDeviceBindLimitMs)) return nullptr;
    return filter;
}

bool PinOffersSubtype(IPin* pin, const GUID& subtype) {
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(pin->EnumMediaTypes(types.GetAddressOf())) || !types) return false;
    for (;;) {
        AM_MEDIA_TYPE* next = nullptr;
        if (types->Next(1, &next, nullptr) != S_OK || !next) return false;
        const std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDelete> type(next);
        if (type->subtype == subtype) return true;
    }
}

// A DV camcorder's first output pin offers DV video (MEDIASUBTYPE_dvsd).
bool FirstOutputOffersDv(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.GetAddressOf())) || !pins) return false;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.GetAddressOf(), nullptr) == S_OK && pin) {
        PIN_DIRECTION direction{};
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
            return PinOffersSubtype(pin.Get(), MEDIASUBTYPE_dvsd);
    }
    return false;
}

// The identifier from IAMExtDevice, absent when the device has no such
// interface or reports none.
std::optional<DeviceId> ReadDeviceId(const ComPtr<IBaseFilter>& filter) {
    ComPtr<IAMExtDevice> device;
    if (FAILED(filter.As(&device)) || !device) return std::nullopt;
    LPOLESTR buffer = nullptr;
    const HRESULT hr = device->get_ExternalDeviceID(&buffer);
    const std::unique_ptr<OLECHAR, TaskMemoryFree> owned(buffer);
    if (FAILED(hr) || !buffer) return std::nullopt;
    DeviceId id{};
    std::memcpy(id.data(), buffer, id.size());
    return id;
}

std::string MonikerDisplayName(IMoniker* moniker) {
    LPOLESTR name = nullptr;
    const HRESULT hr = moniker->GetDisplayName(nullptr, nullptr, &name);
    const std::unique_ptr<OLECHAR, TaskMemoryFree> owned(name);
    if (FAILED(hr) || !name) return {};
    return Utf16ToUtf8(name);
}

}  // namespace

std::vector<DeviceEntry> EnumerateDevices() {
    std::vector<DeviceEntry> entries;
    for (const ComPtr<IMoniker>& moniker : VideoInputMonikers()) {
        std::string friendlyName;
        const ComPtr<IBaseFilter> filter = BindWithinLimit(moniker.Get(), &friendlyName);
        if (!filter || !FirstOutputOffersDv(filter.Get())) continue;
        entries.push_back({ReadDeviceId(filter), CamcorderName(MonikerDisplayName(moniker.Get())), friendlyName});
    }
    NumberDuplicateNames(entries);
    return entries;
}

bool DeviceMatches(const DeviceEntry& entry, std::string_view wanted) {
    if (wanted == entry.name || (!entry.friendlyName.empty() && wanted == entry.friendlyName)) return true;
    return entry.id && ParseDeviceId(wanted) == entry.id;
}

std::optional<BoundDevice> BindDevice(const std::optional<DeviceId>& wanted) {
    // Only a device with an identifier is ever used, so without a wanted
    // identifier there is nothing to look for.
    if (!wanted) return std::nullopt;
    for (const ComPtr<IMoniker>& moniker : VideoInputMonikers()) {
        const ComPtr<IBaseFilter> filter = BindWithinLimit(moniker.Get());
        if (!filter || ReadDeviceId(filter) != wanted) continue;
        BoundDevice bound;
        bound.filter = filter;
        bound.id = *wanted;
        if (FAILED(filter.As(&bound.transport)) || FAILED(filter.As(&bound.device)) ||
            FAILED(filter.As(&bound.timecodeReader)) || !bound.transport || !bound.device || !bound.timecodeReader)
            return std::nullopt;
        return bound;
    }
    return std::nullopt;
}
