// Frames per second through the frame server's receive path with scene
// splitting on (a new file every 25 frames), while a consumer thread takes
// every queued item as the frame client and the program do. The live
// stream needs 25 to 30 frames a second.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "filters/relaysink/relay_sink_object.h"
#include "manual_dv_source.h"
#include "scene_frames.h"

namespace {

void BM_ReceiveWithSplitting(benchmark::State& state) {
    HRESULT hr = S_OK;
    ComPtr<IUnknown> object;
    RelaySinkObject::CreateInstance(nullptr, &hr)->NonDelegatingQueryInterface(IID_IUnknown, object.GetVoidAddress());
    ComPtr<IBaseFilter> server;
    ComPtr<IRelaySink> relay;
    QueryInterfaceFor(object.Get(), server.GetAddressOf());
    QueryInterfaceFor(object.Get(), relay.GetAddressOf());
    kvtest::ManualDvSource* source = nullptr;
    auto sourceFilter = kvtest::ManualDvSource::Create(&source);
    ComPtr<IPin> out, in;
    sourceFilter->FindPin(u"Output", out.GetAddressOf());
    server->FindPin(u"Input", in.GetAddressOf());
    if (out->Connect(in.Get(), nullptr) != S_OK) {
        state.SkipWithError("connection failed");
        return;
    }
    server->Pause();
    sourceFilter->Pause();
    relay->SetSceneThreshold(1);
    relay->SetCaptureMode(StartNow);
    FrameQueue* queue = nullptr;
    relay->GetQueue(&queue);

    // Two scenes ten seconds apart, 25 frames each, played in a loop.
    std::vector<std::vector<std::uint8_t>> frames;
    for (int n = 0; n < 50; ++n) {
        kvtest::SceneFrame frame;
        frame.date = kvtest::AddSeconds(frame.date, n < 25 ? 0 : 10);
        frame.timeCode = {0, 0, n / 25, n % 25};
        frames.push_back(kvtest::MakeSceneFrame(frame));
    }

    std::atomic<bool> done{false};
    std::thread consumer([&] {
        FrameQueue::ItemPtr item;
        while (!done) {
            if (!queue->TakeFirst(item, false)) std::this_thread::yield();
        }
    });
    std::size_t n = 0;
    for (auto _ : state) {
        source->DeliverFrame(frames[n % frames.size()]);
        ++n;
    }
    done = true;
    consumer.join();
    state.SetItemsProcessed(static_cast<std::int64_t>(n));

    sourceFilter->Stop();
    server->Stop();
    out->Disconnect();
    in->Disconnect();
}
BENCHMARK(BM_ReceiveWithSplitting)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
