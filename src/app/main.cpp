// Kelvarn's entry: the core services come up first, then the window.
#include <QApplication>
#include <QMainWindow>
#include <clocale>

#include "platform/FileSystemOps.h"
#include "shell/Backups.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvarn");
    std::setlocale(LC_NUMERIC, "C");  // "." is the decimal separator whatever the locale

    kelvarn::TProgramState& state = kelvarn::Globals();
    std::string exe = kelvarn::platform::ExecutablePath();
    if (exe.empty()) exe = QCoreApplication::applicationFilePath().toStdString();
    kelvarn::InitProgramState(state, exe);

    QMainWindow window;
    window.setWindowTitle("Kelvarn");
    window.resize(1024, 768);
    window.show();

    kelvarn::CleanOldBackups(state);
    return QApplication::exec();
}
