#pragma once
// Finding pins in a filter graph, the way the capture engine splices its own
// filters into the connections the platform made, and emptying a graph.
#include "platform/com/com_ptr.h"
#include "platform/media/strmif.h"

// The index-th pin (from 0) of the filter whose direction is direction, or null.
ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index);

struct ConnectedPin {
    ComPtr<IBaseFilter> filter;
    ComPtr<IPin> pin;
};

// The first connected pin of the given direction, over the graph's filters
// in the graph's order and each filter's pins in order, whose connection's
// major type, subtype and format type each equal the wanted one (GUID_NULL
// matches any). Empty when there is none.
ConnectedPin FindConnectedPin(IGraphBuilder* graph, PIN_DIRECTION direction, const GUID& major,
                              const GUID& subtype, const GUID& format);

// Disconnects the pin and its peer, if it has one.
void DisconnectBothEnds(IGraphBuilder* graph, IPin* pin);

// Removes every filter from the graph.
void RemoveAllFilters(IGraphBuilder* graph);

// Renegotiates every connection downstream of the output pin, through
// filters of one input and one output, so a changed picture size reaches
// the renderer.
void ReconnectDownstream(IGraphBuilder* graph, ComPtr<IPin> output);

// Splices the filter (added under name unless the graph already holds it
// there) into the first connection FindConnectedPin finds for the pattern:
// the found output pin to the filter's first input, the filter's first
// output to the old downstream pin. False when there is no such connection
// or a step fails.
bool InsertFilterAfter(IGraphBuilder* graph, IBaseFilter* filter, const char16_t* name, const GUID& major,
                       const GUID& subtype, const GUID& format);
