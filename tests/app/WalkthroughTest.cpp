// Walks the program as a user does, on a temporary copy of the sample assets and a real asset: it
// selects each asset, each file and each kind of outline node, then triggers every main-menu item and
// every frame button, in menu order, once answering Yes to every question and once No. It prints each
// action with what it showed, and fails on a dialog shown twice for one action, on an undefined
// command or callback, and on a file changed that the action was not meant to change.
#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <set>

#include "app/ProgramTestBed.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/FileView.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/CommandBus.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"
#include "media/ui/TextView.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUndefinedCommand = "Undefined Command Token: ";
constexpr std::string_view kUndefinedCallback = "Callback Command Undefined: ";


// Actions meant to change files in the asset folders (by object name, or the walk's own label). Most
// items that write ask first for a file, a folder or a printer, which the walk cancels, or have
// nothing to copy. Repair Textures mends images in place and deletes the unreferenced ones the user
// agrees to (after a backup); clearing the list first offers to save the shown config, which the walk
// of Yes answers accepts.
const std::set<std::string> kWriters = {"mRepairTextures", "AssetList.bClearAll", "mBlankTga", "mBlackTga", "mBlueTga",
                                        "mGreenTga", "mRedTga", "mWhiteTga", "mYellowTga"};

std::string Describe(QWidget* window) {
    std::string text = window->windowTitle().toStdString();
    if (auto* box = qobject_cast<QMessageBox*>(window)) text += " [" + box->text().toStdString() + "]";
    if (auto* input = qobject_cast<QInputDialog*>(window)) text += " [" + input->labelText().toStdString() + "]";
    return text;
}

class Walk {
public:
    // `fresh`: a program folder without settings, the assets named on the command line, as a new
    // user starts.
    Walk(Answer answer, bool fresh)
        : bed(answer), pass_(fresh ? "fresh" : answer == Answer::Yes ? "yes" : "no"), fresh_(fresh) {}

    std::vector<std::string> failures;

    void Run() {
        bed.CopySamples();
        bed.CopyAsset(test::ProgramTestBed::Corpus("jos-scanner"));
        // Dialogs of the program's own (file choosers, printing, inputs) are closed as they open,
        // and so are menus that pop up.
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            if (QWidget* modal = QApplication::activeModalWidget()) {
                dialogs_.push_back(Describe(modal));
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        closer.start();
        if (fresh_) {
            bed.StartFresh({"-CMP", bed.AssetRoot()});
            Act("start", [this] { bed.Main().FormActivate(); });
        } else {
            bed.Start();
            Act("start", [] {});
        }

        SelectEveryAsset();
        SelectEveryFile();
        SelectEveryNodeKind();
        TriggerMenus();
        ClickFrameButtons();
        Act("mExit", [this] { exit_->trigger(); });
        if (bed.Main().isVisible()) failures.push_back("[" + pass_ + "] Exit left the window open");
        closer.stop();
    }

private:
    TAssetCatalogue& Catalogue() { return bed.windows->Assets().Catalogue(); }
    TFileList& Files() { return bed.windows->Assets().Files(); }

    // The walk needs an asset to act on: after a command cleared or deleted them, the home folder
    // is read again (not counted as an action).
    void EnsureAsset() {
        if (Catalogue().Count() == 0) {
            if (fresh_)
                Catalogue().AddDirectory(bed.AssetRoot());
            else
                bed.windows->Assets().Homes().LoadHomeFolders(0);
        }
        if (Catalogue().Count() > 0 && Catalogue().Selected() < 0) Catalogue().SelectAsset(0);
        if (Files().Count() > 0 && !Files().HasCurrentFile()) Files().SetCurrentFile(0);
        QApplication::processEvents();
    }

    void SelectEveryAsset() {
        for (int i = 0; i < Catalogue().Count(); ++i) {
            const std::string name = ExtractFileName(ExcludeTrailingSeparator(Catalogue().Entry(i).folder));
            Act("select asset " + name, [this, i] { Catalogue().SelectAsset(i); });
        }
    }

    // The files of every asset; the real asset's last, which stays selected for the menus.
    void SelectEveryFile() {
        std::vector<int> order;
        for (int i = 0; i < Catalogue().Count(); ++i)
            if (!ContainsText(Catalogue().Entry(i).folder, "jos-scanner")) order.push_back(i);
        for (int i = 0; i < Catalogue().Count(); ++i)
            if (ContainsText(Catalogue().Entry(i).folder, "jos-scanner")) order.push_back(i);
        for (int i : order) {
            Catalogue().SelectAsset(i);
            QApplication::processEvents();
            SelectFilesOfAsset(ExtractFileName(ExcludeTrailingSeparator(Catalogue().Entry(i).folder)) + "\\");
        }
    }

    void SelectFilesOfAsset(const std::string& asset) {
        TCheckListView* list = bed.windows->Assets().FileView()->List();
        QApplication::setActiveWindow(&bed.Main());
        list->setFocus();
        for (int i = 0; i < Files().Count(); ++i) {
            const std::string name = asset + Files().Item(i).text;
            // The first by a click, the others with the arrow key. A message box the file raises
            // closes with Return, whose release then reaches the list: still one box.
            auto closeWithReturn = [this, list](std::size_t before) {
                if (bed.messages.texts.size() > before) QTest::keyRelease(list, Qt::Key_Return);
            };
            if (i == 0) {
                Act("click file " + name, [this, list, closeWithReturn] {
                    const std::size_t before = bed.messages.texts.size();
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
                    closeWithReturn(before);
                });
            } else {
                Act("key Down to file " + name, [this, list, closeWithReturn] {
                    const std::size_t before = bed.messages.texts.size();
                    QTest::keyClick(list, Qt::Key_Down);
                    closeWithReturn(before);
                });
            }
        }
    }

    void SelectEveryNodeKind() {
        TOutlineView& outline = bed.windows->Outline();
        const TOutlineNode* root = outline.Document().Root();
        if (!root) return;
        std::set<std::string> kinds;
        std::function<void(const TOutlineNode*, int)> visit = [&](const TOutlineNode* node, int depth) {
            const std::string kind = node == root ? "root" : std::string(node->HasChildren() ? "container" : "tag") +
                                                                 (depth > 1 ? " in a container" : "");
            if (kinds.insert(kind).second)
                Act("select " + kind + " " + node->Text(), [&outline, node] { outline.Select(node); });
            for (std::size_t i = 0; i < node->ChildCount(); ++i) visit(node->Child(i), depth + 1);
        };
        visit(root, 0);
    }

    void TriggerMenus() {
        for (QAction* top : bed.Main().menuBar()->actions())
            if (QMenu* menu = top->menu(); menu && top->isVisible()) TriggerMenu(menu);
    }

    void TriggerMenu(QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible()) continue;
            if (QMenu* sub = action->menu()) {
                TriggerMenu(sub);
                continue;
            }
            if (action->objectName() == "mExit") {
                exit_ = action;  // last, when everything else is done
                continue;
            }
            EnsureAsset();
            // As a user opens the menu: its items' states are brought up to date first.
            emit menu->aboutToShow();
            if (!action->isEnabled()) continue;
            const std::string name = action->objectName().isEmpty() ? action->text().toStdString() : action->objectName().toStdString();
            Act(name, [action] { action->trigger(); });
        }
    }

    void ClickFrameButtons() {
        for (int id = 0; id < kFrameCount; ++id) {
            QWidget* frame = bed.Main().Frame(static_cast<TFrameId>(id))->Widget();
            for (QAbstractButton* button : frame->findChildren<QAbstractButton*>()) {
                if (button->objectName().isEmpty() || !button->isVisibleTo(frame)) continue;
                EnsureAsset();
                if (!button->isEnabled()) continue;
                Act(frame->objectName().toStdString() + "." + button->objectName().toStdString(), [button] { button->click(); });
            }
        }
    }

    std::vector<std::pair<std::string, std::string>> Strips() {
        std::vector<std::pair<std::string, std::string>> out;
        for (int id = 0; id < kFrameCount; ++id) {
            IFrame* frame = bed.Main().Frame(static_cast<TFrameId>(id));
            if (frame->Alert()->IsOpen()) out.emplace_back(frame->Widget()->objectName().toStdString(), frame->Alert()->Text());
        }
        if (TAlert* alert = bed.windows->Viewer().TextView().Alert(); alert->IsOpen()) out.emplace_back("Viewer", alert->Text());
        return out;
    }

    void Act(const std::string& name, const std::function<void()>& act) {
        const test::TFolderSnapshot before = test::SnapshotFolder(bed.AssetRoot());
        const std::size_t firstText = bed.messages.texts.size();
        const auto stripsBefore = Strips();
        std::vector<std::string> panelsBefore;
        for (int i = 0; i < 5; ++i) panelsBefore.push_back(bed.Panel(i));
        dialogs_.clear();

        act();
        QApplication::processEvents();

        std::vector<std::string> shown(bed.messages.texts.begin() + static_cast<std::ptrdiff_t>(firstText), bed.messages.texts.end());
        for (const std::string& d : dialogs_) shown.push_back("dialog " + d);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != &bed.Main() && window->isVisible() && !qobject_cast<QMenu*>(window) && window->isWindow()) {
                shown.push_back("window " + Describe(window));
                window->close();
            }
        QApplication::processEvents();

        // One trigger, one of each message.
        std::map<std::string, int> times;
        for (const std::string& text : shown)
            if (++times[text] == 2) failures.push_back("[" + pass_ + "] " + name + " showed twice: " + text);
        // Every row is registered: an undefined answer is a fault.
        for (const std::string& text : shown)
            for (std::string_view message : {kUndefinedCommand, kUndefinedCallback})
                if (text.rfind(message, 0) == 0) failures.push_back("[" + pass_ + "] " + name + ": " + text);

        std::string line = "[" + pass_ + "] " + name + ":";
        for (const std::string& text : shown) line += " {" + text + "}";
        for (const auto& [frame, text] : Strips())
            if (std::find(stripsBefore.begin(), stripsBefore.end(), std::pair(frame, text)) == stripsBefore.end())
                line += " {strip " + frame + ": " + text + "}";
        for (int i = 0; i < 5; ++i)
            if (bed.Panel(i) != panelsBefore[static_cast<std::size_t>(i)]) line += " {panel " + std::to_string(i) + ": " + bed.Panel(i) + "}";
        const std::vector<std::string> changed = test::Differences(before, test::SnapshotFolder(bed.AssetRoot()));
        for (const std::string& c : changed) line += " {" + c + "}";
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        if (!changed.empty() && !kWriters.count(name))
            failures.push_back("[" + pass_ + "] " + name + " changed files it was not meant to: " + changed.front());
    }

public:
    test::ProgramTestBed bed;

private:
    std::string pass_;
    bool fresh_ = false;
    std::vector<std::string> dialogs_;
    QAction* exit_ = nullptr;
};

TEST(Walkthrough, EveryMenuItemAndFrameButtonOnSampleAssets) {
    if (test::ProgramTestBed::Corpus("jos-scanner").empty()) GTEST_SKIP() << "../shared/corpus is absent";
    const fs::path source(KELVARN_SOURCE_DIR);
    const test::TFolderSnapshot resources = test::SnapshotFolder(source / "resources");
    const test::TFolderSnapshot corpus = test::SnapshotFolder(test::ProgramTestBed::Corpus("jos-scanner"));

    // A new user's first start comes first, then the passes on a prepared program folder.
    const std::pair<Answer, bool> passes[] = {{Answer::Yes, true}, {Answer::Yes, false}, {Answer::No, false}};
    for (const auto& [answer, fresh] : passes) {
        Walk walk(answer, fresh);
        walk.Run();
        for (const std::string& failure : walk.failures) ADD_FAILURE() << failure;
    }
    // Nothing outside the temporary copies changed.
    EXPECT_EQ(test::Differences(resources, test::SnapshotFolder(source / "resources")), std::vector<std::string>());
    EXPECT_EQ(test::Differences(corpus, test::SnapshotFolder(test::ProgramTestBed::Corpus("jos-scanner"))),
              std::vector<std::string>());
}

// --- unsaved outline edits meeting a batch and a text save, on copies of the sample assets

class PendingEdits {
public:
    explicit PendingEdits(Answer answer) : bed(answer) {
        bed.CopySamples();
        bed.Start();
    }

    TAssetCatalogue& List() { return bed.windows->Assets().Catalogue(); }
    TOutlineDocument& Outline() { return bed.windows->Outline().Document(); }
    TTextView& Text() { return *static_cast<TTextView*>(bed.Main().Frame(TFrameId::Text)); }
    std::string Config(int i) { return test::ReadBytes(List().Entry(i).folder + "/config.txt"); }
    std::vector<std::string> BackedUp() {
        std::vector<std::string> contents;
        for (const auto& [name, bytes] : test::SnapshotFolder(BackupFolderPath(bed.state)))
            if (ContainsText(name, "config.txt")) contents.push_back(bytes);
        return contents;
    }
    void Select(int i) {
        List().SelectAsset(i);
        QApplication::processEvents();
    }
    // An edit the user has not saved, with its undo snapshot.
    void EditOutline(const std::string& author) {
        ASSERT_EQ(Outline().PushUndo(), "");
        ASSERT_NE(Outline().SetTagByPath("author", author), nullptr);
        ASSERT_TRUE(Outline().Modified());
    }

    test::ProgramTestBed bed;
};

TEST(Walkthrough, ABatchSettlesTheMainWindowsPendingEditsFirst) {
    for (Answer answer : {Answer::Cancel, Answer::Yes, Answer::No}) {
        PendingEdits walk(answer);
        ASSERT_GE(walk.List().Count(), 3);
        walk.Select(0);
        walk.List().SetTagged(0, true);
        walk.List().SetTagged(1, true);
        const std::string script = walk.bed.dir / "program/describe.kvm";
        test::WriteBytes(script, "-update|description|batched\r\n");
        walk.bed.windows->Scripts().Host().AskFileHook = [&](const std::string&, const std::string&, const std::string&) {
            return script;
        };
        walk.EditOutline("Walkthrough");
        const test::TFolderSnapshot before = test::SnapshotFolder(walk.bed.AssetRoot());
        const std::string untouched = walk.Config(2);
        const std::size_t asked = walk.bed.messages.texts.size();

        walk.bed.Main().MenuItem("mTaggedScript")->trigger();
        QApplication::processEvents();

        const std::string question = "Save Configuration: " + walk.Outline().ConfigFile() + "?";
        ASSERT_GT(walk.bed.messages.texts.size(), asked);
        EXPECT_EQ(walk.bed.messages.texts[asked], question);
        EXPECT_EQ(walk.Config(2), untouched);
        if (answer == Answer::Cancel) {
            EXPECT_EQ(test::Differences(before, test::SnapshotFolder(walk.bed.AssetRoot())), std::vector<std::string>());
            EXPECT_TRUE(walk.Outline().Modified());
            EXPECT_EQ(walk.Outline().GetValueByPath("config.txt\\author"), "Walkthrough");
            EXPECT_TRUE(walk.Outline().CanUndo());
            continue;
        }
        const bool saved = answer == Answer::Yes;
        for (int i : {0, 1}) EXPECT_TRUE(ContainsText(walk.Config(i), "batched")) << i;
        EXPECT_EQ(ContainsText(walk.Config(0), "Walkthrough"), saved);
        // The main outline shows the result as saved.
        EXPECT_EQ(walk.Outline().GetValueByPath("config.txt\\description"), "batched");
        EXPECT_EQ(walk.Outline().GetValueByPath("config.txt\\author") == "Walkthrough", saved);
        EXPECT_FALSE(walk.Outline().Modified());
        // The batch backed up each asset before it saved it; a saved edit was on disc by then.
        const std::vector<std::string> backups = walk.BackedUp();
        EXPECT_EQ(backups.size(), 2u);
        bool edit = false;
        for (const std::string& b : backups) edit |= ContainsText(b, "Walkthrough");
        EXPECT_EQ(edit, saved);
    }
}

TEST(Walkthrough, ABatchThatLeavesTheShownAssetOutDoesNotWriteIt) {
    PendingEdits walk(Answer::Yes);
    ASSERT_GE(walk.List().Count(), 3);
    walk.Select(2);
    walk.List().SetTagged(0, true);
    walk.List().SetTagged(1, true);
    const std::string shown = walk.Config(2);
    const std::string script = walk.bed.dir / "program/describe.kvm";
    test::WriteBytes(script, "-update|description|batched\r\n");
    walk.bed.windows->Scripts().Host().AskFileHook = [&](const std::string&, const std::string&, const std::string&) {
        return script;
    };
    walk.bed.Main().MenuItem("mTaggedScript")->trigger();
    QApplication::processEvents();
    for (int i : {0, 1}) EXPECT_TRUE(ContainsText(walk.Config(i), "batched")) << i;
    EXPECT_EQ(walk.Config(2), shown);
    EXPECT_EQ(walk.BackedUp().size(), 2u);
}

// config.txt saved from the text view while the outline holds its own edits: asked before anything is
// written; one version takes the file, the other is its newest backup.
TEST(Walkthrough, ATextSaveWithOutlineEditsPendingKeepsBothVersions) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        PendingEdits walk(answer);
        walk.Select(0);
        const std::string file = walk.Outline().ConfigFile();
        walk.bed.state.SendCommand(ccShowFile, file);
        QApplication::processEvents();
        ASSERT_EQ(walk.Text().ShownFile(), NativePath(file));
        walk.EditOutline("Outline");
        const std::string outlineVersion = walk.Outline().ConfigFileBytes();
        QTextCursor cursor = walk.Text().Memo()->textCursor();
        cursor.movePosition(QTextCursor::Start);
        walk.Text().Memo()->setTextCursor(cursor);
        QTest::keyClicks(walk.Text().Memo(), "author \"Typed\"");
        QTest::keyClick(walk.Text().Memo(), Qt::Key_Return);
        ASSERT_TRUE(walk.Text().Modified());
        const std::size_t asked = walk.bed.messages.texts.size();

        walk.Text().Button("bSaveTextFile")->click();
        QApplication::processEvents();

        ASSERT_EQ(walk.bed.messages.texts.size(), asked + 1);
        EXPECT_TRUE(StartsWith(walk.bed.messages.texts.back(), "The outline holds unsaved edits of " + file))
            << walk.bed.messages.texts.back();
        const std::vector<std::string> backups = walk.BackedUp();
        ASSERT_EQ(backups.size(), 1u);
        const std::string onDisc = walk.Config(0);
        EXPECT_FALSE(walk.Text().Modified());
        EXPECT_FALSE(walk.Outline().Modified());
        if (answer == Answer::Yes) {
            EXPECT_TRUE(StartsWith(onDisc, "author \"Typed\"")) << onDisc;
            EXPECT_EQ(backups[0], outlineVersion);
            EXPECT_EQ(walk.Outline().GetValueByPath("config.txt\\author"), "Typed");
        } else {
            EXPECT_EQ(onDisc, outlineVersion);
            EXPECT_TRUE(StartsWith(backups[0], "author \"Typed\"")) << backups[0];
            EXPECT_FALSE(ContainsText(walk.Text().Text(), "Typed"));
            EXPECT_TRUE(ContainsText(walk.Text().Text(), "Outline"));
        }
    }
}

// The welcome text of a program with no assets can be read, not changed: its Save writes nothing.
TEST(Walkthrough, TheWelcomeTextIsNotWritten) {
    test::ProgramTestBed bed;
    bed.Start("", false);
    auto& text = *static_cast<TTextView*>(bed.Main().Frame(TFrameId::Text));
    const std::string introduction = bed.dir / "program/bin/introduction.txt";
    ASSERT_EQ(text.ShownFile(), NativePath(introduction));
    const std::string before = test::ReadBytes(introduction);
    QTest::keyClicks(text.Memo(), "typed over");
    text.Button("bSaveTextFile")->click();
    QApplication::processEvents();
    EXPECT_EQ(test::ReadBytes(introduction), before);
    EXPECT_FALSE(text.Modified());
}

}  // namespace
}  // namespace kelvarn
