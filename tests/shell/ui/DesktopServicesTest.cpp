#include <gtest/gtest.h>

#include <filesystem>

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QFile>
#include <QKeyEvent>
#include <QPrinter>
#include <QTimer>
#include <QWidget>

#include "shell/Files.h"
#include "shell/PrintLayout.h"
#include "shell/ProgramState.h"
#include "shell/RunCommand.h"
#include "shell/Strings.h"
#include "shell/ui/DesktopFiles.h"
#include "shell/ui/Printing.h"
#include "shell/ui/QtServices.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "support/TrashLayout.h"

namespace kelvarn {
namespace {

// The real runner, with the desktop's default program recorded instead of started.
class OpenRecorder final : public IProcessRunner {
public:
    TQtProcessRunner real;
    std::vector<std::string> opened;
    ProcessResult last;
    ProcessResult Run(const ProcessRequest& request) override { return last = real.Run(request); }
    bool OpenWithDefault(const std::string& path) override {
        opened.push_back(path);
        return opens;
    }
    bool opens = true;  // false: the desktop has no program for it
};

class Processes : public ::testing::Test {
protected:
    Processes() {
        test::TestApp();
        state.Runner = &runner;
        state.Messages = &messages;
        state.ProgramFolder = dir.Path() + "/";
    }
    test::TempDir dir;
    TProgramState state;
    OpenRecorder runner;
    test::RecordingMessageSink messages;
};

TEST_F(Processes, CaptureCollectsTheOutputLines) {
    std::vector<std::string> lines;
    EXPECT_TRUE(RunCommand(state, "", "printf \"a\\n\\nb\\n\"", &lines, 1, 1));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(RunCommand(state, "", "true", &lines, 1, 1));
    EXPECT_TRUE(lines.empty());
    // The start folder is the child's working folder; its standard input is closed.
    EXPECT_TRUE(RunCommand(state, dir.Path(), "pwd", &lines, 1, 1));
    EXPECT_EQ(lines, (std::vector<std::string>{dir.Path()}));
    EXPECT_TRUE(RunCommand(state, "", "cat", &lines, 1, 1));
    EXPECT_TRUE(lines.empty());
}

TEST_F(Processes, WithoutCaptureTheRunReturnsAtOnce) {
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(RunCommand(state, "", "sleep 3", nullptr, 0, 1));
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST_F(Processes, AFileNameStaysOneArgument) {
    state.SetAssetPath(dir.Path());
    state.SetAssetFileName("a;$(touch b) \"c\".tga");
    std::vector<std::string> lines;
    EXPECT_TRUE(RunCommand(state, dir.Path(), "echo \"%pfe%\"", &lines, 1, 1));
    EXPECT_EQ(lines, (std::vector<std::string>{dir.Path() + "/a;$(touch b) \"c\".tga"}));
    EXPECT_FALSE(FileExists(dir / "b"));
}

TEST_F(Processes, AMissingProgramOrADocumentGoesToTheDefaultProgram) {
    test::WriteBytes(dir / "notes.txt", "text");
    EXPECT_FALSE(RunCommand(state, "", "/nonexistent/tool --flag", nullptr, 1, 1));
    // Quoted, as a command line names a file whose path holds blanks (the temporary folder's may).
    EXPECT_FALSE(RunCommand(state, "", "\"" + dir.Path() + "/notes.txt\"", nullptr, 0, 1));
    EXPECT_EQ(runner.opened, (std::vector<std::string>{"/nonexistent/tool", dir.Path() + "/notes.txt"}));
    EXPECT_TRUE(messages.messages.empty());
}

// A web address nothing opens is not called a missing file.
TEST_F(Processes, AnAddressNoBrowserOpensSaysSo) {
    runner.opens = false;
    EXPECT_FALSE(RunCommand(state, "", "https://example.invalid/updates", nullptr, 0, 1));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].find("No web browser opened the address."), std::string::npos) << messages.messages[0];
    EXPECT_EQ(messages.messages[0].find("cannot find the file"), std::string::npos) << messages.messages[0];
}

TEST_F(Processes, EscapeEndsAHungCapture) {
    QWidget target;
    QTimer::singleShot(300, &target, [&target] {
        QCoreApplication::postEvent(&target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    QElapsedTimer timer;
    timer.start();
    std::vector<std::string> lines;
    RunCommand(state, "", "sleep 30", &lines, 1, 1);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_TRUE(runner.last.cancelled);
}

TEST_F(Processes, OutputCutShortSaysSo) {
    // 100 MB of lines: the first 64 MB are kept, and the last line says the rest was dropped.
    test::WriteBytes(dir / "loud.sh", "#!/bin/sh\nyes 0123456789012345678901234567890123456789012345678 | head -c 100000000\n");
    std::filesystem::permissions(dir / "loud.sh", std::filesystem::perms::owner_all);
    std::vector<std::string> lines;
    EXPECT_TRUE(RunCommand(state, dir.Path(), "\"" + (dir / "loud.sh") + "\"", &lines, 1, 1));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "output cut at 64 MB");
    EXPECT_EQ(lines.size(), (64u << 20) / 50 + 2);  // whole lines, the cut one, and the note

    // A run the user stops says so too.
    QWidget target;
    QTimer::singleShot(300, &target, [&target] {
        QCoreApplication::postEvent(&target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    EXPECT_TRUE(RunCommand(state, "", "sh -c \"echo started; sleep 30\"", &lines, 1, 1));
    EXPECT_EQ(lines, (std::vector<std::string>{"started", "stopped by the user"}));
}

TEST_F(Processes, StoppingAToolStopsWhatItStarted) {
    test::WriteBytes(dir / "parent.sh", "#!/bin/sh\nsleep 60 &\necho $! > child.pid\nsleep 60\n");
    std::filesystem::permissions(dir / "parent.sh", std::filesystem::perms::owner_all);
    ProcessRequest request;
    request.program = dir / "parent.sh";
    request.workingFolder = dir.Path();
    request.captureOutput = true;
    request.timeLimitSeconds = 1;
    const ProcessResult result = runner.Run(request);
    EXPECT_TRUE(result.timedOut);
    const std::string pid = Trim(test::ReadBytes(dir / "child.pid"));
    ASSERT_FALSE(pid.empty());
    // The child left behind is gone: no such process, or only its exit status waiting to be collected.
    auto running = [&pid] {
        const std::string stat = std::filesystem::exists("/proc/" + pid + "/stat") ? test::ReadBytes("/proc/" + pid + "/stat") : "";
        const std::size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
    };
    QElapsedTimer timer;
    timer.start();
    while (running() && timer.elapsed() < 5000) QTest::qWait(50);
    EXPECT_FALSE(running());
}

TEST(FileClipboard, ARoundTripDropsTrailingSeparators) {
    test::TestApp();
    test::TempDir dir;
    TQtFileClipboard clipboard;
    ASSERT_TRUE(clipboard.CopyFiles({dir.Path() + "/x/", dir.Path() + "/y z.tga"}));
    EXPECT_TRUE(clipboard.HasFiles());
    EXPECT_EQ(clipboard.PasteFiles(), (std::vector<std::string>{dir.Path() + "/x", dir.Path() + "/y z.tga"}));
    EXPECT_FALSE(clipboard.CopyFiles({}));
}

// A desktop without its data folder yet: the trash is made where the desktop keeps it, and nothing is
// written in the working folder (which may be an asset). The home folder is on the file's own file
// system, whatever the machine's mounts, so the trash is the home trash.
TEST(Trash, AMissingTrashFolderIsMadeInTheDesktopsDataFolder) {
    test::TestApp();
    test::TempDir dir;
    test::WriteBytes(dir / "asset/mesh.im", "bytes");
    const test::TrashBesideHome layout(dir);
    const QString oldFolder = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir / "asset"));
    TQtTrash trash;
    const std::string error = trash.MoveToTrash(dir / "asset/mesh.im");
    QDir::setCurrent(oldFolder);

    EXPECT_EQ(error, "");
    EXPECT_FALSE(FileExists(dir / "asset/mesh.im"));
    EXPECT_TRUE(FileExists(layout.Trashed(dir, "mesh.im")));
    EXPECT_TRUE(FileExists(dir / "data/Trash/info/mesh.im.trashinfo"));
    EXPECT_FALSE(DirectoryExists(dir / "asset/files"));
    EXPECT_FALSE(DirectoryExists(dir / "asset/info"));
}

// A file on another file system than the home folder (a USB stick, a tmpfs /tmp) goes to the trash of
// its own file system, as file managers show it; where that trash cannot be made, the move is refused
// with the reason and the file stays.
TEST(Trash, AFileOnAnotherFileSystemGoesToItsOwnTrash) {
    test::TestApp();
    test::TempDir dir;
    test::TrashOnAnotherDrive layout(dir);
    if (!layout.Usable()) GTEST_SKIP() << layout.Why();
    const std::string name = layout.Name("mesh", ".im");
    const std::string file = layout.Folder() + "/" + name;
    test::WriteBytes(file, "bytes");
    TQtTrash trash;
    const std::string error = trash.MoveToTrash(file);
    if (error.empty()) {
        EXPECT_FALSE(FileExists(file));
        EXPECT_NE(layout.Trashed(name), "") << "not in the trash of " << layout.Folder();
        EXPECT_EQ(test::ReadBytes(layout.Trashed(name)), "bytes");
        EXPECT_FALSE(FileExists(dir / ("data/Trash/files/" + name)));
    } else {
        EXPECT_NE(error.find(file), std::string::npos) << error;
        EXPECT_TRUE(FileExists(file));
    }
}

TEST(Printing, LinesGiveTheComputedNumberOfPages) {
    test::TestApp();
    test::TempDir dir;
    TProgramState state;
    test::FakeClock clock;
    state.Clock = &clock;
    std::vector<std::string> lines;
    for (int i = 0; i < 150; ++i) lines.push_back(i % 10 == 9 ? "" : "line\t" + std::to_string(i) + "\tthird column");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir / "out.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int pages = PrintLines(printer, state, lines, 12, "Fixed");
    EXPECT_EQ(printer.docName().toStdString(), "Kelvarn - Friday 04 March 2011 - 00:00:00");

    const std::string pdf = test::ReadBytes(dir / "out.pdf");
    int written = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++written;
    EXPECT_EQ(written, pages);
    // The count the layout gives for the "Fixed" font's 10 points on this page.
    std::vector<bool> blank;
    for (const std::string& line : lines) blank.push_back(line.empty());
    const int dpi = printer.resolution();
    EXPECT_EQ(pages, PageCount(PlaceLines(blank, PrintMeasures(dpi, 12, 10 * dpi / 72), printer.height())));
    EXPECT_GT(pages, 1);
}

}  // namespace
}  // namespace kelvarn
