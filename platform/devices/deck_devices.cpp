#include "platform/devices/deck_devices.h"

#include <variant>

#include "platform/devices/deck_capture_filter.h"
#include "platform/devices/deck_config.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/uuids.h"

namespace {

constexpr const char* kDeckNameProperty = "DeckName";

class DeckDeviceProvider final : public kvmedia::DeviceCategoryProvider {
public:
    std::vector<kvmedia::DeviceDescription> ListDevices() override {
        std::vector<kvmedia::DeviceDescription> devices;
        for (const DeckConfig& deck : deck_store::List()) {
            const std::string display = DeckDisplayName(deck);
            devices.push_back({display, deck.name, {{"DevicePath", display}, {kDeckNameProperty, deck.name}}});
        }
        return devices;
    }

    HRESULT CreateFilter(const kvmedia::DeviceDescription& device, IBaseFilter** filter) override {
        const auto name = device.properties.find(kDeckNameProperty);
        if (name == device.properties.end() || !std::holds_alternative<std::string>(name->second))
            return VFW_E_NOT_FOUND;
        // A deck removed and added again under its name is another device.
        const auto deck = deck_store::Find(std::get<std::string>(name->second));
        if (!deck || DeckDisplayName(*deck) != device.displayName) return VFW_E_NOT_FOUND;
        return DeckCaptureFilter::Create(deck->name, filter);
    }
};

}  // namespace

DeckDevices::DeckDevices()
    : cookie_(kvmedia::RegisterDeviceCategoryProvider(CLSID_VideoInputDeviceCategory,
                                                      std::make_shared<DeckDeviceProvider>())) {}

DeckDevices::~DeckDevices() { kvmedia::UnregisterDeviceCategoryProvider(cookie_); }
