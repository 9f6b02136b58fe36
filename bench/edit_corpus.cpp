// Every config.txt below a folder, each edit of a user on a fresh load (a -replaceall that matches
// nothing and one that changes values, Edit Tag on every tag through the editor window's own pages,
// confirmed untouched with OK and again with Enter, copy and paste of
// every top-level container, cut and paste back, -updatekuidtable, Delete Obsolete Tags), saved and
// compared with an unedited save of the same file. Then the time of undo at depth: 3,000 edits and
// 3,000 undos on a generated config of 20,000 nodes, the second 1,500 against the first, beside the
// same file traffic without the program.
//   bench_edit_corpus [folder]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include <QApplication>
#include <sys/resource.h>

#include "catalogue/OutlineDocument.h"
#include "catalogue/UndoStack.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "support/EditCorpus.h"
#include "support/EditCorpusPages.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// A config of about 20,000 nodes: 2,860 containers of six tags.
std::string LargeConfig() {
    std::string c = "kuid <kuid:123456:1000>\r\nkind \"scenery\"\r\nusername \"Bench\"\r\nmesh-table {\r\n";
    for (int i = 0; i < 2860; ++i) {
        const std::string n = std::to_string(i);
        c += "  m" + n + " {\r\n    mesh \"part" + n + ".im\"\r\n    auto-create 1\r\n    anim \"walk" + n +
             ".kin\"\r\n    animation-loop-speed 1\r\n    kind \"mesh\"\r\n    fontsize 0.1\r\n  }\r\n";
    }
    return c + "}\r\n";
}

// The time of the first and the second half of a run of steps, by the wall clock and by this
// process's own user time (the work of the program, without the file system's or other processes').
struct Halves {
    double first = 0, second = 0, cpuFirst = 0, cpuSecond = 0;
    double Ratio() const { return first > 0 ? second / first : 0; }
    double CpuRatio() const { return cpuFirst > 0 ? cpuSecond / cpuFirst : 0; }
};

double UserSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec) * 1e-6;
}

template <typename Step>
Halves TimeHalves(int steps, Step&& step) {
    Halves h;
    auto start = Clock::now();
    double cpu = UserSeconds();
    for (int i = 0; i < steps; ++i) {
        if (i == steps / 2) {
            h.first = Seconds(start), h.cpuFirst = UserSeconds() - cpu;
            start = Clock::now(), cpu = UserSeconds();
        }
        step(i);
    }
    h.second = Seconds(start), h.cpuSecond = UserSeconds() - cpu;
    return h;
}

void UndoAtDepth(const std::string& root) {
    constexpr int kSteps = 3000;
    TProgramState state;
    state.ProgramFolder = root + "/program/";
    state.Environment = [](const std::string&) { return std::string(); };
    const std::string asset = root + "/large";
    ForceDirectories(asset);
    WriteFileAtomic(asset + "/config.txt", LargeConfig());
    TOutlineDocument doc(state);
    if (!doc.LoadConfig(asset).empty()) return;
    std::vector<TOutlineNode*> tags;
    WalkRows(doc.Root(), [&](TOutlineNode* n, int) {
        if (!n->HasChildren() && n->Parent() && n->Parent()->Parent() != doc.Root()) tags.push_back(n);
    });
    const Halves edits = TimeHalves(kSteps, [&](int i) {
        TOutlineNode* node = tags[static_cast<std::size_t>(i) % tags.size()];
        doc.EditWithUndo([&] { return doc.UpdateTag(node, node->WrittenName(), "v" + std::to_string(i)); });
    });
    const Halves undos = TimeHalves(kSteps, [&](int) { doc.UndoLastChange(); });
    // The same file traffic alone: as many files of one snapshot's size written, then read back and
    // deleted newest first. Whatever growth this shows is the file system's, not the program's.
    const std::string snapshot = WriteUndoSnapshot(doc.Root());
    const std::string folder = root + "/reference/";
    ForceDirectories(folder);
    const auto name = [&](int i) { return folder + std::to_string(i) + ".kv$"; };
    const Halves writes = TimeHalves(kSteps, [&](int i) { WriteScratchFile(name(i), snapshot); });
    std::string bytes;
    const Halves reads = TimeHalves(kSteps, [&](int i) {
        ReadFileBytes(name(kSteps - 1 - i), bytes, 1u << 30);
        DeleteFilePath(name(kSteps - 1 - i));
    });
    std::printf("undo at depth: %zu nodes, %zu bytes per snapshot; at most 1.2 for the second 1,500 steps against "
                "the first\n",
                doc.RowCount(), snapshot.size());
    std::printf("  %d edits %.2f s + %.2f s: ratio %.2f, own work %.2f; the same writes alone: ratio %.2f\n", kSteps,
                edits.first, edits.second, edits.Ratio(), edits.CpuRatio(), writes.Ratio());
    std::printf("  %d undos %.2f s + %.2f s: ratio %.2f, own work %.2f; the same reads and deletes alone: ratio %.2f\n",
                kSteps, undos.first, undos.second, undos.Ratio(), undos.CpuRatio(), reads.Ratio());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string folder = KELVARN_SOURCE_DIR "/../shared/corpus";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) folder = argv[i];

    const std::string root = (fs::temp_directory_path() / ("kelvarn-bench-editcorpus-" + std::to_string(std::random_device()()))).string();
    const std::string program = editcorpus::MakeProgramFolder(root, KELVARN_TAGS_XML);

    std::vector<std::string> files;
    FindFilesRecursive(IncludeTrailingSeparator(folder) + "*.*", "config.txt", files);
    std::sort(files.begin(), files.end());

    editcorpus::TTally tally;
    std::map<std::string, std::pair<double, int>> times;  // per kind of edit: seconds and count
    const auto timed = [&](const std::string& what, double seconds) {
        std::string kind = what.substr(0, what.find(" #"));
        if (kind.rfind("-replaceall ", 0) == 0 && kind != "-replaceall (no match)") kind = "-replaceall (a value)";
        auto& t = times[kind];
        t.first += seconds;
        ++t.second;
    };
    const std::vector<editcorpus::TEditTagStep> pages = {editcorpus::PagesEditTag(false, tally),
                                                         editcorpus::PagesEditTag(true, tally)};
    for (const std::string& file : files) editcorpus::RunEdits(program, ExtractFileDir(file), false, tally, timed, pages);
    for (const std::string& note : tally.notes) std::printf("%s\n", note.c_str());
    for (const auto& [kind, t] : times)
        std::printf("%-26s %5d ops, %8.3f ms per op\n", kind.c_str(), t.second, t.second ? 1e3 * t.first / t.second : 0.0);

    UndoAtDepth(root);
    std::error_code ec;
    fs::remove_all(root, ec);
    std::printf("edit_corpus: configs=%zu ops=%zu names_changed=%zu values_changed=%zu tags_added=%zu failed=%zu\n",
                files.size(), tally.ops, tally.names, tally.values, tally.added, tally.failed);
    return 0;
}
