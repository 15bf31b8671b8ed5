#include "platform/devices/ieee1394/firewire_devices.h"

#include <algorithm>
#include <cstdio>
#include <variant>

#include "platform/devices/deck_capture_filter.h"
#include "platform/devices/ieee1394/fw_camcorder.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/uuids.h"

namespace {

constexpr const char* kGuidProperty = "FireWireGuid";
constexpr std::chrono::milliseconds kEventWait{200};

std::string GuidText(std::uint64_t guid) { return FormatDeckDeviceId(FireWireCamcorder::IdOfGuid(guid)); }

// Vendor and model go into the display name, which "#", "&" and "\" break apart.
std::string NamePart(const std::string& text, const char* empty) {
    std::string part = text.empty() ? empty : text;
    std::replace_if(part.begin(), part.end(), [](char c) { return c == '#' || c == '&' || c == '\\'; }, '_');
    return part;
}

}  // namespace

class FireWireDevices::Provider final : public kvmedia::DeviceCategoryProvider {
public:
    explicit Provider(std::shared_ptr<IFireWireBus> bus) : bus_(std::move(bus)) { Rescan(); }

    std::vector<kvmedia::DeviceDescription> ListDevices() override {
        std::vector<kvmedia::DeviceDescription> devices;
        for (const FwNode& node : Nodes()) {
            const std::string display = DisplayName(node);
            devices.push_back({display, FriendlyName(node), {{"DevicePath", display}, {kGuidProperty, GuidText(node.guid)}}});
        }
        return devices;
    }

    HRESULT CreateFilter(const kvmedia::DeviceDescription& device, IBaseFilter** filter) override {
        const auto guid = device.properties.find(kGuidProperty);
        if (guid == device.properties.end() || !std::holds_alternative<std::string>(guid->second))
            return VFW_E_NOT_FOUND;
        std::shared_ptr<FireWireCamcorder> camcorder;
        if (const HRESULT hr = Acquire(std::stoull(std::get<std::string>(guid->second), nullptr, 16), &camcorder);
            FAILED(hr))
            return hr;
        return DeckCaptureFilter::Create(std::move(camcorder), CLSID_KorvantaFireWireCamcorder, filter);
    }

    std::vector<FwNode> Nodes() const {
        std::scoped_lock lock(mutex_);
        return nodes_;
    }

    void Rescan() {
        std::vector<FwNode> nodes;
        for (FwNode& node : bus_->Scan())
            if (node.avc) nodes.push_back(std::move(node));
        std::scoped_lock lock(mutex_);
        nodes_ = std::move(nodes);
    }

    std::shared_ptr<FireWireCamcorder> InUse(std::uint64_t guid) const {
        std::scoped_lock lock(mutex_);
        const auto live = live_.find(guid);
        return live == live_.end() ? nullptr : live->second.lock();
    }

    std::vector<std::shared_ptr<FireWireCamcorder>> AllInUse() const {
        std::scoped_lock lock(mutex_);
        std::vector<std::shared_ptr<FireWireCamcorder>> all;
        for (const auto& [guid, weak] : live_)
            if (auto camcorder = weak.lock()) all.push_back(std::move(camcorder));
        return all;
    }

    void Forget(std::uint64_t guid) {
        std::scoped_lock lock(mutex_);
        live_.erase(guid);
    }

    IFireWireBus& Bus() { return *bus_; }

private:
    HRESULT Acquire(std::uint64_t guid, std::shared_ptr<FireWireCamcorder>* camcorder) {
        std::scoped_lock acquire(acquireMutex_);
        if (auto live = InUse(guid); live && !live->Unplugged()) {
            *camcorder = std::move(live);
            return S_OK;
        }
        const std::vector<FwNode> nodes = Nodes();
        const auto node = std::find_if(nodes.begin(), nodes.end(), [&](const FwNode& n) { return n.guid == guid; });
        if (node == nodes.end()) return VFW_E_NOT_FOUND;
        if (!node->accessible) return E_ACCESSDENIED;
        std::unique_ptr<IDvLink> link = bus_->Open(guid);
        if (!link) return VFW_E_NOT_FOUND;
        *camcorder = std::make_shared<FireWireCamcorder>(*node, std::move(link));
        std::scoped_lock lock(mutex_);
        live_[guid] = *camcorder;
        return S_OK;
    }

    const std::shared_ptr<IFireWireBus> bus_;
    std::mutex acquireMutex_;  // one camcorder object per device; taken before mutex_
    mutable std::mutex mutex_;
    std::vector<FwNode> nodes_;                                          // guarded by mutex_
    std::map<std::uint64_t, std::weak_ptr<FireWireCamcorder>> live_;    // guarded by mutex_
};

FireWireDevices::FireWireDevices(std::shared_ptr<IFireWireBus> bus)
    : provider_(std::make_shared<Provider>(std::move(bus))),
      cookie_(kvmedia::RegisterDeviceCategoryProvider(CLSID_VideoInputDeviceCategory, provider_)),
      announcer_([provider = provider_] {
          std::map<std::string, std::string> devices;
          for (const FwNode& node : provider->Nodes()) devices.emplace(FriendlyName(node), DisplayName(node));
          return devices;
      }),
      watcher_([this](std::stop_token stop) { Watch(stop); }) {}

FireWireDevices::~FireWireDevices() {
    watcher_ = {};
    kvmedia::UnregisterDeviceCategoryProvider(cookie_);
}

std::vector<FwNode> FireWireDevices::Camcorders() const { return provider_->Nodes(); }

std::string FireWireDevices::Diagnose() const { return provider_->Bus().Diagnose(); }

std::shared_ptr<FireWireCamcorder> FireWireDevices::InUse(std::uint64_t guid) const { return provider_->InUse(guid); }

std::string FireWireDevices::FriendlyName(const FwNode& node) {
    return NamePart(node.vendor, "DV") + " " + NamePart(node.model, "camcorder") + " (" + GuidText(node.guid) + ")";
}

std::string FireWireDevices::DisplayName(const FwNode& node) {
    return CamcorderDisplayName(NamePart(node.vendor, "DV"), NamePart(node.model, "mod_0"),
                                FireWireCamcorder::IdOfGuid(node.guid), "global");
}

void FireWireDevices::Watch(std::stop_token stop) {
    while (!stop.stop_requested()) {
        const std::vector<BusEvent> events = provider_->Bus().WaitEvents(kEventWait);
        if (events.empty()) continue;
        provider_->Rescan();
        for (const BusEvent& event : events) {
            if (event.kind == BusEventKind::Removed) {
                if (auto camcorder = provider_->InUse(event.guid)) camcorder->Unplug();
                provider_->Forget(event.guid);
            } else if (event.kind == BusEventKind::Reset || event.kind == BusEventKind::Changed) {
                // Node ids are gone; each camcorder in use finds its node again by GUID.
                for (const auto& camcorder : provider_->AllInUse())
                    if (event.guid == 0 || event.guid == camcorder->Node().guid) camcorder->BusReset();
            }
        }
    }
}
