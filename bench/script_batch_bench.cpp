// A script batch over 1,000 generated assets (config.txt of about 60 lines each), preview off: a
// 12-line script with -if, a -foreach over the ten meshes of each asset using ^V and ^I, and a
// -callscript. Prints assets per second and the ratio to a plain loop that loads, reorders, backs
// up and saves the same configs (the work a batch cannot avoid). Then, each asset made the current
// one in turn, the time of one undo snapshot against a plain read of that config.txt into a tree,
// and against a plain write of the config's bytes to a new file beside the snapshots. The read is
// not a fair reference: a snapshot must create a file, which costs the file system more than
// reading one it holds in its cache; the write does what a snapshot cannot avoid. Last, a batch of
// the commands that act on each asset's own folder (its macros, a copy, a report, a tool, marks),
// against the plain loop doing the same file work.
//   bench_script_batch [assets]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ScriptBenchSupport.h"
#include "catalogue/ConfigReader.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineNode.h"
#include "shell/Backups.h"
#include "shell/FileCopy.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptUnit.h"

namespace {

using namespace kelvarn;
using namespace kelvarn::bench;
namespace fs = std::filesystem;

constexpr int kRounds = 5;  // each side runs this often; the best round counts

std::string AssetConfig(int n) {
    std::string c;
    c += "kuid                                      <kuid:123456:" + std::to_string(100000 + n) + ">\r\n";
    c += "kind                                      \"scenery\"\r\n";
    c += "trainz-build                              2.9\r\n";
    c += "username                                  \"Generated asset " + std::to_string(n) + "\"\r\n";
    c += "category-class                            \"BIN\"\r\n";
    c += "category-region                           \"GB;DE\"\r\n";
    c += "category-era                              \"1950s;1960s\"\r\n";
    c += "description                               \"A building made for measuring.\"\r\n";
    c += "author                                    \"Bench\"\r\n";
    c += "license                                   \"Free\"\r\n";
    c += "mesh-table\r\n{\r\n";
    for (int m = 0; m < 10; ++m) {
        c += "  m" + std::to_string(m) + "\r\n  {\r\n";
        c += "    mesh                                  \"parts/m" + std::to_string(m) + ".im\"\r\n";
        c += "    auto-create                           1\r\n";
        c += "  }\r\n";
    }
    c += "}\r\n";
    c += "thumbnails\r\n{\r\n  0\r\n  {\r\n    image                                 \"thumb.jpg\"\r\n";
    c += "    width                                 240\r\n    height                                180\r\n  }\r\n}\r\n";
    c += "kuid-table\r\n{\r\n  0                                       <kuid:44179:60013>\r\n";
    c += "  1                                       <kuid2:523:19722:1>\r\n}\r\n";
    return c;
}

constexpr const char* kScript =
    "; the bench's batch\n"
    "-if|config.txt\\kind=scenery\n"
    "-update|description|Measured ^K\n"
    "-endif\n"
    "-foreach|tag|mesh-table\\*\\mesh\n"
    "-update|^V|parts/renamed^I.im\n"
    "-info|.mesh ^I: ^V\n"
    "-endfor\n"
    "-callscript|helper\n"
    "-ifnot|config.txt\\trainz-build>3\n"
    "-update|trainz-build|3.5\n"
    "-endif\n";

// The tag edits and memory commands over each asset.
constexpr const char* kEditScript =
    "-update|mesh-table\\*\\auto-create|0\n"
    "-ignorecase\n"
    "-replaceall|.IM|.pm\n"
    "-save|1|username\n"
    "-combine|2|^1 (edited)\n"
    "-restore|2|username\n"
    "-compute|3|2*3+1\n"
    "-restore|3|trainz-build\n"
    "-tokens|^1|\" \"\n"
    "-category|category-keyword|^1,bench\n"
    "-rename|description|description-old\n"
    "-clear|nullcontainer\n";

// Commands that act on the batch's own asset: its macros, a copy and a report beside its config, a
// tool run on one of its files, and marks that take effect when it is saved. The marked tags are made
// by the script itself, so that every round does the same work.
constexpr const char* kAssetScript =
    "-info|.%p% %kuid% %kuidf% %AssetID% %pfe%\n"
    "-copyfile|%p%\\config.txt|copied-config.txt\n"
    "-write|open|%p%\\report.txt\n"
    "-write|line|%kuid% in %p%\n"
    "-write|close\n"
    "-menuexecute|BenchTool|x|thumb.jpg\n"
    "-update|bench-gone|1\n"
    "-tagfordeletion|bench-gone\n"
    "-update|bench-note|1\n"
    "-comment|bench-note\n";

constexpr const char* kHelper = "-update|category-class|\"BIN\"\n-info|.helper ran\n";

}  // namespace

int main(int argc, char** argv) {
    const int count = AssetCount(argc, argv, 1000);

    const std::string root = TempRoot("script");
    TProgramState state;
    state.ProgramFolder = root + "/program/";
    state.Environment = [](const std::string&) { return std::string(); };
    WriteSettingBool(state.Settings(), keys::Preview, false);
    ForceDirectories(root + "/program/scripts");
    WriteFileAtomic(root + "/program/scripts/helper.kvm", kHelper);

    std::vector<std::string> folders;
    for (int n = 0; n < count; ++n) {
        const std::string folder = root + "/assets/a" + std::to_string(n);
        ForceDirectories(folder);
        WriteFileAtomic(folder + "/config.txt", AssetConfig(n));
        folders.push_back(folder);
    }

    BenchHost host;
    TOutlineDocument main(state);
    TOutlineDocument editor(state, std::string(kEditorUndoPrefix));
    host.main = &main;
    host.editor = &editor;
    TScriptUnit unit(state, host);
    const std::vector<std::string> lines = SplitLines(kScript);
    const std::string backups = root + "/program/backup";

    // Snapshots of each asset as the current one, against a plain read of its config.txt. They come
    // before the batches: creating a file soon after thousands were deleted (the batches' saves and
    // backups) is slow on some file systems, which would be measured here instead.
    // Each asset's times are kept: the median is one snapshot as a user meets it, unmoved by the
    // stalls other programs' disk writes cause now and then; the mean is shown beside it.
    std::vector<double> snapshots, reads, writes;
    std::size_t sink = 0;
    const std::string plainFile = backups + "/plain0.kv$";
    ForceDirectories(backups);
    for (int round = 0; round < kRounds; ++round) {
        TConfigReader reader;
        for (const std::string& folder : folders) {
            state.SetAssetPath(folder);
            main.LoadConfig(folder);  // deletes the last snapshot, as a user's next asset does
            auto start = Clock::now();
            unit.SaveSnapshot();
            snapshots.push_back(Seconds(start));

            start = Clock::now();
            reader.LoadConfigFile(folder);
            sink += reader.BuildTree()->ChildCount();
            reader.UnloadConfig(folder);
            reads.push_back(Seconds(start));

            // The same file system work as the snapshot: the last file deleted, a new one written.
            std::string bytes;
            ReadFileBytes(folder + "/config.txt", bytes, 1u << 20);
            DeleteFilePath(plainFile);
            start = Clock::now();
            WriteScratchFile(plainFile, bytes);
            writes.push_back(Seconds(start));
        }
    }
    DeleteFilePath(plainFile);
    auto median = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return sum / static_cast<double>(v.size());
    };
    const double snapshot = median(snapshots), read = median(reads), write = median(writes);
    std::printf("snapshot: %.1f us per asset (mean %.1f); plain read into a tree %.1f us (mean %.1f); ratio %.2f "
                "(not a fair reference: a snapshot creates a file, the read finds one in the cache)%s\n",
                1e6 * snapshot, 1e6 * mean(snapshots), 1e6 * read, 1e6 * mean(reads), snapshot / read, sink ? "" : " ");
    std::printf("snapshot: %.1f us per asset; plain write of the config's bytes to a new file %.1f us (mean %.1f); "
                "ratio %.2f (at most 1.5)\n",
                1e6 * snapshot, 1e6 * write, 1e6 * mean(writes), snapshot / write);

    // The plain loop: each config loaded, reordered, backed up and saved, with `extra` file work in
    // between. Its time, or a negative one when a config cannot be read.
    auto plainLoop = [&](const std::function<void(TOutlineDocument&, const std::string&)>& extra) {
        ClearFolder(backups);
        TOutlineDocument plain(state, std::string(kEditorUndoPrefix));
        plain.ScriptMode = true;
        const auto start = Clock::now();
        for (const std::string& folder : folders) {
            if (!plain.LoadConfig(folder).empty()) return -1.0;
            plain.Hooks().ReorderConfig(plain);
            if (extra) extra(plain, folder);
            BackupFile(state, plain.ConfigFile());
            plain.SaveConfig(plain.ConfigFile(), false);
        }
        return Seconds(start);
    };

    double batchBest = 1e30, plainBest = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        ClearFolder(backups);
        unit.FolderList = folders;
        auto start = Clock::now();
        unit.RunOnTaggedAssets("bench", lines);
        batchBest = std::min(batchBest, Seconds(start));

        const double plain = plainLoop(nullptr);
        if (plain < 0) return 1;
        plainBest = std::min(plainBest, plain);
    }
    std::printf("batch: %d assets, %.0f assets/s (%.3f s); plain load+reorder+backup+save %.3f s; ratio %.2f (at most 1.5)\n",
                count, count / batchBest, batchBest, plainBest, batchBest / plainBest);

    // The edit script against the same reference.
    const std::vector<std::string> edits = SplitLines(kEditScript);
    double editBest = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        ClearFolder(backups);
        unit.FolderList = folders;
        const auto start = Clock::now();
        unit.RunOnTaggedAssets("edits", edits);
        editBest = std::min(editBest, Seconds(start));
    }
    std::printf("edit batch: %d assets, %.0f assets/s (%.3f s); plain load+reorder+backup+save %.3f s; ratio %.2f (at most 1.5)\n",
                count, count / editBest, editBest, plainBest, editBest / plainBest);

    // The asset commands, against the plain loop doing the same file work itself: the copy of the
    // config, and the report written after a backup of the last round's.
    const std::string bar(kBrokenBar);
    state.Settings().WriteString("BenchTool", "1", "Bench" + bar + bar + "%bin%\\tool.exe %pfe%" + bar + "1" + bar + "0" +
                                                       bar + "0" + bar + "0" + bar);
    const std::vector<std::string> assetLines = SplitLines(kAssetScript);
    auto removeCopies = [&folders] {
        for (const std::string& folder : folders) DeleteFilePath(folder + "/copied-config.txt");
    };
    double assetBest = 1e30, assetPlainBest = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        ClearFolder(backups);
        removeCopies();
        unit.FolderList = folders;
        auto start = Clock::now();
        unit.RunOnTaggedAssets("asset", assetLines);
        assetBest = std::min(assetBest, Seconds(start));

        removeCopies();
        const double plain = plainLoop([&state](TOutlineDocument& config, const std::string& folder) {
            CopyFileNoReplace(folder + "/config.txt", folder + "/copied-config.txt", CopyFlush::WhenReplacing);
            BackupFile(state, folder + "/report.txt");
            WriteTextFile(folder + "/report.txt", config.GetValueByPath("config.txt\\kuid") + " in " + folder + "\r\n",
                          TextEncoding::Utf8);
        });
        if (plain < 0) return 1;
        assetPlainBest = std::min(assetPlainBest, plain);
    }
    std::printf("asset batch: %d assets, %.0f assets/s (%.3f s); plain load+reorder+copy+report+backup+save %.3f s; "
                "ratio %.2f (at most 1.5)\n",
                count, count / assetBest, assetBest, assetPlainBest, assetBest / assetPlainBest);

    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
