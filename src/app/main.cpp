// Kelvarn's entry: the core services come up, the single-instance check hands a second start over to
// the running one, then the windows are created in their fixed order and the message loop runs until
// the main window closes.
#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>

#include "app/ProgramWindows.h"
#include "app/SingleInstance.h"
#include "media/ui/GlContext.h"
#include "platform/FileSystemOps.h"
#include "shell/Handover.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/DesktopFiles.h"
#include "shell/ui/QtServices.h"

using namespace kelvarn;

int main(int argc, char* argv[]) {
    SetDefaultSurfaceFormat();  // every GL context is made with it, so before the application exists
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvarn");
    std::setlocale(LC_NUMERIC, "C");  // "." is the decimal separator whatever the locale

    TProgramState& state = Globals();
    std::string exe = platform::ExecutablePath();
    if (exe.empty()) exe = QCoreApplication::applicationFilePath().toStdString();
    InitProgramState(state, exe);

    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(all[i].toStdString());

    TSingleInstance instance(HandoverServerName(state.Environment));
    const THandoverMessage handover{ccInstance, HandoverText(arguments, QDir::currentPath().toStdString())};
    switch (instance.Claim(handover)) {
        case TSingleInstance::TOutcome::HandedOver:
            return 0;
        case TSingleInstance::TOutcome::NoAnswer:
            std::fprintf(stderr, "kelvarn: the running instance did not answer; nothing was handed over\n");
            return 1;
        case TSingleInstance::TOutcome::First:
            break;
    }
    const std::string notice = ProgramFolderNotice(state);
    WriteFirstStartSettings(state);

    TQtMessageSink messages;
    TQtProcessRunner runner;
    state.Messages = &messages;
    state.Runner = &runner;
    if (!notice.empty()) messages.ShowMessage(notice, "", MessageKind::Information);
    if (const std::string warning = SettingsLoadWarning(state); !warning.empty())
        messages.ShowMessage(warning, "", MessageKind::Warning);

    TQtFileClipboard clipboard;
    TQtTrash trash;
    state.Clipboard = &clipboard;
    state.Trash = &trash;

    TProgramWindows windows(state, arguments);
    TMain& main = windows.Main();

    main.show();
    // Hand-overs that came while the program was starting are taken now that the window is up.
    instance.SetMessageHandler([&main](const THandoverMessage& message) {
        if (main.isMinimized()) main.showNormal();
        main.raise();
        main.activateWindow();
        main.Bus().SendCommand(message.code, message.text);
    });
    const int result = QApplication::exec();
    state.Clipboard = nullptr;
    state.Trash = nullptr;
    return result;
}
