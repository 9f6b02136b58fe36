// Loading a large log into the text view against the least any viewer must do: read the file and
// hand it to a bare QPlainTextEdit. Both run here on the same generated 20 MB file (offscreen); the
// ratio shows what decoding, keeping the line ends and the display options cost on top.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "media/ui/TextView.h"
#include "shell/ProgramState.h"

#include "UiBenchSupport.h"

namespace {

std::string MakeLog(std::size_t bytes) {
    const std::string path = (std::filesystem::temp_directory_path() / "kelvarn-bench-20mb.log").string();
    std::ofstream out(path, std::ios::binary);
    const std::string rule(84, '-');
    std::size_t written = 0;
    for (int block = 0; written < bytes; ++block) {
        std::string text = rule + "\r\nVerify Files (Build 3.5)\r\nAsset: C:\\Trainz\\editing\\car " +
                           std::to_string(block) + "\r\nFriday 4 March 2011, 05:06:07, Elapsed Time: 0:00:01:5\r\n" +
                           rule + "\r\n";
        for (int line = 0; line < 20; ++line)
            text += "[mesh-table\\default\\mesh body" + std::to_string(line) +
                    ".im] Texture \"body.texture\" is missing \xC2\xA6 referenced by the mesh\r\n";
        text += "\r\n";
        out << text;
        written += text.size();
    }
    return path;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string path = MakeLog(20u << 20);
    const double megabytes = double(std::filesystem::file_size(path)) / (1 << 20);

    kelvarn::TTextView view(kelvarn::Globals());
    view.resize(800, 600);
    view.show();
    QPlainTextEdit bare;
    bare.resize(800, 600);
    bare.show();

    const int runs = 3;
    const double ours = kelvarn::bench::BestSecondsWithEvents([&] { view.LoadTextFile(path, 2, true, false); }, runs);
    const double reference = kelvarn::bench::BestSecondsWithEvents(
        [&] {
            QFile file(QString::fromStdString(path));
            file.open(QIODevice::ReadOnly);
            bare.setPlainText(QString::fromUtf8(file.readAll()));
        },
        runs);
    std::printf("text_view_load: %.1f MB\n", megabytes);
    std::printf("  TTextView::LoadTextFile            %8.3f s  (%.0f MB/s)\n", ours, megabytes / ours);
    std::printf("  read + QPlainTextEdit::setPlainText %8.3f s  (%.0f MB/s)\n", reference, megabytes / reference);
    std::printf("  ratio (ours / reference)            %8.2f\n", ours / reference);
    std::filesystem::remove(path);
    return 0;
}
