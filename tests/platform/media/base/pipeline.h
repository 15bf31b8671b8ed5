#pragma once
// A source → in-place transform → sink chain joined to a fake graph and
// driven by hand the way a graph manager drives it: state changes go from
// the sink upstream, so no upstream thread is left delivering into a stopped
// filter.
#include <gtest/gtest.h>

#include <array>

#include "support/media/fake_graph.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {

struct Pipeline {
    explicit Pipeline(const PushSourceConfig& sourceConfig = {}, const SinkConfig& sinkConfig = {},
                      bool markData = false)
        : graph(FakeGraph::Create()),
          source(TestPushSource::Create(sourceConfig)),
          transform(TestInPlaceTransform::Create(markData)),
          sink(TestSink::Create(sinkConfig)) {
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(transform.Get(), u"Transform");
        graph->AddFilter(sink.Get(), u"Sink");
    }
    ~Pipeline() {
        Stop();
        DisconnectPins(source->OutputPin());
        DisconnectPins(transform->OutputPin());
        for (IBaseFilter* filter : Filters()) graph->RemoveFilter(filter);
    }

    void Connect() {
        ASSERT_EQ(S_OK, ConnectPins(source->OutputPin(), transform->InputPin()));
        ASSERT_EQ(S_OK, ConnectPins(transform->OutputPin(), sink->InputPin()));
    }
    std::array<IBaseFilter*, 3> Filters() { return {sink.Get(), transform.Get(), source.Get()}; }
    HRESULT Pause() {
        for (IBaseFilter* filter : Filters())
            if (HRESULT hr = filter->Pause(); FAILED(hr)) return hr;
        return S_OK;
    }
    HRESULT Run(REFERENCE_TIME start = 0) {
        for (IBaseFilter* filter : Filters())
            if (HRESULT hr = filter->Run(start); FAILED(hr)) return hr;
        return S_OK;
    }
    HRESULT Stop() {
        HRESULT result = S_OK;
        for (IBaseFilter* filter : Filters())
            if (HRESULT hr = filter->Stop(); FAILED(hr)) result = hr;
        return result;
    }

    ComPtr<FakeGraph> graph;
    ComPtr<TestPushSource> source;
    ComPtr<TestInPlaceTransform> transform;
    ComPtr<TestSink> sink;
};

}  // namespace kvtest
