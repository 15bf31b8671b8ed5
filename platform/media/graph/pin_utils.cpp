#include "platform/media/graph/pin_utils.h"

#include "platform/media/base/kspropertyset.h"
#include "platform/media/uuids.h"

namespace kvmedia {

std::vector<ComPtr<IPin>> FilterPins(IBaseFilter* filter) {
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> enumerator;
    if (!filter || FAILED(filter->EnumPins(enumerator.GetAddressOf())) || !enumerator) return pins;
    ComPtr<IPin> pin;
    while (enumerator->Next(1, pin.GetAddressOf(), nullptr) == S_OK) pins.push_back(pin);
    return pins;
}

std::vector<ComPtr<IPin>> FilterPins(IBaseFilter* filter, PIN_DIRECTION direction) {
    std::vector<ComPtr<IPin>> pins;
    for (auto& pin : FilterPins(filter))
        if (PinHasDirection(pin.Get(), direction)) pins.push_back(pin);
    return pins;
}

bool PinHasDirection(IPin* pin, PIN_DIRECTION direction) {
    PIN_DIRECTION actual{};
    return pin && SUCCEEDED(pin->QueryDirection(&actual)) && actual == direction;
}

ComPtr<IPin> ConnectedPeer(IPin* pin) {
    ComPtr<IPin> peer;
    if (pin && FAILED(pin->ConnectedTo(peer.GetAddressOf()))) peer.Reset();
    return peer;
}

ComPtr<IBaseFilter> PinOwner(IPin* pin) {
    ComPtr<IBaseFilter> owner;
    PIN_INFO info{};
    if (pin && SUCCEEDED(pin->QueryPinInfo(&info))) owner.Attach(info.pFilter);
    return owner;
}

std::vector<CMediaType> PinMediaTypes(IPin* pin) {
    std::vector<CMediaType> types;
    ComPtr<IEnumMediaTypes> enumerator;
    if (!pin || FAILED(pin->EnumMediaTypes(enumerator.GetAddressOf())) || !enumerator) return types;
    AM_MEDIA_TYPE* type = nullptr;
    while (enumerator->Next(1, &type, nullptr) == S_OK && type) {
        types.emplace_back(*type);
        DeleteMediaType(type);
        type = nullptr;
    }
    return types;
}

GUID PinCategory(IPin* pin) {
    ComPtr<IKsPropertySet> properties;
    GUID category = GUID_NULL;
    DWORD returned = 0;
    if (!pin || FAILED(pin->QueryInterface(IID_IKsPropertySet, properties.GetVoidAddress())) ||
        FAILED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof category,
                               &returned)) ||
        returned != sizeof category)
        return GUID_NULL;
    return category;
}

bool IsRenderer(IBaseFilter* filter) {
    bool connectedInput = false;
    for (auto& pin : FilterPins(filter)) {
        if (PinHasDirection(pin.Get(), PINDIR_OUTPUT)) return false;
        if (ConnectedPeer(pin.Get())) connectedInput = true;
    }
    return connectedInput;
}

ComPtr<IBaseFilter> UpstreamSource(IBaseFilter* filter) {
    ComPtr<IBaseFilter> current(filter);
    // A graph has no cycles; the bound only guards against a filter that lies about its pins.
    for (int step = 0; step < 256; ++step) {
        ComPtr<IBaseFilter> feeder;
        for (auto& pin : FilterPins(current.Get(), PINDIR_INPUT)) {
            feeder = PinOwner(ConnectedPeer(pin.Get()).Get());
            if (feeder) break;
        }
        if (!feeder) break;
        current = feeder;
    }
    return current;
}

void DisconnectBothEnds(IPin* pin) {
    if (ComPtr<IPin> peer = ConnectedPeer(pin)) peer->Disconnect();
    if (pin) pin->Disconnect();
}

}  // namespace kvmedia
