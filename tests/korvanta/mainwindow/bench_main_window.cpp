// The main window's cost of opening a folder of 50 DV files (75 frames each,
// half type 1 and half type 2) until every row shows its frame and its five
// thumbnails, and the memory the window then holds per row.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/main_window.h"
#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/skin/skin_image.h"
#include "preview_files.h"

namespace {

constexpr int kFiles = 50;
QTemporaryDir* folder = nullptr;
bool ready = false;

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

bool AllRowsShown(PreviewList& list) {
    if (list.RowCount() != kFiles) return false;
    for (int i = 0; i < list.RowCount(); ++i)
        for (const QImage& thumbnail : list.Row(i).Player()->GetThumbnails())
            if (thumbnail.isNull()) return false;
    return true;
}

void BM_OpenFolderOf50Files(benchmark::State& state) {
    if (!ready) return state.SkipWithError("no filters or no files");
    double megabytesPerRow = 0;
    for (auto _ : state) {
        const long before = ResidentBytes();
        MainWindow window{CaptureWindowFactory()};
        window.resize(1000, 700);
        window.show();
        if (!kvtest::Eventually([&] { return AllRowsShown(window.List()); }, std::chrono::seconds(120)))
            return state.SkipWithError("the rows did not all show");
        megabytesPerRow = double(ResidentBytes() - before) / kFiles / (1024 * 1024);
    }
    state.counters["MB_per_row"] = megabytesPerRow;
}
BENCHMARK(BM_OpenFolderOf50Files)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir local;
    folder = &local;
    qputenv("KORVANTA_REGISTRY", (local.path() + "/registry").toLocal8Bit());
    const std::filesystem::path files = local.path().toStdString() + "/files";
    std::filesystem::create_directories(files);
    const auto type1 = kvtest::MakePreviewFile(local.path().toStdString(), kvtest::PreviewFile::OurType1Pal);
    const std::string type2 = local.path().toStdString() + "/type2.avi";
    const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine "
                             "-frames:v 75 -pix_fmt yuv420p -c:v dvvideo -c:a pcm_s16le -ar 48000 -ac 2 '" + type2 + "'";
    bool made = std::system(make.c_str()) == 0;
    for (int i = 0; made && i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "2026-01-01 10.%02d.00.avi", i);
        made = std::filesystem::copy_file(i % 2 ? type2 : type1.string(), files / name);
    }
    ready = made && kvtest::RegisterPlayerFilters() && LoadSharedSkinImages();
    SetSetting(SettingId::PreviewFolder, {files.string(), 0}, false);
    SetSetting(SettingId::VideoResolution, {{}, 2}, false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
