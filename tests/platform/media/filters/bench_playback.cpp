// Playback latency as a preview player sees it, on a 75-frame PAL file of
// each type, decoded at full size: a seek while paused, from SetPositions to
// the frame held by the video renderer; and the five thumbnails (first frame,
// a quarter, half, three quarters, last frame), each sought as both start and
// stop and paused until the renderer holds it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "media_tools.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/utf.h"
#include "platform/media/control.h"
#include "platform/media/filters/avi/avi_writer.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/filters/dvdec/iipdvdec.h"
#include "platform/media/filters/platform_filters.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/uuids.h"

namespace {

constexpr LONGLONG kFrames = 75;

// The files and a private registry, removed when the benchmark ends.
struct BenchFolder {
    BenchFolder() : path(std::filesystem::temp_directory_path() / ("bench_playback_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path / "registry");
        ::setenv("KORVANTA_REGISTRY", (path / "registry").c_str(), 1);
        KvRegisterPlatformFilterData(true);
        KvRegisterRendererFilterData(true);
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    const std::filesystem::path path;
};

const std::filesystem::path& Folder() {
    static const BenchFolder folder;
    return folder.path;
}

std::filesystem::path File(DvAviType type) {
    const auto file = Folder() / (type == DvAviType::Type1 ? "type1.avi" : "type2.avi");
    if (std::filesystem::exists(file)) return file;
    const auto frames = kvtest::SplitDvFrames(
        kvtest::ReadFileBytes(kvtest::MakeDvClip(Folder(), {.pal = true, .sampleRate = 48000, .frames = kFrames})),
        144000);
    DvAviFormat format;
    format.type = type;
    if (type == DvAviType::Type2) format.audio = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    AviWriter writer;
    writer.Open(UniqueFd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), format);
    std::vector<BYTE> pcm;
    for (const auto& frame : frames) {
        ExtractDvAudio(frame, pcm, nullptr);
        writer.WriteFrame(frame, type == DvAviType::Type2 ? pcm : std::vector<BYTE>{});
    }
    writer.Close();
    return file;
}

// A player's graph, paused on frame 0, positions in frames.
struct Graph {
    explicit Graph(DvAviType type) {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.GetVoidAddress());
        ComPtr<IBaseFilter> decoder;
        CoCreateInstance(CLSID_DVVideoCodec, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, decoder.GetVoidAddress());
        ComPtr<IIPDVDec> size;
        if (SUCCEEDED(decoder.As(&size))) size->put_IPDisplay(DVRESOLUTION_FULL);
        graph->AddFilter(decoder.Get(), u"DV Decoder");
        ok = graph->RenderFile(Utf8ToUtf16(File(type).string()).c_str(), nullptr) == S_OK &&
             SUCCEEDED(graph.As(&control)) && SUCCEEDED(graph.As(&seeking)) &&
             seeking->SetTimeFormat(&TIME_FORMAT_FRAME) == S_OK;
        if (ok) ok = SUCCEEDED(control->Pause()) && Held();
    }
    ~Graph() {
        if (control) control->Stop();
    }
    bool Held() {
        OAFilterState state = 0;
        return control->GetState(INFINITE, &state) == S_OK;
    }
    // Seeks to the frame alone and waits until the renderers hold it.
    bool Show(LONGLONG frame) {
        LONGLONG stop = frame;
        return seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning) ==
                   S_OK &&
               Held();
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    bool ok = false;
};

void BM_SeekWhilePaused(benchmark::State& state) {
    Graph graph(state.range(0) == 1 ? DvAviType::Type1 : DvAviType::Type2);
    if (!graph.ok) return state.SkipWithError("the file does not play");
    LONGLONG frame = 0;
    for (auto _ : state) {
        frame = (frame + 29) % kFrames;
        if (!graph.Show(frame)) return state.SkipWithError("the seek failed");
    }
}
BENCHMARK(BM_SeekWhilePaused)->Arg(1)->Arg(2)->ArgName("type")->Unit(benchmark::kMillisecond);

void BM_FiveThumbnails(benchmark::State& state) {
    Graph graph(state.range(0) == 1 ? DvAviType::Type1 : DvAviType::Type2);
    if (!graph.ok) return state.SkipWithError("the file does not play");
    const LONGLONG last = kFrames - 1;
    for (auto _ : state) {
        for (LONGLONG i = 0; i < 4; ++i)
            if (!graph.Show(last * i / 4)) return state.SkipWithError("the seek failed");
        if (!graph.Show(last)) return state.SkipWithError("the seek failed");
    }
}
BENCHMARK(BM_FiveThumbnails)->Arg(1)->Arg(2)->ArgName("type")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
