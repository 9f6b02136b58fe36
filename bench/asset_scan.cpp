// Times the asset list's folder scan (ScanFolder with the KUID index) against a plain
// std::filesystem::recursive_directory_iterator walk of the same warm tree, in the same run.
// Without a folder argument it generates 10,000 asset folders in nested groups (a config.txt of
// about 40 lines, three files and a sub-folder each) in the temporary folder, and removes them after.
//   bench_asset_scan [folder]
// The last line is "asset_scan: assets=N per_s=X walk_ratio=R".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/AssetCatalogue.h"
#include "catalogue/KuidMap.h"
#include "shell/ProgramState.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kGroups = 10, kSubGroups = 10, kAssetsPerGroup = 100;
constexpr int kRounds = 5;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

void Write(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string Config(int n) {
    std::string text = "kind \"scenery\"\r\nkuid <kuid:400000:" + std::to_string(n) + ">\r\nusername \"asset " +
                       std::to_string(n) + "\"\r\ntrainz-build 3.5\r\ncategory-class \"BIN\"\r\nmesh-table\r\n{\r\n";
    for (int m = 0; m < 4; ++m)
        text += "  mesh" + std::to_string(m) + "\r\n  {\r\n    mesh \"body" + std::to_string(m) +
                ".im\"\r\n    auto-create 1\r\n    effects\r\n    {\r\n    }\r\n  }\r\n";
    text += "}\r\nthumbnails\r\n{\r\n  0\r\n  {\r\n    image \"thumb.jpg\"\r\n    width 240\r\n    height 180\r\n  }\r\n}\r\n";
    return text;
}

int Generate(const fs::path& root) {
    int n = 0;
    for (int g = 0; g < kGroups; ++g)
        for (int s = 0; s < kSubGroups; ++s)
            for (int a = 0; a < kAssetsPerGroup; ++a, ++n) {
                const fs::path asset = root / ("group" + std::to_string(g)) / ("set" + std::to_string(s)) / ("asset" + std::to_string(n));
                fs::create_directories(asset / "textures");
                Write(asset / "config.txt", Config(n));
                Write(asset / "body.im", std::string(512, 'm'));
                Write(asset / "thumb.jpg", std::string(256, 'j'));
                Write(asset / "body.texture.txt", "Primary=body.tga\r\n");
                Write(asset / "textures" / "body.tga", std::string(128, 't'));
            }
    return n;
}

std::size_t Walk(const fs::path& root) {
    std::size_t entries = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) ++entries;
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelvarn;
    fs::path root;
    bool generated = false;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) root = argv[i];  // scripts/bench passes options
    if (root.empty()) {
        root = fs::temp_directory_path() / "kelvarn-bench-asset-scan";
        fs::remove_all(root);
        const auto start = Clock::now();
        const int made = Generate(root);
        generated = true;
        std::printf("generated %d asset folders in %.2f s\n", made, Seconds(start));
    }

    // Warm the tree: both measurements read it from the cache.
    std::size_t entries = Walk(root);
    double walk = 1e9, scan = 1e9;
    int assets = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        entries = Walk(root);
        walk = std::min(walk, Seconds(start));

        TProgramState state;
        state.ProgramFolder = (fs::temp_directory_path() / "kelvarn-bench-program/").string();
        TKuidMap map;
        TAssetCatalogue catalogue(state, map);
        start = Clock::now();
        catalogue.ScanFolder(root.string());
        scan = std::min(scan, Seconds(start));
        assets = catalogue.Count();
        if (map.Count() != static_cast<std::size_t>(assets)) std::printf("KUID index holds %zu of %d\n", map.Count(), assets);
    }
    std::printf("walk: %zu entries in %.4f s (best of %d)\n", entries, walk, kRounds);
    std::printf("scan: %d assets in %.4f s (best of %d)\n", assets, scan, kRounds);
    if (generated) fs::remove_all(root);
    std::printf("asset_scan: assets=%d per_s=%.0f walk_ratio=%.2f\n", assets, assets / scan, scan / walk);
    return 0;
}
