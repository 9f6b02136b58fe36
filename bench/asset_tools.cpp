// Times the asset helpers against the plain work they cannot avoid, in the same run:
//   ListDuplicatePm over 20,000 generated files against a recursive_directory_iterator walk that
//   collects the same endings; ListMeshTable over a mesh-table of 200 builder meshes against reading
//   those files whole; ListDependencies over 20,000 config nodes against ContainsText over their texts.
// The last line is "asset_tools: dup_ratio=A meshtable_ratio=B deps_ratio=C".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/AssetHelpers.h"
#include "catalogue/MeshHelpers.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

template <class Pass>
double Best(Pass&& pass) {
    double best = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        pass();
        best = std::min(best, Seconds(start));
    }
    return best;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main() {
    using namespace kelvarn;
    const fs::path root = fs::temp_directory_path() / ("kelvarn_asset_tools_" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::remove_all(root);
    std::size_t sink = 0;

    // 20,000 files in 100 folders: .im meshes, every other one with a .pm twin, and other files.
    const fs::path dup = root / "dup";
    for (int i = 0; i < 20000; ++i) {
        const fs::path folder = dup / ("part" + std::to_string(i % 100));
        const int n = i / 100;
        const char* ext = i % 4 == 0 ? ".im" : i % 4 == 1 ? ".pm" : i % 4 == 2 ? ".tga" : ".texture.txt";
        const int stem = i % 4 == 1 ? n - 1 : n;  // each .pm pairs with the .im made just before it
        Write(folder / ("mesh" + std::to_string(stem) + ext), "");
    }
    std::vector<std::string> list;
    const double dupOurs = Best([&] { sink += ListDuplicatePm(dup.string(), list); });
    const double dupWalk = Best([&] {
        std::vector<std::string> im, pm;
        for (const auto& e : fs::recursive_directory_iterator(dup)) {
            if (!e.is_regular_file()) continue;
            std::string path = e.path().string();
            if (EndsWithText(path, ".im")) im.push_back(std::move(path));
            else if (EndsWithText(path, ".pm")) pm.push_back(std::move(path));
        }
        sink += im.size() + pm.size();
    });
    std::printf("ListDuplicatePm: %zu duplicates among 20000 files: %.2f ms (walk %.2f ms)\n", list.size(), dupOurs * 1e3,
                dupWalk * 1e3);

    // A mesh-table of 200 meshes, each with a few objects and two points.
    const fs::path asset = root / "asset";
    std::string config = "kind \"scenery\"\r\nkuid <kuid:1:2>\r\nmesh-table\r\n{\r\n";
    const std::string mesh = test::MakeGridMesh(4, 4000);
    std::vector<std::string> meshFiles;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "m" + std::to_string(i) + ".im";
        Write(asset / name, mesh);
        meshFiles.push_back((asset / name).string());
        config += "  e" + std::to_string(i) + "\r\n  {\r\n    mesh \"" + name + "\"\r\n  }\r\n";
    }
    config += "}\r\n";
    Write(asset / "config.txt", config);
    TProgramState state;
    TOutlineDocument doc(state);
    if (!doc.LoadConfig(asset.string()).empty()) return 1;
    const double tableOurs = Best([&] {
        state.AttachmentPoints.clear();
        sink += ListMeshTable(state, doc, asset.string()).size() + state.AttachmentPoints.size();
    });
    const double tableRead = Best([&] {
        std::string bytes;
        for (const std::string& f : meshFiles) {
            ReadFileBytes(f, bytes);
            sink += bytes.size();
        }
    });
    std::printf("ListMeshTable: 200 meshes of %zu bytes, %zu points: %.2f ms (reading %.2f ms)\n", mesh.size(),
                state.AttachmentPoints.size(), tableOurs * 1e3, tableRead * 1e3);

    // 20,000 nodes: containers of tags, one in five a KUID reference.
    std::string big = "kind \"scenery\"\r\nkuid <kuid:1:2>\r\n";
    int nodes = 2;
    for (int c = 0; nodes < 20000; ++c) {
        big += "table" + std::to_string(c) + "\r\n{\r\n";
        ++nodes;
        for (int t = 0; t < 19; ++t, ++nodes)
            big += t % 5 == 0 ? "  k" + std::to_string(t) + " <KUID2:400000:" + std::to_string(c * 20 + t) + ":1>\r\n"
                              : "  name" + std::to_string(t) + " \"some value " + std::to_string(t) + "\"\r\n";
        big += "}\r\n";
    }
    const fs::path deps = root / "deps";
    Write(deps / "config.txt", big);
    TOutlineDocument depsDoc(state);
    if (!depsDoc.LoadConfig(deps.string()).empty()) return 1;
    std::vector<const TOutlineNode*> all;
    for (const TOutlineNode* n = depsDoc.Root(); n; n = n->NextRow()) all.push_back(n);
    std::vector<std::string> kuids;
    const double depsOurs = Best([&] {
        kuids.clear();
        ListDependencies(depsDoc, kuids);
    });
    const double depsScan = Best([&] {
        for (const TOutlineNode* n : all) sink += ContainsText(n->Text(), "<kuid");
    });
    std::printf("ListDependencies: %zu nodes, %zu KUIDs: %.2f ms (ContainsText %.2f ms)\n", all.size(), kuids.size(),
                depsOurs * 1e3, depsScan * 1e3);
    std::printf("(sink %zu)\n", sink);
    fs::remove_all(root);
    std::printf("asset_tools: dup_ratio=%.2f meshtable_ratio=%.2f deps_ratio=%.2f\n", dupOurs / dupWalk,
                tableOurs / tableRead, depsOurs / depsScan);
    return 0;
}
