// Core services on their hot paths: expanding a tool line, and loading and updating large settings
// files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/ProgramState.h"

namespace {

using namespace kelvarn;

// A tool line as the file list runs it: macros for the program, the asset and the file.
void BM_ExpandMacrosToolLine(benchmark::State& s) {
    TProgramState state;
    state.ProgramFolder = "C:\\Program Files\\Kelvarn\\";
    state.SetAssetPath("C:\\Trainz\\Assets\\Cars\\my-loco");
    state.SetAssetFileName("body.texture.txt");
    state.SetAssetKuid("<kuid2:604117:100:2>");
    state.Paths.Trainz = "C:\\Trainz\\TS12";
    state.Paths.Strellworks = "C:\\Tools\\Strell";
    state.AssociatedProgram = [](const std::string&) { return std::string(); };
    const std::string line =
        "%strell%\\PEVTools\\ImageTool.exe\xC2\xB7\"%pfe%\"\xC2\xB6-out\xC2\xB7\"%p%\\%f%.tga\"\xC2\xB7-kuid\xC2\xB7%kuidf%";
    for (auto _ : s) benchmark::DoNotOptimize(ExpandMacros(state, line));
    s.SetItemsProcessed(s.iterations());
}
BENCHMARK(BM_ExpandMacrosToolLine);

std::string MakeSettingsFile() {
    const std::string path = (std::filesystem::temp_directory_path() / "kelvarn-bench-1mb.ini").string();
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    for (int section = 0; written < (1u << 20); ++section) {
        std::string block = "[Section" + std::to_string(section) + "]\r\n";
        for (int key = 1; key <= 40; ++key)
            block += std::to_string(key) + "=Tool " + std::to_string(key) +
                     "\xA6\xA6\"%pfe%\"\xA6" "1\xA6" "0\xA6" "0\xA6" "0\xA6\r\n";
        out << block << "\r\n";
        written += block.size() + 2;
    }
    return path;
}

void BM_LoadSettingsFile1MB(benchmark::State& s) {
    const std::string path = MakeSettingsFile();
    const auto bytes = static_cast<std::int64_t>(FileSize(path));
    for (auto _ : s) {
        TMemIni ini(path);
        benchmark::DoNotOptimize(ini.ReadString("Section7", "33", ""));
    }
    s.SetBytesProcessed(s.iterations() * bytes);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadSettingsFile1MB)->Unit(benchmark::kMillisecond);

// Loading must stay linear in the number of sections: 1 MB of nothing but section headers against
// 1 MB of one section's keys. The headers' counter "vs_one_section" is their time over the other's,
// measured in the same run (at most about 2 is linear; a quadratic load makes it hundreds).
std::string MakeIniFile(const std::string& name, bool headers) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream out(path, std::ios::binary);
    std::string text = headers ? "" : "[Only]\r\n";
    for (int n = 0; text.size() < (1u << 20); ++n)
        text += headers ? "[S" + std::to_string(n) + "]\r\n" : "K" + std::to_string(n) + "=1\r\n";
    out << text;
    return path;
}

double LoadSeconds(const std::string& path, int rounds) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        TMemIni ini(path);
        benchmark::DoNotOptimize(ini.ReadString("S7", "x", ""));
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_LoadSectionHeaders1MB(benchmark::State& s) {
    const std::string headers = MakeIniFile("kelvarn-bench-headers.ini", true);
    const std::string single = MakeIniFile("kelvarn-bench-one-section.ini", false);
    for (auto _ : s) {
        TMemIni ini(headers);
        benchmark::DoNotOptimize(ini.ReadString("S7", "x", ""));
    }
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(FileSize(headers)));
    s.counters["vs_one_section"] = LoadSeconds(headers, 5) / LoadSeconds(single, 5);
    std::filesystem::remove(headers);
    std::filesystem::remove(single);
}
BENCHMARK(BM_LoadSectionHeaders1MB)->Unit(benchmark::kMillisecond);

void BM_LoadOneSection1MB(benchmark::State& s) {
    const std::string single = MakeIniFile("kelvarn-bench-one-section.ini", false);
    for (auto _ : s) {
        TMemIni ini(single);
        benchmark::DoNotOptimize(ini.ReadString("Only", "K7", ""));
    }
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(FileSize(single)));
    std::filesystem::remove(single);
}
BENCHMARK(BM_LoadOneSection1MB)->Unit(benchmark::kMillisecond);

// One setting changed and the 1 MB file updated, as every settings flush does. The counter
// "vs_load" is an update's time over a whole load of the file (what an update once paid on top of its
// write to look for another writer's changes), measured in the same run.
void BM_UpdateSettingsFile1MB(benchmark::State& s) {
    const std::string path = MakeSettingsFile();
    TMemIni ini(path);
    int n = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : s) {
        ini.WriteString("Section7", "33", std::to_string(++n));
        if (!ini.UpdateFile().empty()) s.SkipWithError("update failed");
    }
    const double update = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                          static_cast<double>(std::max<std::int64_t>(s.iterations(), 1));
    s.counters["vs_load"] = update / LoadSeconds(path, 5);
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(FileSize(path)));
    std::filesystem::remove(path);
}
BENCHMARK(BM_UpdateSettingsFile1MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
