// Per-sample cost of the framework: a running graph source -> in-place
// transform -> sink, DV-sized samples (144000 bytes), no clock, no copies.
// Each iteration streams a whole run; the figure is the time per sample.
#include <benchmark/benchmark.h>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/uuids.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace {

constexpr LONG kSamplesPerRun = 10'000;

void BM_GraphPipeline(benchmark::State& state) {
    kvtest::PushSourceConfig config;
    config.sampleCount = kSamplesPerRun;
    config.sampleSize = 144'000;
    auto source = kvtest::TestPushSource::Create(config);
    auto transform = kvtest::TestInPlaceTransform::Create();
    auto sink = kvtest::TestSink::Create();

    ComPtr<IGraphBuilder> graph;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.GetVoidAddress());
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(transform.Get(), u"Transform");
    graph->AddFilter(sink.Get(), u"Sink");
    if (FAILED(graph->Connect(source->OutputPin(), transform->InputPin())) ||
        FAILED(graph->Connect(transform->OutputPin(), sink->InputPin()))) {
        state.SkipWithError("the pipeline does not connect");
        return;
    }
    graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    const auto control = graph.As<IMediaControl>();
    const auto events = graph.As<IMediaEvent>();

    for (auto _ : state) {
        control->Run();
        LONG code = 0;
        events->WaitForCompletion(-1, &code);
        state.PauseTiming();
        control->Stop();
        LONG_PTR p1 = 0, p2 = 0;
        while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) events->FreeEventParams(code, p1, p2);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSamplesPerRun);
    // Seconds per sample, printed with its unit (e.g. "1.5u").
    state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations() * kSamplesPerRun),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GraphPipeline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
