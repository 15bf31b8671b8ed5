// The preview player's costs: opening a 75-frame DV AVI file with its five
// thumbnails, and the memory one open player holds.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <vector>

#include "korvanta/core/settings.h"
#include "korvanta/preview/preview_player.h"
#include "preview_files.h"

namespace {

struct Setup {
    QTemporaryDir folder;
    std::filesystem::path file;
    QWidget list;
    bool ready = false;
};
Setup* setup = nullptr;

void BM_OpenWithThumbnails(benchmark::State& state) {
    if (!setup->ready) return state.SkipWithError("no filters or no file");
    for (auto _ : state) {
        PreviewPlayer player;
        if (!player.Open(setup->file, &setup->list, 0)) return state.SkipWithError("open failed");
        player.Layout(0, 0, 900);
        benchmark::DoNotOptimize(player.GetThumbnails());
    }
}
BENCHMARK(BM_OpenWithThumbnails)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_MemoryPerPlayer(benchmark::State& state) {
    if (!setup->ready) return state.SkipWithError("no filters or no file");
    constexpr int kPlayers = 8;
    double perPlayer = 0;
    for (auto _ : state) {
        // One player first, so the code and the libraries are loaded.
        auto warm = std::make_unique<PreviewPlayer>();
        warm->Open(setup->file, &setup->list, 0);
        warm->Layout(0, 0, 900);
        const long before = kvtest::ResidentBytes();
        std::vector<std::unique_ptr<PreviewPlayer>> players;
        for (int i = 0; i < kPlayers; ++i) {
            players.push_back(std::make_unique<PreviewPlayer>());
            players.back()->Open(setup->file, &setup->list, i + 1);
            players.back()->Layout(0, 0, 900);
        }
        perPlayer = double(kvtest::ResidentBytes() - before) / kPlayers;
    }
    state.counters["MB_per_player"] = perPlayer / (1024 * 1024);
}
BENCHMARK(BM_MemoryPerPlayer)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Setup local;
    setup = &local;
    qputenv("KORVANTA_REGISTRY", (local.folder.path() + "/registry").toLocal8Bit());
    SetSetting(SettingId::VideoResolution, {{}, 1}, false);
    local.file = kvtest::MakePreviewFile(local.folder.path().toStdString(), kvtest::PreviewFile::OurType1Pal);
    local.ready = kvtest::RegisterPlayerFilters() && std::filesystem::exists(local.file);
    local.list.resize(900, 300);
    local.list.show();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
