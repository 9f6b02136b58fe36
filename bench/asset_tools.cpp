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
#include <utility>
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
constexpr int kRounds = 11;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// The best of several rounds of each, the two passes taking turns so that a busy machine slows both
// alike.
template <class Ours, class Reference>
std::pair<double, double> BestOfBoth(Ours&& ours, Reference&& reference) {
    double a = 1e9, b = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        auto start = Clock::now();
        ours();
        a = std::min(a, Seconds(start));
        start = Clock::now();
        reference();
        b = std::min(b, Seconds(start));
    }
    return {a, b};
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

    // 20,000 files in 100 folders, in groups of four: a mesh "g.im", then "g.pm" beside it for every
    // other group (else "g.pmx", no mesh), and two texture files.
    const fs::path dup = root / "dup";
    for (int i = 0; i < 20000; ++i) {
        const int g = i / 4;
        const fs::path folder = dup / ("part" + std::to_string(g % 100));
        const char* ext = i % 4 == 0 ? ".im" : i % 4 == 1 ? (g % 2 ? ".pmx" : ".pm") : i % 4 == 2 ? ".tga" : ".texture.txt";
        Write(folder / ("mesh" + std::to_string(g) + ext), "");
    }
    std::vector<std::string> list;
    const auto [dupOurs, dupWalk] = BestOfBoth([&] { sink += ListDuplicatePm(dup.string(), list); }, [&] {
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
        std::string name = "m";
        name += std::to_string(i);
        name += ".im";
        Write(asset / name, mesh);
        meshFiles.push_back((asset / name).string());
        config += "  e" + std::to_string(i) + "\r\n  {\r\n    mesh \"" + name + "\"\r\n  }\r\n";
    }
    config += "}\r\n";
    Write(asset / "config.txt", config);
    TProgramState state;
    TOutlineDocument doc(state);
    if (!doc.LoadConfig(asset.string()).empty()) return 1;
    const auto [tableOurs, tableRead] = BestOfBoth([&] {
        state.AttachmentPoints.clear();
        sink += ListMeshTable(state, doc, asset.string()).size() + state.AttachmentPoints.size();
    }, [&] {
        for (const std::string& f : meshFiles) {
            std::string bytes;  // each file read into its own buffer, as a reader does
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
    const auto [depsOurs, depsScan] = BestOfBoth([&] {
        kuids.clear();
        ListDependencies(depsDoc, kuids);
    }, [&] {
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
