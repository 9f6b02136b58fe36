#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>

#include "EditorTestBed.h"
#include "catalogue/EditorDialogs.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/ui/Alert.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {
namespace {

using test::EditorBed;
using test::WhenShown;

// The sections that show, as "A0 D0" (section letter and page).
std::string Shown(const TEditor& editor) {
    std::string out;
    for (int s = 0; s < kEditorSections; ++s) {
        const int page = editor.ShownPage(s);
        if (page < 0) continue;
        if (!out.empty()) out += ' ';
        out += char('A' + s);
        out += std::to_string(page);
    }
    return out;
}

TEST(EditorWindow, ResetGivesTheStandardWindow) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.StringValue->setText("left over");
    e.bOK->setText("Accept");
    e.bAbort->show();
    e.ResetEditor(400090);
    e.show();
    QApplication::processEvents();
    EXPECT_EQ(e.windowTitle(), "Kelvarn");
    EXPECT_EQ(e.size(), QSize(400, 90));
    EXPECT_EQ(e.StringValue->text(), "") << "fields are cleared";
    EXPECT_EQ(e.bOK->text(), "OK");
    EXPECT_TRUE(e.bOK->isDefault());
    EXPECT_EQ(e.bCancel->text(), "Cancel");
    EXPECT_TRUE(e.bOK->isVisible());
    EXPECT_TRUE(e.bCancel->isVisible());
    EXPECT_FALSE(e.bAbort->isVisible());
    EXPECT_FALSE(e.bEditHelp->isVisible());
    EXPECT_FALSE(e.PreviewPanel->isVisible()) << "the preview panel opens only for a review";
    EXPECT_FALSE(e.TranslateValue->isVisibleTo(&e));
    EXPECT_EQ(e.StringValue->CharType(), ctStandard);
    EXPECT_EQ(Shown(e), "") << "a task shows only the pages it chooses";

    // A negative size keeps both size and place.
    e.resize(640, 281);
    e.move(30, 40);
    QApplication::processEvents();
    const QRect before = e.geometry();
    e.ResetEditor(-1);
    QApplication::processEvents();
    EXPECT_EQ(e.geometry(), before);
    e.ResetEditor(640281);
    EXPECT_EQ(e.size(), QSize(640, 281));
    e.hide();
}

TEST(EditorWindow, ArrangeShowsOnePagePerSection) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.ResetEditor(600155);
    e.show();
    e.ArrangeSections({epLabel, epTagName, -1, epEnum, epString}, {-1, 30, -1, -1, -1});
    QApplication::processEvents();
    EXPECT_EQ(Shown(e), "A0 B1 D6 E3");
    EXPECT_EQ(e.SectionWidth(esA), 100);
    EXPECT_EQ(e.SectionWidth(esB), 125) << "a narrow B is raised";
    EXPECT_EQ(e.Section(esA)->width(), 100);
    // -2 keeps what a section has, plus its margin.
    const int present = e.Section(esA)->width();
    e.ArrangeSections({epCombo, -1, epCheck, -1, -1}, {-2, -1, -1, -1, -1});
    QApplication::processEvents();
    EXPECT_EQ(Shown(e), "A1 C1");
    EXPECT_EQ(e.SectionWidth(esA), present + 8);
    EXPECT_EQ(e.SectionWidth(esC), 50);
    e.hide();
}

TEST(EditorWindow, MessagePage) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.ShowNotEditable(600155, "Container name cannot be edited");
    e.show();
    QApplication::processEvents();
    EXPECT_EQ(Shown(e), "A0 D0");
    EXPECT_EQ(e.MessageLabel->text(), "Container name cannot be edited");
    EXPECT_GE(e.SectionWidth(esD), QFontMetrics(e.font()).horizontalAdvance(e.MessageLabel->text()) + 8);
    e.hide();
}

TEST(EditorWindow, ButtonsGiveTheirResults) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    struct Case { QPushButton* button; int result; bool cancelled; bool abort; };
    for (const Case& c : {Case{e.bOK, erOK, false, false}, Case{e.bCancel, erCancel, true, false},
                          Case{e.bAbort, erAbort, true, true}}) {
        bed.state.AbortRequested = false;
        e.ResetEditor(600155);
        e.bAbort->show();
        WhenShown(e, [&] { c.button->click(); });
        EXPECT_EQ(e.ShowModal(), c.result) << c.button->objectName().toStdString();
        EXPECT_EQ(e.Cancelled(), c.cancelled);
        EXPECT_EQ(bed.state.AbortRequested, c.abort);
    }
    // Escape is Cancel.
    e.ResetEditor(600155);
    WhenShown(e, [&] { QTest::keyClick(&e, Qt::Key_Escape); });
    EXPECT_EQ(e.ShowModal(), erCancel);
}

TEST(EditorWindow, FocusControlIsGivenTheFocusOnActivation) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.ResetEditor(600155);
    e.ArrangeSections({epLabel, epTagName, -1, -1, epString}, {-1, -1, -1, -1, -1});
    e.PositionAtCursor(-2, -2, e.TagValue);
    EXPECT_EQ(e.FocusControl(), e.TagValue);
    bool focused = false;
    WhenShown(e, [&] {
        QApplication::processEvents();
        focused = e.TagValue->hasFocus();
        e.bCancel->click();
    });
    e.ShowModal();
    EXPECT_TRUE(focused);
    e.ResetEditor(600155);
    EXPECT_EQ(e.FocusControl(), nullptr) << "a reset forgets the focus control";
}

TEST(EditorWindow, InputLine) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    bool checked = false;
    WhenShown(e, [&] {
        checked = true;
        EXPECT_EQ(e.windowTitle(), "Rename Folder");
        EXPECT_EQ(e.PLabel->text(), "New name");
        EXPECT_EQ(e.HelpLabel->text(), "home\\...\\old\\");
        EXPECT_EQ(e.size(), QSize(400, 90));
        EXPECT_FALSE(e.cbPreview->isVisible());
        EXPECT_EQ(Shown(e), "A0 E3");
        EXPECT_EQ(e.StringValue->text(), "old");
        e.StringValue->setText("new");
        e.bOK->click();
    });
    EXPECT_EQ(e.InputLine("Rename Folder", "New name", "old", "home\\...\\old\\"), std::optional<std::string>("new"));
    EXPECT_TRUE(checked);
    WhenShown(e, [&] { e.bCancel->click(); });
    EXPECT_EQ(e.InputLine("Rename Folder", "New name", "old", ""), std::nullopt);
    // The next task is sizeable again.
    e.ResetEditor(600155);
    EXPECT_EQ(e.size(), QSize(600, 155));
    EXPECT_EQ(e.maximumWidth(), QWIDGETSIZE_MAX);
}

TEST(EditorWindow, ToolOutputInTheTextPageClosesWithoutAQuestion) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    std::string shownText;
    bool modified = false, readOnly = true;
    WhenShown(e, [&] {
        EXPECT_EQ(e.windowTitle(), "Tool Output");
        EXPECT_EQ(Shown(e), "E1");
        shownText = bed.text->Text();
        modified = bed.text->Modified();
        readOnly = bed.text->Memo()->isReadOnly();
        EXPECT_EQ(bed.text->Memo()->textCursor().position(), 0);
        e.bOK->click();
    });
    e.ShowText(500300, 1, {"line one", "line two"}, "Tool Output");
    EXPECT_NE(shownText.find("line one"), std::string::npos);
    EXPECT_NE(shownText.find("line two"), std::string::npos);
    EXPECT_TRUE(modified) << "the text counts as changed";
    EXPECT_FALSE(readOnly);
    EXPECT_TRUE(bed.messages.messages.empty()) << "no file is shown: nothing to save";

    WhenShown(e, [&] {
        EXPECT_EQ(e.windowTitle(), " Kelvarn");
        EXPECT_EQ(e.size(), QSize(640, 480));
        readOnly = bed.text->Memo()->isReadOnly();
        e.bCancel->click();
    });
    e.ShowTextReadOnly({"report"});
    EXPECT_TRUE(readOnly);
}

TEST(EditorWindow, OKAsksToSaveAChangedFileOfTheTextPage) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    const std::string file = bed.dir / "notes.txt";
    test::WriteBytes(file, "old\r\n");
    e.ShowTextPage(600300, 3, false, "Notes");
    ASSERT_EQ(bed.text->LoadTextFile(file, 3, true, false), "");
    bed.text->Memo()->selectAll();
    bed.text->Memo()->insertPlainText("new");
    bed.messages.answers = {Answer::Yes};
    WhenShown(e, [&] { e.bOK->click(); });
    EXPECT_EQ(e.ShowModal(), erOK);
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_EQ(bed.messages.messages[0], "'" + file + "' may have changed\n\nSave File to Disc?");
    EXPECT_EQ(test::ReadBytes(file), "new");
}

TEST(EditorWindow, AcceptRejectReviewsTheOutlineReadOnly) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.Outline().SetTagByPath("kind", "scenery");
    e.Outline().SetTagByPath("mesh-table\\default\\mesh", "a.im");
    e.AcceptReject(640640, "Preview: /x", "Check it.");
    e.show();
    QApplication::processEvents();
    EXPECT_EQ(e.windowTitle(), "Preview: /x");
    EXPECT_EQ(e.bOK->text(), "Accept");
    EXPECT_EQ(e.bCancel->text(), "Reject");
    EXPECT_TRUE(e.bAbort->isVisible());
    EXPECT_EQ(e.bAbort->text(), "Abort");
    EXPECT_EQ(e.ButtonPanel->width(), 275);
    EXPECT_TRUE(e.cbPreview->isVisible());
    EXPECT_EQ(e.cbPreview->text(), "Preview Next File");
    EXPECT_EQ(Shown(e), "E2");
    TOutlineView& view = e.OutlineView();
    EXPECT_TRUE(view.ReadOnly());
    EXPECT_FALSE(view.findChild<QWidget*>("Header")->isVisible());
    EXPECT_TRUE(view.Alert()->IsOpen());
    EXPECT_EQ(view.Alert()->Text(), "Check it.");

    // Selection and expansion work; edits, edit keys and commands do nothing.
    const TOutlineNode* mesh = e.Outline().FindNodeByPath("config.txt\\mesh-table");
    ASSERT_NE(mesh, nullptr);
    view.Select(mesh);
    EXPECT_EQ(view.Selected(), mesh);
    view.ExecuteCommand(ocExpand);
    EXPECT_TRUE(view.Tree()->isExpanded(view.Tree()->currentIndex()));
    const std::size_t rows = e.Outline().Root()->SubtreeRows();
    QTest::keyClick(view.Tree(), Qt::Key_Delete);
    view.ExecuteCommand(ocDelete);
    QTest::keyClick(view.Tree(), Qt::Key_Space);
    EXPECT_EQ(e.Outline().Root()->SubtreeRows(), rows);
    EXPECT_FALSE(mesh->HasFlag(nfTagged));
    int edits = 0;
    view.EditTag = [&](TOutlineNode*) { ++edits; };
    QTest::keyClick(view.Tree(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(edits, 0);
    e.hide();

    // An empty alert shows no strip.
    e.AcceptReject(640640, "Preview: /y", "");
    EXPECT_FALSE(view.Alert()->IsOpen());
    e.ResetEditor(600155);
    EXPECT_FALSE(e.PreviewPanel->isVisibleTo(&e));
}

TEST(EditorWindow, BatchModeHidesTheNormalControls) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.BatchMode(true);
    e.ResetEditor(600155);
    e.ArrangeSections({epLabel, epTagName, epCheck, epNumber, -1}, {-1, -1, -1, -1, -1});
    EXPECT_EQ(Shown(e), "") << "no tag page during a batch";
    e.AcceptReject(640640, "Preview: /x", "");
    EXPECT_EQ(Shown(e), "E2");
    for (QPushButton* b : {e.bOK, e.bCancel, e.bAbort}) EXPECT_TRUE(b->isVisibleTo(&e)) << "the review answers";
    e.BatchMode(false);
    e.ResetEditor(600155);
    e.ArrangeSections({epLabel, epTagName, -1, -1, -1}, {-1, -1, -1, -1, -1});
    EXPECT_EQ(Shown(e), "A0 B1");
}

TEST(EditorWindow, HelpOpensTheEditedPathOrTheSelectedOne) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    std::vector<std::string> opened;
    e.OpenHelp = [&](const std::string& path, const std::string&) { opened.push_back(path); };
    e.SelectedConfigPath = [] { return std::string("config.txt\\kind"); };
    e.EditPath = "config.txt\\mesh-table\\default";
    e.EditHelpClick();
    e.EditPath.clear();
    e.EditHelpClick();
    EXPECT_EQ(opened, (std::vector<std::string>{"config.txt\\mesh-table\\default", "config.txt\\kind"}));
}

// "?" opens the help of the value the page shows: a kind changed from scenery to mesh is mesh's page.
TEST(EditorWindow, HelpFollowsTheValueOnThePage) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    std::vector<std::pair<std::string, std::string>> opened;
    e.OpenHelp = [&](const std::string& path, const std::string& value) { opened.emplace_back(path, value); };
    TTagSpec kind;
    kind.Format = "enum";
    kind.Source = ".";
    kind.Path = "config.txt\\kind";
    kind.Name = "kind";
    e.PreparedList = {"mesh", "scenery"};
    e.Record = kind;
    e.TagEditor(kind.Path, kind.Name, "scenery");
    e.EditHelpClick();
    e.EnumCombo->setCurrentIndex(e.EnumCombo->findText("mesh"));
    e.EditHelpClick();
    using Opened = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(opened, (Opened{{"config.txt\\kind", "scenery"}, {"config.txt\\kind", "mesh"}}));
}

// Each task opens at its own size: a KUID tag after the larger New Asset page is edited at 600 x 155.
TEST(EditorWindow, APageOpensAtItsOwnSizeAfterALargerTask) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    bed.state.UserKuidId = "77";
    std::filesystem::create_directories(bed.dir / "assets");
    TNewAssetFields fields{{"bridge", "scenery"}, "", "", bed.dir / "assets/", ""};
    WhenShown(e, [&] { e.bCancel->click(); });
    EXPECT_FALSE(e.NewAssetDialog(800170, "New Asset ", fields));

    TTagSpec kuid;
    kuid.Format = "kuid";
    kuid.Path = "config.txt\\kuid";
    kuid.Name = "kuid";
    e.Record = kuid;
    QSize shown;
    WhenShown(e, [&] {
        shown = e.size();
        e.bCancel->click();
    });
    e.TagEditor(kuid.Path, kuid.Name, "<kuid:77:1>");
    e.ShowModal();
    EXPECT_EQ(shown, QSize(600, 155));
}

// The chooser: a container it offers is added by OK, and the page says so; a list it offers shows its
// table at the list page's own size, the window staying where it is.
TEST(EditorWindow, TheChooserSaysWhatOkAddsAndGivesATableItsRoom) {
    EditorBed bed;
    TEditor& e = *bed.editor;
    e.ChooserRecordOf = [](const std::string& name) {
        TTagSpec spec;
        spec.Format = name == "mesh-table" ? "container" : "kuid-list";
        spec.Name = name;
        spec.Path = "config.txt\\" + name + "\\";
        return spec;
    };
    e.MultiTagEditor("config.txt\\", "mesh-table", {"mesh-table", "kuid-table"}, "Insert Tag");
    e.show();
    QApplication::processEvents();
    EXPECT_EQ(Shown(e), "A1 D0");
    EXPECT_EQ(e.MessageLabel->text(), "Insert Tag: mesh-table");
    const QPoint place = e.pos();
    e.IDCombo->setCurrentIndex(e.IDCombo->findText("kuid-table"));
    emit e.IDCombo->activated(e.IDCombo->currentIndex());
    QApplication::processEvents();
    EXPECT_EQ(Shown(e), "A1 E5");
    EXPECT_GE(e.width(), 640);
    EXPECT_GE(e.height(), 281);
    EXPECT_LE((e.pos() - place).manhattanLength(), 8) << "not moved to the mouse or centred";
    e.hide();
}

}  // namespace
}  // namespace kelvarn
