#pragma once
// Small questions the graph objects ask of filters and pins, answered through
// the public interfaces only, so they work on any filter implementation.
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/mediatype.h"

namespace kvmedia {

// The filter's pins in its EnumPins order.
std::vector<ComPtr<IPin>> FilterPins(IBaseFilter* filter);
// The same, only those of one direction.
std::vector<ComPtr<IPin>> FilterPins(IBaseFilter* filter, PIN_DIRECTION direction);

bool PinHasDirection(IPin* pin, PIN_DIRECTION direction);
// The pin it is connected to, or null.
ComPtr<IPin> ConnectedPeer(IPin* pin);
// The filter that owns the pin, or null.
ComPtr<IBaseFilter> PinOwner(IPin* pin);
// The types the pin offers (EnumMediaTypes), in its order.
std::vector<CMediaType> PinMediaTypes(IPin* pin);
// The pin's category (AMPROPSETID_Pin through IKsPropertySet), or GUID_NULL.
GUID PinCategory(IPin* pin);

// A renderer ends streams: it has no output pins and at least one connected input pin.
bool IsRenderer(IBaseFilter* filter);

// The filter at the head of the chain that feeds this one, following the
// first connected input pin of each filter upstream; the filter itself when
// nothing feeds it.
ComPtr<IBaseFilter> UpstreamSource(IBaseFilter* filter);

// Disconnects both ends of the pin's connection, if any.
void DisconnectBothEnds(IPin* pin);

}  // namespace kvmedia
