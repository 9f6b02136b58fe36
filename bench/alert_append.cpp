// 10,000 script messages appended to the config pane's alert strip, one at a time as a run reports
// them, against the least any strip must do: append the same lines to a bare QPlainTextEdit of the
// same size. Both are shown (offscreen) and handle their events (the painting) once at the end, as a
// run lets the windows work a few dozen times a second rather than after every line.
#include <QApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "shell/MessageSink.h"
#include "shell/ui/Alert.h"

#include "UiBenchSupport.h"

namespace {

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform warns at every size change of the strip.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    int count = 10000;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) count = std::max(1, std::atoi(argv[i]));

    std::vector<std::string> messages;
    for (int i = 0; i < count; ++i)
        messages.push_back("fix\\" + std::to_string(i % 1000) + ": Invalid Script Call: -updat" +
                           (i % 7 == 0 ? std::string(" with a longer tail that wraps at the strip's width, as some do") : ""));

    QWidget frame;
    frame.resize(600, 400);
    auto* layout = new QVBoxLayout(&frame);
    layout->addStretch();
    auto* alert = new kelvarn::TAlert(&frame);
    layout->addWidget(alert);
    kelvarn::SilentMessageSink sink;
    alert->SetBeepSink(&sink);
    frame.show();
    QPlainTextEdit bare;
    bare.resize(600, 8 * bare.fontMetrics().height() + 4);
    bare.show();

    const int runs = 3;
    const double ours = kelvarn::bench::BestSecondsWithEvents(
        [&] {
            alert->Close();
            for (const std::string& m : messages) {
                alert->AppendAlert(m, true, 1);
            }
        },
        runs);
    const double reference = kelvarn::bench::BestSecondsWithEvents(
        [&] {
            bare.clear();
            for (const std::string& m : messages) {
                bare.appendPlainText(QString::fromStdString(m));
            }
        },
        runs);
    std::printf("alert_append: %d messages\n", count);
    std::printf("  TAlert::AppendAlert                 %8.3f s  (%.1f us each)\n", ours, 1e6 * ours / count);
    std::printf("  QPlainTextEdit::appendPlainText     %8.3f s  (%.1f us each)\n", reference, 1e6 * reference / count);
    std::printf("  ratio (ours / reference)            %8.2f  (at most 2)\n", ours / reference);
    return 0;
}
