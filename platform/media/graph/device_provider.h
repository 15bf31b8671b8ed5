#pragma once
// Device providers: platform code that knows devices of a category (the
// virtual DV tape deck, IEEE 1394 camcorders) registers a provider here, and
// the system device enumerator lists its devices beside the filters
// registered in that category.
//
//     class TapeDecks : public kvmedia::DeviceCategoryProvider { ... };
//     const DWORD cookie = kvmedia::RegisterDeviceCategoryProvider(
//         CLSID_VideoInputDeviceCategory, std::make_shared<TapeDecks>());
//
// Display names are the program's to parse: a camcorder gives
// "@device:pnp:\\?\avc#vendor&model&...#{guid}\global".
#include <memory>
#include <string>
#include <vector>

#include "platform/media/graph/property_bag.h"

namespace kvmedia {

struct DeviceDescription {
    std::string displayName;   // unique within the category
    std::string friendlyName;  // the bag's "FriendlyName"
    PropertyMap properties;    // further bag values, e.g. "DevicePath", "CLSID"
};

// Called from whichever thread enumerates devices; must be thread-safe.
class DeviceCategoryProvider {
public:
    virtual ~DeviceCategoryProvider() = default;
    // The devices present now, in the order they should be offered.
    virtual std::vector<DeviceDescription> ListDevices() = 0;
    // A new capture filter for one of the listed devices (a reference for the caller).
    virtual HRESULT CreateFilter(const DeviceDescription& device, IBaseFilter** filter) = 0;
};

// Process-wide. Returns a cookie for UnregisterDeviceCategoryProvider, 0 for a null provider.
DWORD RegisterDeviceCategoryProvider(REFCLSID category, std::shared_ptr<DeviceCategoryProvider> provider);
// Monikers already handed out keep their provider alive until released.
void UnregisterDeviceCategoryProvider(DWORD cookie);
// The providers of a category, in the order they were registered.
std::vector<std::shared_ptr<DeviceCategoryProvider>> DeviceCategoryProviders(REFCLSID category);

}  // namespace kvmedia
