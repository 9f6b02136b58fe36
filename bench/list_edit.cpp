// A table edit of a large list tag against loading the config it sits in: a config with a 5,000-row
// kuid-table; the container's rows out as CSV lines (ContainerToCsv), one row changed, and the rows back
// into the container (CsvToContainer), against reading the same config's bytes into a tree. The edit
// should cost no more than twice the load.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/ConfigReader.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineNode.h"
#include "catalogue/TagEditing.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 5000;

std::string MakeConfig() {
    std::string text = "kuid <kuid:604117:1>\nkind \"scenery\"\nusername \"list bench\"\nkuid-table\n{\n";
    for (int i = 0; i < kRows; ++i)
        text += "  " + std::to_string(i) + " <kuid2:" + std::to_string(100000 + i) + ":" + std::to_string(i) + ":1>\n";
    text += "}\n";
    return text;
}

template <class F>
double Best(F&& f, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    const std::string bytes = MakeConfig();
    const std::string folder = (std::filesystem::temp_directory_path() / "kelvarn_list_edit").string();
    ForceDirectories(folder);
    if (!WriteFileAtomic(folder + "/config.txt", bytes).empty()) return 1;

    TProgramState state;
    TOutlineDocument document(state);
    if (!document.LoadConfig(folder).empty()) return 1;
    TOutlineNode* table = document.FindNodeByPath("config.txt\\kuid-table");
    if (!table || table->ChildCount() != std::size_t(kRows)) return 1;
    TTagSpec record;
    record.Format = "kuid-list";
    record.Captions = "Tag,KUID";

    int round = 0;
    const double edit = Best(
        [&] {
            std::vector<std::string> csv;
            ContainerToCsv(table, record, csv);
            csv.erase(csv.begin());  // the editor gives back data rows only
            csv[kRows / 2] = "\"" + std::to_string(kRows / 2) + "\",\"<kuid:9:" + std::to_string(++round) + ">\"";
            if (!CsvToContainer(document, table, csv, record)) std::abort();
        },
        15);
    if (table->ChildCount() != std::size_t(kRows)) std::abort();

    std::size_t nodes = 0;
    const double load = Best(
        [&] {
            TConfigReader reader;
            if (!reader.LoadConfigBytes(bytes, folder)) std::abort();
            const auto tree = reader.BuildTree();
            nodes = tree ? tree->SubtreeRows() : 0;
        },
        15);
    if (nodes < std::size_t(kRows)) std::abort();
    std::filesystem::remove_all(folder);

    std::printf("edit %.3f ms, load %.3f ms\n", edit * 1e3, load * 1e3);
    std::printf("list_edit: rows=%d per_s=%.1f load_ratio=%.2f\n", kRows, 1.0 / edit, edit / load);
    return 0;
}
