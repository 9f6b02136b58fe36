// Script tag edits on a generated config of about 20,000 nodes with 2,000 mesh-table entries, each
// against the tree operations a direct walk would do:
//  (1) -replaceall changing 2,000 values, against a walk updating the same tags with UpdateTag;
//  (2) -update|mesh-table\*\auto-create|0, against 2,000 SetTagByPath calls on the literal paths.
// Prints both ratios (bars: 1.5 and 2).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ScriptBenchSupport.h"
#include "catalogue/FindReplace.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineNode.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "validation/ScriptUnit.h"

namespace {

using namespace kelvarn;
using namespace kelvarn::bench;
namespace fs = std::filesystem;

constexpr int kRounds = 5;
constexpr int kEntries = 2000;

std::string Config() {
    std::string c = "kuid <kuid:123456:1000>\r\nkind \"scenery\"\r\nusername \"Bench\"\r\nmesh-table {\r\n";
    for (int i = 0; i < kEntries; ++i) {
        const std::string n = std::to_string(i);
        c += "  m" + n + " {\r\n    mesh \"part" + n + ".im\"\r\n    auto-create 1\r\n    anim \"walk" + n +
             ".kin\"\r\n    animation-loop-speed 1\r\n    kind \"mesh\"\r\n    effects {\r\n      e {\r\n        kind \"name\"\r\n"
             "        fontsize 0.1\r\n      }\r\n    }\r\n  }\r\n";
    }
    return c + "}\r\n";
}

}  // namespace

int main() {
    const std::string root = TempRoot("edit");
    TProgramState state;
    state.ProgramFolder = root + "/program/";
    state.Environment = [](const std::string&) { return std::string(); };
    const std::string asset = root + "/asset";
    ForceDirectories(asset);
    WriteFileAtomic(asset + "/config.txt", Config());
    state.SetAssetPath(asset);

    BenchHost host;
    TOutlineDocument main(state);
    host.main = &main;
    TScriptUnit unit(state, host);
    if (!main.LoadConfig(asset).empty()) return 1;
    std::printf("config: %zu nodes\n", main.RowCount());

    double replaceScript = 1e30, replaceWalk = 1e30, updateScript = 1e30, updateDirect = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        main.LoadConfig(asset);
        auto start = Clock::now();
        unit.ExecuteScriptLines("bench", {"-replaceall|.im|.pm"}, false);
        replaceScript = std::min(replaceScript, Seconds(start));
        if (main.GetValueByPath("mesh-table\\m7\\mesh") != "part7.pm") return 2;

        main.LoadConfig(asset);
        start = Clock::now();
        for (TOutlineNode* node = main.Root()->NextRow(); node; node = node->NextRow()) {
            if (node->HasChildren()) continue;
            const std::string value = TagValueUnquoted(node->Text());
            const std::string changed = ReplaceText(value, ".im", ".pm", false, false);
            if (changed != value) main.UpdateTag(node, node->Name(), changed);
        }
        replaceWalk = std::min(replaceWalk, Seconds(start));

        main.LoadConfig(asset);
        start = Clock::now();
        unit.ExecuteScriptLines("bench", {"-update|mesh-table\\*\\auto-create|0"}, false);
        updateScript = std::min(updateScript, Seconds(start));
        if (main.GetValueByPath("mesh-table\\m9\\auto-create") != "0") return 3;

        main.LoadConfig(asset);
        start = Clock::now();
        for (int i = 0; i < kEntries; ++i) main.SetTagByPath("mesh-table\\m" + std::to_string(i) + "\\auto-create", "0");
        updateDirect = std::min(updateDirect, Seconds(start));
    }
    std::printf("-replaceall over %d values: %.2f ms; direct walk with UpdateTag %.2f ms; ratio %.2f (at most 1.5)\n",
                kEntries, 1e3 * replaceScript, 1e3 * replaceWalk, replaceScript / replaceWalk);
    std::printf("-update of mesh-table\\*\\auto-create: %.2f ms; %d SetTagByPath calls %.2f ms; ratio %.2f (at most 2)\n",
                1e3 * updateScript, kEntries, 1e3 * updateDirect, updateScript / updateDirect);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
