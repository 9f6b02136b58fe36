// The text report library against the plain readers it stands on, in the same run:
//   bench_text_report [folder]
// Operation 14 on 2,000 generated pictures of each format (BMP, TGA, JPEG) against reading the whole
// file and stbi_info_from_memory; operations 1, 9 and 10 on 200 builder meshes against loading each
// mesh with TMesh; then the same on the pictures and meshes below the folder (default: the real
// asset folders beside the repository). Each group prints its time ratio; the last line is
//   text_report: files=N failed=F per_s=X ratio=R
// with N the files reported on, F the reports that failed on a file their reference reads, X the
// reports per second and R the largest ratio of any group. Exit code 1 when a report failed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "ImageBuilders.h"
#include "media/TextReportLibrary.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"

namespace fs = std::filesystem;
using namespace kelvarn;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;  // the best of several rounds, so that a busy machine counts less

struct Group {
    std::string name;
    std::vector<std::string> files;
    int op = 0;
    // The reference's read of one file; false when it cannot read it (the file is left out).
    std::function<bool(const std::string&)> reference;
};

bool StbInfo(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes).empty()) return false;
    int w = 0, h = 0, n = 0;
    return stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w, &h,
                                 &n) != 0;
}

bool MeshLoad(const std::string& path) {
    TMesh mesh(path);
    return mesh.SetActive(true).empty();
}

// A name with a number, built by appending (gcc 12 warns falsely on "text" + std::to_string(n)).
std::string Numbered(const char* prefix, int n, const char* suffix = "") {
    std::string name(prefix);
    name.append(std::to_string(n)).append(suffix);
    return name;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Totals {
    int files = 0, failed = 0;
    double seconds = 0, worst = 0;
};

void Run(const Group& g, TextReportLibrary& library, Totals& totals) {
    std::vector<std::string> files;
    for (const std::string& f : g.files)
        if (g.reference(f)) files.push_back(f);
    if (files.empty()) return;
    for (const std::string& f : files) {
        std::vector<std::string> lines;
        if (!library.CallTextLibrary(g.op, f, lines)) {
            ++totals.failed;
            std::printf("  failed: op %d on %s\n", g.op, f.c_str());
        }
    }
    double best = 1e30, bestRef = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        for (const std::string& f : files) {
            std::vector<std::string> lines;
            library.CallTextLibrary(g.op, f, lines);
        }
        best = std::min(best, Seconds(Clock::now() - start));
        start = Clock::now();
        for (const std::string& f : files) g.reference(f);
        bestRef = std::min(bestRef, Seconds(Clock::now() - start));
    }
    const double ratio = best / std::max(bestRef, 1e-9);
    std::printf("%-28s files=%zu report_us=%.1f reference_us=%.1f ratio=%.2f\n", g.name.c_str(), files.size(),
                best / static_cast<double>(files.size()) * 1e6, bestRef / static_cast<double>(files.size()) * 1e6, ratio);
    totals.files += static_cast<int>(files.size());
    totals.seconds += best;
    totals.worst = std::max(totals.worst, ratio);
}

// 2,000 pictures of each format and 200 meshes, each mesh with the textures it names beside it.
void MakeGenerated(const fs::path& dir, std::vector<Group>& groups) {
    fs::remove_all(dir);
    fs::create_directories(dir / "pictures");
    std::vector<std::string> bmp, tga, jpg, meshes;
    const std::string jpeg = test::MakeJpeg(64, 48);
    for (int i = 0; i < 2000; ++i) {
        test::BmpFields b;
        b.width = 16 + i % 64;
        b.height = 16 + i % 32;
        test::TgaFields t;
        t.width = 16 + i % 64;
        t.height = 16 + i % 32;
        t.pixels = std::string(static_cast<std::size_t>(t.width * t.height * 3), '\x40');
        const std::string stem = PathString(dir / "pictures" / Numbered("p", i));
        WriteScratchFile(stem + ".bmp", test::MakeBmp(b));
        WriteScratchFile(stem + ".tga", test::MakeTga(t));
        WriteScratchFile(stem + ".jpg", jpeg);
        bmp.push_back(stem + ".bmp");
        tga.push_back(stem + ".tga");
        jpg.push_back(stem + ".jpg");
    }
    for (int i = 0; i < 200; ++i) {
        const fs::path folder = dir / "meshes" / Numbered("m", i);
        fs::create_directories(folder);
        const int objects = 1 + i % 4;
        WriteScratchFile(PathString(folder / "body.im"), test::MakeGridMesh(objects, 500 + 40 * i));
        for (int t = 0; t < objects; ++t) WriteScratchFile(PathString(folder / Numbered("body", t, ".tga")), "x");
        meshes.push_back(PathString(folder / "body.im"));
    }
    groups.push_back({"generated BMP, op 14", bmp, 14, StbInfo});
    groups.push_back({"generated TGA, op 14", tga, 14, StbInfo});
    groups.push_back({"generated JPEG, op 14", jpg, 14, StbInfo});
    for (int op : {1, 9, 10}) groups.push_back({Numbered("generated meshes, op ", op), meshes, op, MeshLoad});
}

void AddFolder(const fs::path& folder, std::vector<Group>& groups) {
    std::vector<std::string> pictures, meshes;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = PathString(it->path());
        const std::string ext = LowerCase(ExtractFileExt(name));
        if (ext == ".bmp" || ext == ".tga" || ext == ".jpg" || ext == ".jpeg") pictures.push_back(name);
        if (ext == ".im" || ext == ".pm") meshes.push_back(name);
    }
    std::sort(pictures.begin(), pictures.end());
    std::sort(meshes.begin(), meshes.end());
    groups.push_back({"folder pictures, op 14", pictures, 14, StbInfo});
    for (int op : {1, 9, 10}) groups.push_back({Numbered("folder meshes, op ", op), meshes, op, MeshLoad});
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus";
    const fs::path generated = fs::temp_directory_path() / "kelvarn-text-report-bench";
    std::vector<Group> groups;
    MakeGenerated(generated, groups);
    if (fs::is_directory(folder))
        AddFolder(folder, groups);
    else
        std::printf("text_report: no folder %s, generated files only\n", PathString(folder).c_str());

    TextReportLibrary library;
    Totals totals;
    for (const Group& g : groups) Run(g, library, totals);
    fs::remove_all(generated);
    std::printf("text_report: files=%d failed=%d per_s=%.0f ratio=%.2f\n", totals.files, totals.failed,
                static_cast<double>(totals.files) / std::max(totals.seconds, 1e-9), totals.worst);
    return totals.failed ? 1 : 0;
}
