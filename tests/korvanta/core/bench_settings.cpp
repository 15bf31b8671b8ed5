// Loading and saving a large INI file, and the cost of reading a setting.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "korvanta/core/ini_documents.h"
#include "korvanta/core/settings.h"

namespace {

// A settings-like file of 10,000 lines: 100 sections of 99 entries each.
std::string TenThousandLines() {
    std::string text;
    for (int section = 0; section < 100; ++section) {
        text += "[Section" + std::to_string(section) + "]\r\n";
        for (int entry = 0; entry < 99; ++entry)
            text += "Key" + std::to_string((entry * 37) % 99) + " = value of entry " + std::to_string(entry) +
                    " in section " + std::to_string(section) + "\r\n";
    }
    return text;
}

std::filesystem::path BenchFile() {
    return std::filesystem::temp_directory_path() / ("korvanta-bench-" + std::to_string(::getpid()) + ".ini");
}

void BM_LoadIni10000Lines(benchmark::State& state) {
    const std::filesystem::path path = BenchFile();
    std::ofstream(path, std::ios::binary) << TenThousandLines();
    IniFile document;
    for (auto _ : state) {
        document.Load(path);
        benchmark::DoNotOptimize(document.LineCount());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadIni10000Lines)->Unit(benchmark::kMillisecond);

void BM_SaveIni10000Lines(benchmark::State& state) {
    const std::filesystem::path path = BenchFile();
    IniFile document;
    document.Parse(TenThousandLines());
    for (auto _ : state) benchmark::DoNotOptimize(document.Save(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveIni10000Lines)->Unit(benchmark::kMillisecond);

// GetSetting in a settings document that also holds 10,000 other lines.
void PrepareSettings() {
    SettingsDocument().Parse(TenThousandLines());
    SetSetting(SettingId::PreviewFolder, SettingValue{"/home/user/Videos/KorvantaVideo", 0}, false);
    SetSetting(SettingId::MaxPlayback, SettingValue{{}, 4}, false);
    SetSetting(SettingId::MuteAll, SettingValue{{}, 1}, false);
}

void BM_GetSettingText(benchmark::State& state) {
    PrepareSettings();
    for (auto _ : state) benchmark::DoNotOptimize(GetSetting(SettingId::PreviewFolder));
}
BENCHMARK(BM_GetSettingText);

void BM_GetSettingInteger(benchmark::State& state) {
    PrepareSettings();
    for (auto _ : state) benchmark::DoNotOptimize(GetSetting(SettingId::MaxPlayback));
}
BENCHMARK(BM_GetSettingInteger);

void BM_GetSettingAbsent(benchmark::State& state) {
    PrepareSettings();
    for (auto _ : state) benchmark::DoNotOptimize(GetSetting(SettingId::CapSceneDiffCustom));
}
BENCHMARK(BM_GetSettingAbsent);

}  // namespace

BENCHMARK_MAIN();
