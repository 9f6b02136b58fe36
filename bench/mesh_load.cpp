// Loading a large mesh (1M triangles in 16 objects, about 40 MB) with the model reader and the chunk
// reader, against a plain read of the same file in the same run. Goals: model >= 0.2 of the plain
// read's speed, chunk reader >= 0.5.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "media/Model3D.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "support/MeshFileBuilder.h"

namespace {

using namespace kelvarn;

const std::string& MeshPath() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "kelvarn-bench-mesh";
        std::filesystem::create_directories(dir);
        const std::string p = (dir / "large.im").string();
        const std::string bytes = test::MakeGridMesh(16, 1'000'000);
        WriteFileAtomic(p, bytes);
        return p;
    }();
    return path;
}

void SetBytes(benchmark::State& s) {
    s.SetBytesProcessed(s.iterations() * static_cast<std::int64_t>(FileSize(MeshPath())));
}

// The file into fresh memory, as each reader gets it.
void BM_PlainRead(benchmark::State& s) {
    for (auto _ : s) {
        std::string bytes;
        ReadFileBytes(MeshPath(), bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    SetBytes(s);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_ChunkReader(benchmark::State& s) {
    for (auto _ : s) {
        TMesh mesh(MeshPath());
        if (!mesh.SetActive(true).empty()) s.SkipWithError("the chunk reader refused the mesh");
        benchmark::DoNotOptimize(mesh.Count());
    }
    SetBytes(s);
}
BENCHMARK(BM_ChunkReader)->Unit(benchmark::kMillisecond);

void BM_ModelReader(benchmark::State& s) {
    for (auto _ : s) {
        T3DModel model;
        if (!model.LoadFromFile(MeshPath()).Ok) s.SkipWithError("the model reader refused the mesh");
        benchmark::DoNotOptimize(model.ObjectCount());
    }
    SetBytes(s);
}
BENCHMARK(BM_ModelReader)->Unit(benchmark::kMillisecond);

// Keeps each run's throughput so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> bytesPerSecond;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto it = r.counters.find("bytes_per_second");
            if (it != r.counters.end()) bytesPerSecond[r.benchmark_name()] = it->second;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto& bps = reporter.bytesPerSecond;
    const auto read = bps.find("BM_PlainRead");
    if (read != bps.end() && read->second > 0) {
        std::printf("mesh_load: file %.1f MB, plain read %.0f MB/s\n", static_cast<double>(FileSize(MeshPath())) / 1e6,
                    read->second / 1e6);
        for (const auto& [name, goal] : {std::pair{"BM_ChunkReader", 0.5}, std::pair{"BM_ModelReader", 0.2}}) {
            const auto it = bps.find(name);
            if (it == bps.end()) continue;
            std::printf("mesh_load: %s %.0f MB/s, ratio to the plain read %.2f (goal >= %.1f)\n", name,
                        it->second / 1e6, it->second / read->second, goal);
        }
    }
    std::filesystem::remove_all(std::filesystem::path(MeshPath()).parent_path());
    return 0;
}
