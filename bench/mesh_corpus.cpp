// Loads every ".im" and ".pm" file below a folder with both mesh readers, as a check on real assets:
//   bench_mesh_corpus <folder>
// Prints each file's objects and vertices, each failure (path and message), each reader's speed, and
// as its last line
//   mesh_corpus: files=N failed=F empty=E MBps=X
// where F counts the files that either reader refused (a file that reads no geometry is refused), E
// the files that loaded nothing to draw, and X is the bytes of all files, read once by each reader,
// over the time both took. Without a folder it runs on meshes the tests' builder makes. The exit code
// is 1 when a file failed, 77 when the folder does not exist.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media/Model3D.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"

namespace fs = std::filesystem;
using namespace kelvarn;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> FindMeshes(const fs::path& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = PathString(it->path());
        if (EndsWithText(name, ".im") || EndsWithText(name, ".pm")) found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A small corpus: sound meshes of several sizes and some damaged ones.
fs::path MakeCorpus() {
    const fs::path dir = fs::temp_directory_path() / "kelvarn-mesh-corpus";
    fs::remove_all(dir);
    fs::create_directories(dir / "assets" / "loco");
    auto write = [&](const std::string& name, const std::string& bytes) {
        WriteFileAtomic(PathString(dir / name), bytes);
    };
    write("assets/loco/body.im", test::MakeGridMesh(8, 200'000));
    write("assets/loco/bogey.pm", test::MakeGridMesh(2, 20'000));
    write("assets/sample.im", test::MakeSampleMesh());
    for (int i = 0; i < 20; ++i)
        write("assets/small" + std::to_string(i) + ".im", test::MakeGridMesh(1 + i % 4, 2'000 + 500 * i));
    const std::string good = test::MakeSampleMesh();
    write("assets/cut.im", good.substr(0, good.size() / 2));
    write("assets/packed.im", test::MeshFileBuilder().Info(102).Bytes(0, "CFIL"));
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    const bool own = argc < 2 || std::string(argv[1]).rfind("--", 0) == 0;
    const fs::path folder = own ? MakeCorpus() : fs::path(argv[1]);
    if (!own && !fs::is_directory(folder)) {
        std::printf("mesh_corpus: no folder %s\n", argv[1]);
        return 77;
    }
    if (own) std::printf("mesh_corpus: no folder given, using builder meshes in %s\n", PathString(folder).c_str());

    const std::vector<std::string> meshes = FindMeshes(folder);
    double chunkSeconds = 0, modelSeconds = 0, megabytes = 0;
    int failed = 0, empty = 0;
    for (const std::string& path : meshes) {
        megabytes += static_cast<double>(FileSize(path)) / 1e6;
        bool ok = true;

        auto start = Clock::now();
        TMesh mesh(path);
        const std::string chunkError = mesh.SetActive(true);
        chunkSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        if (!chunkError.empty()) {
            std::printf("%s: chunk reader: %s\n", path.c_str(), chunkError.c_str());
            ok = false;
        }

        start = Clock::now();
        T3DModel model;
        const TModelLoadResult result = model.LoadFromFile(path);
        modelSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        std::size_t vertices = 0;
        for (const T3DObject& o : model.Objects()) vertices += o.Positions.size();
        std::printf("%s: objects=%d vertices=%zu\n", path.c_str(), model.ObjectCount(), vertices);
        if (!result.Ok) {
            std::string message = "Unable to open mesh";
            if (!result.Error.empty()) message += ": " + result.Error;
            for (const auto& box : result.Messages)
                message += " (" + box.Text + ")";
            std::printf("%s: model reader: %s\n", path.c_str(), message.c_str());
            ok = false;
        }
        if (vertices == 0) ++empty;
        if (!ok) ++failed;
    }
    auto rate = [](double mb, double seconds) { return seconds > 0 ? mb / seconds : 0.0; };
    std::printf("mesh_corpus: chunk reader %.1f MB/s, model reader %.1f MB/s\n", rate(megabytes, chunkSeconds),
                rate(megabytes, modelSeconds));
    if (own) fs::remove_all(folder);
    std::printf("mesh_corpus: files=%zu failed=%d empty=%d MBps=%.1f\n", meshes.size(), failed, empty,
                rate(2 * megabytes, chunkSeconds + modelSeconds));
    return !own && failed > 0 ? 1 : 0;
}
