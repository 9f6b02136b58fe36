// The program as a new user meets it: a program folder with no settings file yet, what happens to an
// edit whose save fails on the way to another asset or out of the program, and a config saved as text.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QToolButton>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

#include "app/ProgramTestBed.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetPagesUi.h"
#include "catalogue/ui/Editor.h"
#include "media/ui/TextView.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/OptionSettings.h"
#include "shell/PathText.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {
namespace {

void WriteAsset(const std::string& folder, const std::string& kuid) {
    test::WriteBytes(folder + "/config.txt", "kind \"scenery\"\r\nkuid " + kuid + "\r\nusername \"Shed\"\r\n");
}

// Every write fails: a full disc or a folder the user may not write.
struct WritesFail {
    WritesFail() { SetWriteFaultHook([](const std::string&) { return std::size_t{0}; }); }
    ~WritesFail() { SetWriteFaultHook(nullptr); }
};

// Closes the program's modal dialogs (the settings dialog of the setup check) as they open.
class TDialogCloser {
public:
    TDialogCloser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!active) return;
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown.push_back(dialog->objectName().toStdString());
                dialog->reject();
            }
        });
        timer_.start();
    }
    std::vector<std::string> shown;
    bool active = true;

private:
    QTimer timer_;
};

long SetupMessages(const test::ProgramTestBed& bed) {
    return std::count(bed.messages.texts.begin(), bed.messages.texts.end(), std::string(kSetupMessage));
}

// A first start in an empty program folder, with an asset folder on the command line: the settings
// the dialog shows are the ones in force.
TEST(FreshStart, ChecksShowTheirReportCloneWorksAndSetupIsAskedOnce) {
    test::ProgramTestBed bed(Answer::Yes);
    WriteAsset(bed.AssetRoot() + "/a-shed", "<kuid:1:1>");
    ASSERT_FALSE(FileExists(bed.dir / "program/kelvarn.ini"));
    TDialogCloser closer;
    bed.StartFresh({"-CMP", bed.AssetRoot()});
    bed.Main().FormActivate();
    QApplication::processEvents();
    EXPECT_EQ(SetupMessages(bed), 1);
    EXPECT_EQ(closer.shown, std::vector<std::string>{"Options"});

    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    QApplication::processEvents();
    bed.Main().MenuItem("mUnreferenced")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(bed.windows->Viewer().isVisible()) << "Verify Files showed no report";
    bed.windows->Viewer().hide();

    // The user gives their id, as the setup asks; the next clone number is the one the dialog shows.
    WriteSetting(bed.state.Settings(), keys::UserID, "77");
    closer.active = false;
    TEditor& editor = bed.windows->Editor();
    QTimer::singleShot(0, &editor, [&editor] {
        if (editor.isVisible()) editor.bOK->click();
    });
    bed.Main().MenuItem("mClone")->trigger();
    QApplication::processEvents();
    const std::string clone = NativePath(bed.AssetRoot() + "/CLONE OF a-shed");
    EXPECT_NE(test::ReadBytes(clone + "/config.txt").find("<kuid:77:8000>"), std::string::npos);
    EXPECT_EQ(ReadSettingInt(bed.state.Settings(), keys::NextCloneID), 8001);
    EXPECT_TRUE(bed.Main().close());

    // The next start: no setup message, and the layout comes back.
    bed.windows.reset();
    EXPECT_NE(test::ReadBytes(bed.dir / "program/kelvarn.ini").find("Width="), std::string::npos);
    closer.active = true;
    bed.StartFresh({});
    bed.Main().FormActivate();
    QApplication::processEvents();
    EXPECT_EQ(SetupMessages(bed), 1);
}

TEST(FailedSave, KeepsTheAssetAndItsEditOnSwitchAndOnExit) {
    test::ProgramTestBed bed(Answer::Yes);
    WriteAsset(bed.AssetRoot() + "/a-shed", "<kuid:1:1>");
    WriteAsset(bed.AssetRoot() + "/b-shed", "<kuid:1:2>");
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 2);
    list.SelectAsset(0);
    const std::string first = bed.state.AssetPath();
    TOutlineView& outline = bed.windows->Outline();
    outline.Document().SetTagByPath("\\username", "\"Barn\"");
    outline.Document().SetModified(true);
    const std::string stored = test::ReadBytes(bed.AssetRoot() + "/a-shed/config.txt");

    {
        WritesFail fail;
        list.SelectAsset(1);
        QApplication::processEvents();
        EXPECT_EQ(bed.state.AssetPath(), first);
        EXPECT_EQ(list.Selected(), 0);
        EXPECT_EQ(outline.Document().GetValueByPath("config.txt\\username"), "Barn");
        EXPECT_TRUE(outline.Document().Modified());

        EXPECT_FALSE(bed.Main().close());
        EXPECT_TRUE(outline.Document().Modified());
    }
    EXPECT_EQ(test::ReadBytes(bed.AssetRoot() + "/a-shed/config.txt"), stored);

    // Once the disc takes it, the same answer saves and the switch goes ahead.
    list.SelectAsset(1);
    QApplication::processEvents();
    EXPECT_NE(bed.state.AssetPath(), first);
    EXPECT_NE(test::ReadBytes(bed.AssetRoot() + "/a-shed/config.txt").find("Barn"), std::string::npos);
}

// The asset's config.txt edited and saved in the text view: the outline shows the saved text. The
// outline's own save reads nothing again: it keeps the tree it has.
TEST(TextViewSave, TheConfigSavedAsTextReloadsTheOutlineAndTheOutlinesOwnSaveDoesNot) {
    test::ProgramTestBed bed(Answer::Yes);
    WriteAsset(bed.AssetRoot() + "/a-shed", "<kuid:1:1>");
    bed.Start();
    bed.windows->Assets().Catalogue().SelectAsset(0);
    QApplication::processEvents();
    const std::string config = bed.state.AssetPath() + "/config.txt";
    TOutlineView& outline = bed.windows->Outline();
    auto* text = dynamic_cast<TTextView*>(bed.Main().Frame(TFrameId::Text));
    ASSERT_NE(text, nullptr);
    auto editAndSave = [&](const QString& from, const QString& to) {
        bed.Main().Bus().SendCommand(ccShowFile, config);
        // As typed: an edit of the document, which marks it modified.
        QTextCursor cursor(text->Memo()->document());
        cursor.select(QTextCursor::Document);
        cursor.insertText(text->Memo()->toPlainText().replace(from, to));
        text->findChild<QAbstractButton*>("bSaveTextFile")->click();
        QApplication::processEvents();
    };

    editAndSave("Shed", "Barn");
    EXPECT_EQ(outline.Document().GetValueByPath("config.txt\\username"), "Barn");
    EXPECT_FALSE(outline.Document().Modified());
    EXPECT_TRUE(bed.messages.texts.empty()) << bed.messages.texts.front();

    const TOutlineNode* kept = outline.Document().FindNodeByPath("kuid");
    outline.Document().SetTagByPath("\\username", "\"Hut\"");
    outline.Document().SetModified(true);
    ASSERT_TRUE(bed.Main().Frame(TFrameId::Outline)->QuerySave());
    EXPECT_EQ(bed.messages.texts.size(), 1u);  // its own question only
    EXPECT_EQ(outline.Document().FindNodeByPath("kuid"), kept);
    EXPECT_NE(test::ReadBytes(config).find("Hut"), std::string::npos);

    // Edits pending in the outline are asked about before the text is written; a Yes writes the text,
    // the outline's version goes to the backups, and the outline then shows the text as saved.
    outline.Document().SetTagByPath("\\username", "\"Cabin\"");
    outline.Document().SetModified(true);
    editAndSave("Hut", "Barn");
    EXPECT_EQ(bed.messages.texts.size(), 2u);
    EXPECT_NE(test::ReadBytes(config).find("Barn"), std::string::npos);
    EXPECT_EQ(outline.Document().GetValueByPath("config.txt\\username"), "Barn");
    EXPECT_FALSE(outline.Document().Modified());
    std::string backedUp;
    for (const auto& [name, bytes] : test::SnapshotFolder(BackupFolderPath(bed.state)))
        if (ContainsText(name, "config.txt")) backedUp += bytes;
    EXPECT_NE(backedUp.find("Cabin"), std::string::npos) << backedUp;
    EXPECT_FALSE(text->Modified());
}

// Maximised, the outline has the right pane: no viewer frame holds the panel below open.
TEST(OutlineMaximised, TakesTheRightPaneAt1024x768) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/a-shed", "<kuid:1:1>");
    bed.Start();
    bed.Main().resize(1024, 768);
    QApplication::processEvents();
    ASSERT_NE(bed.windows->Outline().MaxButton(), nullptr);
    bed.windows->Outline().MaxButton()->click();
    QApplication::processEvents();
    auto* right = bed.Main().findChild<QSplitter*>("RightPanel");
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(bed.Main().Layout().mode, 1);
    const QList<int> sizes = right->sizes();
    EXPECT_GE(sizes.value(0), right->height() - 100) << sizes.value(0) << " of " << right->height();
    EXPECT_LE(sizes.value(1), 100);
}

// Drags the splitter handle between the outline and the viewer panel by `dy` pixels, as a mouse does.
void DragViewerSplitter(QSplitter& right, int dy) {
    QSplitterHandle* handle = right.handle(1);
    ASSERT_NE(handle, nullptr);
    const QPointF at(handle->width() / 2.0, handle->height() / 2.0);
    auto send = [handle](QEvent::Type type, QPointF local, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, handle->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, at + QPointF(0, dy), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at + QPointF(0, dy), Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
}

// Every button of the viewer in front, and its pane's header, shows whole: at least as large as it
// asks to be, and inside the panel.
void ExpectButtonsWhole(test::ProgramTestBed& bed, TFrameId id, const std::string& scene) {
    bed.Main().SetActiveViewer(id);
    QApplication::processEvents();
    QWidget* frame = bed.Main().Frame(id)->Widget();
    QWidget* panel = bed.Main().findChild<QWidget*>("ViewerPanel");
    ASSERT_TRUE(frame->isVisible() && panel) << scene;
    const QRect shown = QRect(panel->mapToGlobal(QPoint(0, 0)), panel->size());
    auto whole = [&](QWidget* w) {
        const std::string name = scene + ": " + frame->objectName().toStdString() + " " + w->objectName().toStdString();
        // A button of a fixed size (the maximise button) is whole at that size.
        const QSize asked = w->minimumSize() == w->maximumSize() ? w->minimumSize() : w->sizeHint();
        EXPECT_GE(w->width(), asked.width()) << name;
        EXPECT_GE(w->height(), asked.height()) << name;
        EXPECT_TRUE(shown.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()))) << name;
    };
    whole(bed.Main().Frame(id)->MaxButton());
    int buttons = 0;
    for (QToolButton* b : frame->findChildren<QToolButton*>())
        if (b->isVisibleTo(frame) && b->parentWidget()->objectName() == "Header" && b != bed.Main().Frame(id)->MaxButton()) {
            whole(b);
            ++buttons;
        }
    EXPECT_GE(buttons, 13) << scene;
}

// A drag or a small window never crushes the viewers' buttons: the panel keeps the least height at
// which each of them, and the pane's own header, shows whole; at 200 pixels the buttons run on in
// columns.
TEST(ViewerPanel, KeepsEveryButtonWholeAtItsLeastHeight) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/a-shed", "<kuid:1:1>");
    bed.Start();
    bed.Main().resize(1024, 768);
    QApplication::processEvents();
    auto* right = bed.Main().findChild<QSplitter*>("RightPanel");
    ASSERT_NE(right, nullptr);
    DragViewerSplitter(*right, 2000);  // as far down as the mouse goes
    const int least = right->sizes().value(1);
    EXPECT_GE(least, 60) << "the drag leaves the panel's header and a row of buttons";
    EXPECT_LE(least, 200) << "the outline keeps most of the pane";
    for (TFrameId id : {TFrameId::Image, TFrameId::Mesh}) ExpectButtonsWhole(bed, id, "dragged down");

    right->setSizes({right->height() - 200, 200});
    QApplication::processEvents();
    EXPECT_NEAR(right->sizes().value(1), 200, 2);
    for (TFrameId id : {TFrameId::Image, TFrameId::Mesh}) ExpectButtonsWhole(bed, id, "200 pixels");

    // The outline maximised still has the right pane to itself.
    bed.windows->Outline().MaxButton()->click();
    QApplication::processEvents();
    EXPECT_LE(right->sizes().value(1), 10);
    bed.windows->Outline().MaxButton()->click();
    QApplication::processEvents();
    EXPECT_GE(right->sizes().value(1), least);
}

}  // namespace
}  // namespace kelvarn
