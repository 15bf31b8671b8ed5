#pragma once
// A graph made through COM with a test push source feeding a renderer made
// by its CLSID, as the program's graphs are; the media types the renderers
// take.
#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"
#include "support/media/push_source.h"

namespace kvtest {

// RGB32 DIB frames, bottom row first.
CMediaType Rgb32Type(LONG width, LONG height);
// Interleaved PCM.
CMediaType PcmType(DWORD rate, WORD channels, WORD bits);

class RendererGraph : public testing::Test {
protected:
    // The graph with the renderer of this class in it.
    void MakeGraph(REFCLSID renderer);
    // Adds a push source and connects it straight to the renderer.
    HRESULT ConnectSource(const PushSourceConfig& config);
    // Runs and waits (up to the time) for the graph's EC_COMPLETE; the event code that came, or 0.
    LONG RunToCompletion(LONG msTimeout);

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ComPtr<IBaseFilter> renderer;
    ComPtr<TestPushSource> source;

    void TearDown() override;
};

}  // namespace kvtest
