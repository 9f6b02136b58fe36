// The outline's two hot paths against what a plain Qt or a plain loop does with the same texts:
//  1. showing a 20,000-line config: our item model over the document in a QTreeView, expanded in
//     full and painted, against a QStandardItemModel already holding the same texts (the standard
//     model's own building is printed apart: an adapter has nothing to build);
//  2. a find pass that matches nothing over 100,000 nodes against ContainsText over a vector of the
//     same texts.
#include <QApplication>
#include <QDir>
#include <QStandardItemModel>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/FindReplace.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/OutlineItemModel.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace {

using namespace kelvarn;
using Clock = std::chrono::steady_clock;

// A config of about `lines` nodes: containers of twenty tags, every fifth holding a nested one.
std::string MakeConfig(int lines) {
    std::string text = "kuid <kuid:604117:1>\nkind scenery\n";
    int written = 2;
    for (int c = 0; written < lines; ++c) {
        text += "container" + std::to_string(c) + "\n{\n";
        ++written;
        for (int t = 0; t < 20 && written < lines; ++t, ++written)
            text += "  tag" + std::to_string(t) + " \"value of tag " + std::to_string(t) + " in " + std::to_string(c) + "\"\n";
        if (c % 5 == 0 && written + 4 < lines) {
            text += "  inner\n  {\n    mesh \"body.im\"\n    auto-create 1\n    effects 0,0,1\n  }\n";
            written += 4;
        }
        text += "}\n";
    }
    return text;
}

void Load(TOutlineDocument& doc, const std::string& folder, const std::string& text) {
    ForceDirectories(folder);
    WriteFileAtomic(folder + "/config.txt", text);
    if (!doc.LoadConfig(folder).empty()) std::abort();
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

double Show(QTreeView& view, QAbstractItemModel* model) {
    return Best(
        [&] {
            view.setModel(nullptr);
            view.setModel(model);
            view.expandAll();
            view.scrollToBottom();
            view.repaint();
            QApplication::processEvents();
        },
        5);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TProgramState state;
    const std::string base = (QDir::tempPath() + "/kelvarn-bench-outline").toStdString();

    // --- 1. showing
    TOutlineDocument doc(state);
    Load(doc, base + "/show", MakeConfig(20000));
    std::vector<std::string> rows;
    WalkRows(doc.Root(), [&](TOutlineNode* n, int) { rows.push_back(n->Text()); });
    OutlineItemModel ours(doc, nullptr);

    QStandardItemModel standard;
    const double build = Best(
        [&] {
            standard.clear();
            std::vector<QStandardItem*> open{standard.invisibleRootItem()};
            WalkRows(doc.Root(), [&](TOutlineNode* n, int level) {
                auto* item = new QStandardItem(QString::fromStdString(n->Text()));
                open.resize(static_cast<std::size_t>(level) + 1);
                open[static_cast<std::size_t>(level)]->appendRow(item);
                open.push_back(item);
            });
        },
        3);

    QTreeView view;
    view.setUniformRowHeights(true);
    view.setHeaderHidden(true);
    view.resize(800, 600);
    view.show();
    const double oursShow = Show(view, &ours);
    const double standardShow = Show(view, &standard);
    std::printf("outline show: %zu rows, expandAll and paint\n", rows.size());
    std::printf("  OutlineItemModel over the document       %8.4f s\n", oursShow);
    std::printf("  QStandardItemModel, already built         %8.4f s  (building it: %.4f s more)\n", standardShow, build);
    std::printf("  ratio (ours / reference)                  %8.2f   (limit 1.2)\n", oursShow / standardShow);

    // --- 2. a find pass that matches nothing
    TOutlineDocument large(state, "benchundo");
    Load(large, base + "/find", MakeConfig(100000));
    std::vector<std::string> texts;
    WalkRows(large.Root(), [&](TOutlineNode* n, int) { texts.push_back(n->Text()); });
    const std::string needle = "Not In Any Node";
    std::size_t found = 0;
    const double pass = Best([&] { found += FindNext(large, 0, needle, true).has_value(); }, 7);
    const double loop = Best(
        [&] {
            for (const std::string& t : texts) found += ContainsText(t, needle);
        },
        7);
    std::printf("find pass without a match: %zu nodes\n", texts.size());
    std::printf("  FindNext over the document                %8.4f s\n", pass);
    std::printf("  ContainsText over a vector of the texts   %8.4f s\n", loop);
    std::printf("  ratio (ours / reference)                  %8.2f   (limit 1.5)%s\n", pass / loop, found ? " !" : "");
    DeleteFolderTree(base);
    return 0;
}
