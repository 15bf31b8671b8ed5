// Per-sample framework cost of source → in-place transform → sink: getting a
// buffer, delivering it through the transform, rendering it at once and
// returning it to the pool. No data is touched or copied.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "platform/media/evcode.h"
#include "support/media/fake_graph.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

// Processor time of every thread of the process, in microseconds: on a busy
// machine wall time per sample mostly measures waiting for a processor.
double ProcessCpuMicroseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto micros = [](const timeval& t) { return t.tv_sec * 1e6 + static_cast<double>(t.tv_usec); };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

void BM_SourceInPlaceSink(benchmark::State& state) {
    const LONG samples = static_cast<LONG>(state.range(0));
    PushSourceConfig config;
    config.sampleCount = samples;
    config.sampleSize = 144000;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto graph = FakeGraph::Create();
        auto source = TestPushSource::Create(config);
        auto transform = TestInPlaceTransform::Create();
        auto sink = TestSink::Create();
        graph->AddFilter(sink.Get(), u"Sink");
        ConnectPins(source->OutputPin(), transform->InputPin());
        ConnectPins(transform->OutputPin(), sink->InputPin());
        IBaseFilter* filters[] = {sink.Get(), transform.Get(), source.Get()};
        state.ResumeTiming();

        const double cpuBefore = ProcessCpuMicroseconds();
        for (IBaseFilter* filter : filters) filter->Run(0);
        if (!graph->WaitForEvent(EC_COMPLETE, 600000)) state.SkipWithError("the stream did not end");
        cpu += ProcessCpuMicroseconds() - cpuBefore;

        state.PauseTiming();
        for (IBaseFilter* filter : filters) filter->Stop();
        if (sink->Samples() != samples || transform->Copies() != 0) state.SkipWithError("samples lost or copied");
        DisconnectPins(source->OutputPin());
        DisconnectPins(transform->OutputPin());
        graph->RemoveFilter(sink.Get());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * samples);
    state.counters["cpu_us_per_sample"] = cpu / static_cast<double>(state.iterations() * samples);
    // Seconds per sample, printed with an SI prefix (u = microseconds).
    state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations() * samples),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SourceInPlaceSink)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kvtest

BENCHMARK_MAIN();
