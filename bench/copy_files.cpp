// The script engine's file copies against std::filesystem::copy_file in the same run: a wildcard
// -copyfile of 2,000 files of 4 KB into a sub-folder, and -copyfromasset of 20 files of 8 MB from
// another asset. Each side runs into a fresh target; the best of several rounds counts, the sides
// taking turns to go first, because the file system's cost of making new files after many deletions
// swings from run to run. Prints both times and the ratios (the goal: at most 1.5 each); the last line
// is "copy_files: copyfile_ratio=A copyfromasset_ratio=B".
//   bench_copy_files [small-files] [large-files]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ScriptBenchSupport.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "validation/ScriptUnit.h"

namespace {

using namespace kelvarn;
using namespace kelvarn::bench;
namespace fs = std::filesystem;

constexpr int kRounds = 7;

void WriteFiles(const std::string& folder, int count, std::size_t bytes, const char* ext) {
    fs::create_directories(folder);
    std::mt19937 random(7);
    std::string data(bytes, '\0');
    for (char& c : data) c = static_cast<char>(random());
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "/f" + std::to_string(i) + ext;
        if (!WriteFileAtomic(name, data).empty()) std::exit(1);
    }
}

// The reference: the same files copied one by one with the standard library.
double CopyPlain(const std::string& from, const std::string& to, const char* ext) {
    fs::remove_all(to);
    fs::create_directories(to);
    const auto start = Clock::now();
    for (const auto& entry : fs::directory_iterator(from))
        if (entry.path().extension() == ext) fs::copy_file(entry.path(), fs::path(to) / entry.path().filename());
    return Seconds(start);
}

double RunScript(TScriptUnit& unit, const std::string& line, const std::string& clear) {
    fs::remove_all(clear);
    fs::create_directories(clear);
    const auto start = Clock::now();
    unit.ExecuteScriptLines("bench", {line}, false);
    return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    const int small = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int large = argc > 2 ? std::atoi(argv[2]) : 20;
    const std::string root = TempRoot("copy");
    const std::string asset = root + "/asset";
    const std::string other = root + "/other";
    WriteFiles(asset, small, 4096, ".tga");
    WriteFileAtomic(asset + "/config.txt", "kind \"scenery\"\r\n");
    WriteFiles(other + "/big", large, 8u << 20, ".dat");
    WriteFileAtomic(other + "/config.txt", "kind \"scenery\"\r\n");

    TProgramState state;
    state.ProgramFolder = root + "/program/";
    fs::create_directories(root + "/program");
    state.SetAssetPath(asset);
    BenchHost host;
    TOutlineDocument main(state);
    host.main = &main;
    TScriptUnit unit(state, host);

    double scriptSmall = 1e9, plainSmall = 1e9, scriptLarge = 1e9, plainLarge = 1e9;
    unit.AssetFoundFolder = other;
    const auto copySmall = [&] {
        scriptSmall = std::min(scriptSmall, RunScript(unit, "-copyfile|*.tga|copy/", asset + "/copy"));
    };
    const auto copyLarge = [&] {
        scriptLarge = std::min(scriptLarge, RunScript(unit, "-copyfromasset|big\\*.dat", asset + "/big"));
    };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2) copySmall();
        plainSmall = std::min(plainSmall, CopyPlain(asset, root + "/plain", ".tga"));
        if (round % 2 == 0) copySmall();
        if (round % 2) copyLarge();
        plainLarge = std::min(plainLarge, CopyPlain(other + "/big", root + "/plainbig", ".dat"));
        if (round % 2 == 0) copyLarge();
    }
    std::size_t copied = 0;
    for (const auto& entry : fs::directory_iterator(asset + "/copy")) copied += entry.is_regular_file();
    std::size_t copiedLarge = 0;
    for (const auto& entry : fs::directory_iterator(asset + "/big")) copiedLarge += entry.is_regular_file();
    std::printf("-copyfile of %d files of 4 KB:       %.3f s, std::filesystem %.3f s, ratio %.2f (%zu copied)\n", small,
                scriptSmall, plainSmall, scriptSmall / plainSmall, copied);
    std::printf("-copyfromasset of %d files of 8 MB:  %.3f s, std::filesystem %.3f s, ratio %.2f (%zu copied)\n", large,
                scriptLarge, plainLarge, scriptLarge / plainLarge, copiedLarge);
    std::printf("copy_files: copyfile_ratio=%.2f copyfromasset_ratio=%.2f\n", scriptSmall / plainSmall,
                scriptLarge / plainLarge);
    std::error_code ec;
    fs::remove_all(root, ec);
    return copied == static_cast<std::size_t>(small) && copiedLarge == static_cast<std::size_t>(large) ? 0 : 1;
}
