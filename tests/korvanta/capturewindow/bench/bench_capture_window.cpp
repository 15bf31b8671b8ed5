// The program's main window with the capture window shown, capturing the
// PAL demo tape from a virtual deck in real time (31 s of tape). Reports the
// process's CPU use as a share of one core, the longest time the
// user-interface thread was kept from a 10 ms timer, and the frames lost:
// once on a quiet machine and once while two other processes keep both
// cores busy.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "korvanta/capturewindow/capture_dialog.h"
#include "korvanta/capturewindow/capture_dialog_factory.h"
#include "korvanta/core/ini_documents.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/main_window.h"
#include "korvanta/skin/skin_image.h"
#include "platform/devices/deck_config.h"
#include "platform/devices/deck_devices.h"
#include "platform/media/filters/avi/avi_reader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTapeFramesWritten = 750;  // the demo tape without its 25 repeated frames
constexpr auto kProbePeriod = std::chrono::milliseconds(10);

fs::path MakeTempFolder(const std::string& name) {
    fs::path folder = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Processes that spin on every core until the object goes.
class BusyCores {
public:
    explicit BusyCores(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                std::atomic<unsigned long> spins{0};
                for (;;) spins.fetch_add(1, std::memory_order_relaxed);
            }
            if (pid > 0) children_.push_back(pid);
        }
    }
    ~BusyCores() {
        for (pid_t pid : children_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

private:
    std::vector<pid_t> children_;
};

struct Figures {
    double cpuShare = 0;        // of one core, per cent
    double longestBlockMs = 0;  // the 10 ms timer's worst lateness
    long framesWritten = 0;
    long droppedByDevice = 0;
    int files = 0;
};

// resolution: the setting CaptureResolution, how large the monitor picture is decoded.
Figures CaptureDemoTape(int resolution) {
    const fs::path captures = MakeTempFolder("kv-bench-captures");
    const fs::path previews = MakeTempFolder("kv-bench-previews");
    DeckConfig deck;
    deck.name = "Bench";
    deck.tape = BENCH_TAPE;
    deck.deviceId = deck_store::NewDeviceId();
    deck_store::Remove(deck.name);
    deck_store::Add(deck, nullptr);
    SetSetting(SettingId::CaptureFolder, {captures.string(), 0}, false);
    SetSetting(SettingId::PreviewFolder, {previews.string(), 0}, false);
    SetSetting(SettingId::CapSceneDiff, {{}, 3}, false);  // one minute
    SetSetting(SettingId::FileType, {{}, 2}, false);
    SetSetting(SettingId::MuteAll, {{}, 1}, false);
    SetSetting(SettingId::CaptureResolution, {{}, resolution}, false);

    Figures figures;
    {
        MainWindow window{MakeCaptureDialog};
        window.resize(1000, 700);
        window.show();
        auto* capture = dynamic_cast<CaptureDialog*>(window.CaptureWindow());
        if (!capture) return figures;
        capture->ShowForCapture();

        Clock::time_point last = Clock::now();
        Clock::duration longest{};
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const Clock::time_point now = Clock::now();
            longest = std::max(longest, now - last - kProbePeriod);
            last = now;
        });
        bool recorded = false;
        QEventLoop loop;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            recorded |= capture->IsCapturing();
            if (recorded && !capture->IsCapturing() && capture->Engine()->TransportMode() == ED_MODE_STOP) loop.quit();
        });
        QTimer::singleShot(std::chrono::seconds(120), &loop, &QEventLoop::quit);

        const double cpuBefore = CpuSeconds();
        const Clock::time_point start = Clock::now();
        capture->RunCommand(kFirstCaptureCommand);    // start now
        capture->RunCommand(kFirstTransportCommand);  // play
        last = Clock::now();
        probe.start(kProbePeriod);
        watch.start(100);
        loop.exec();
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        figures.cpuShare = 100.0 * (CpuSeconds() - cpuBefore) / wall;
        figures.longestBlockMs = std::chrono::duration<double, std::milli>(longest).count();
        figures.droppedByDevice = capture->DroppedCount();
    }
    for (const auto& file : fs::directory_iterator(captures)) {
        AviReader reader;
        if (SUCCEEDED(reader.Open(file.path()))) figures.framesWritten += long(reader.FrameCount());
        ++figures.files;
    }
    deck_store::Remove(deck.name);
    fs::remove_all(captures);
    fs::remove_all(previews);
    return figures;
}

void Report(benchmark::State& state, const Figures& figures) {
    state.counters["cpu_share_of_one_core_pct"] = figures.cpuShare;
    state.counters["longest_ui_block_ms"] = figures.longestBlockMs;
    state.counters["frames_lost"] = double(std::max(0L, kTapeFramesWritten - figures.framesWritten));
    state.counters["dropped_by_device"] = double(figures.droppedByDevice);
    state.counters["files"] = figures.files;
}

void BM_CaptureWindowRealTime(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        const Figures figures = CaptureDemoTape(int(state.range(0)));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        Report(state, figures);
    }
}
// The monitor picture decoded at full size (the default) and at half size.
BENCHMARK(BM_CaptureWindowRealTime)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_CaptureWindowBothCoresBusy(benchmark::State& state) {
    for (auto _ : state) {
        const BusyCores busy(2);
        const auto start = Clock::now();
        const Figures figures = CaptureDemoTape(0);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        Report(state, figures);
    }
}
BENCHMARK(BM_CaptureWindowBothCoresBusy)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A private registry with every filter module, the platform's filters and the deck.
    const fs::path registry = MakeTempFolder("kv-bench-window-registry");
    ::setenv("KORVANTA_REGISTRY", registry.c_str(), 1);
    const std::string regsvr = std::string("'") + BENCH_REGSVR + "'";
    for (const auto& module : fs::directory_iterator(KORVANTA_MODULE_DIR))
        std::system((regsvr + " '" + module.path().string() + "' >/dev/null").c_str());
    std::system((regsvr + " --platform >/dev/null").c_str());

    QApplication application(argc, argv);
    LanguageDocument().Load(KORVANTA_SOURCE_DIR "/korvanta/resources/Language.ini");
    LoadSharedSkinImages();
    const DeckDevices decks;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(registry);
    return 0;
}
