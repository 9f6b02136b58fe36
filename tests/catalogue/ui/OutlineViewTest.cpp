#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QEnterEvent>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTest>

#include "OutlineTestBed.h"
#include "catalogue/ui/StateIcons.h"
#include "shell/Strings.h"

namespace kelvarn {
namespace {

using test::OutlineBed;

QWidget* Viewport(OutlineBed& bed) { return bed.Tree()->viewport(); }

QPoint IconCentre(OutlineBed& bed, const std::string& path) { return bed.view->StateIconRect(bed.Node(path)).center(); }

QPoint LabelPoint(OutlineBed& bed, const std::string& path) {
    const QRect r = bed.Rect(path);
    return QPoint(r.left() + 40, r.center().y());
}

int TaggedRows(const TOutlineDocument& doc) {
    int n = 0;
    WalkRows(doc.Root(), [&](TOutlineNode* node, int) { n += node->HasFlag(nfTagged); });
    return n;
}

TEST(OutlineView, KeysAndIconClicksTag) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.view->ExpandNode(bed.document.Root());
    bed.Select("mesh-table\\default");
    QTest::keyClick(bed.Tree(), Qt::Key_Space);
    // The node, its children and its parents.
    EXPECT_TRUE(bed.Node("mesh-table\\default\\mesh")->HasFlag(nfTagged));
    EXPECT_TRUE(bed.Node("mesh-table")->HasFlag(nfTagged));
    EXPECT_TRUE(bed.document.Root()->HasFlag(nfTagged));
    EXPECT_FALSE(bed.Node("kind")->HasFlag(nfTagged));
    EXPECT_EQ(bed.document.TaggedCount(), 5);

    QTest::keyClick(bed.Tree(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(TaggedRows(bed.document), static_cast<int>(bed.document.RowCount()));
    EXPECT_EQ(bed.document.TaggedCount(), static_cast<int>(bed.document.RowCount()));
    QTest::keyClick(bed.Tree(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(bed.document.TaggedCount(), 0);

    // A left click on the state icon: the node with its parents; a right click: the node alone.
    QTest::mouseClick(Viewport(bed), Qt::LeftButton, {}, IconCentre(bed, "mesh-table\\default\\mesh"));
    EXPECT_TRUE(bed.Node("mesh-table\\default\\mesh")->HasFlag(nfTagged));
    EXPECT_TRUE(bed.Node("mesh-table")->HasFlag(nfTagged));
    QTest::mouseClick(Viewport(bed), Qt::RightButton, {}, IconCentre(bed, "kind"));
    EXPECT_TRUE(bed.Node("kind")->HasFlag(nfTagged));
    EXPECT_EQ(bed.document.TaggedCount(), 5);
    // A comment-marked node's icon does nothing.
    bed.document.ToggleMark(bed.Node("username"), tmComment, false);
    QTest::mouseClick(Viewport(bed), Qt::LeftButton, {}, IconCentre(bed, "username"));
    EXPECT_FALSE(bed.Node("username")->HasFlag(nfTagged));
    // Keys the tree would use for itself do nothing; letters jump.
    bed.Select("mesh-table");
    QTest::keyClick(bed.Tree(), Qt::Key_Asterisk);
    QTest::keyClick(bed.Tree(), Qt::Key_Minus);
    EXPECT_TRUE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(bed.Node("mesh-table"))));
    EXPECT_TRUE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(bed.Node("mesh-table\\default"))));
    QTest::keyClicks(bed.Tree(), "des");
    EXPECT_EQ(bed.view->Selected(), bed.Node("description"));
}

TEST(OutlineView, ColoursStrikeOutAndIconsFollowTheFlags) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.document.ToggleMark(bed.Node("username"), tmComment, false);
    bed.document.ToggleMark(bed.Node("bogey"), tmDelete, false);
    bed.document.SetNodeFlags(bed.Node("description"), nfError, 0);
    OutlineItemModel* model = bed.view->Model();
    auto fg = [&](const char* path) {
        return model->data(model->IndexOf(bed.Node(path)), Qt::ForegroundRole).value<QColor>().name().toStdString();
    };
    auto struck = [&](const char* path) {
        const QVariant font = model->data(model->IndexOf(bed.Node(path)), Qt::FontRole);
        return font.isValid() && font.value<QFont>().strikeOut();
    };
    EXPECT_EQ(fg("username"), "#800000");
    EXPECT_EQ(fg("bogey"), "#800000");
    EXPECT_EQ(fg("description"), "#ff0000");
    EXPECT_EQ(fg("kind"), "#707070");
    EXPECT_TRUE(struck("bogey"));
    EXPECT_FALSE(struck("username"));
    EXPECT_FALSE(struck("kind"));
    // Each flag code has its own picture.
    const QImage none = StateIcon(0).pixmap(16, 16).toImage();
    for (int code = 1; code < kStateIconCount; ++code) EXPECT_NE(StateIcon(code).pixmap(16, 16).toImage(), none) << code;
    EXPECT_EQ(model->data(model->IndexOf(bed.Node("bogey")), Qt::DecorationRole).value<QIcon>().cacheKey(),
              StateIcon(FlagsToImageIndex(nfDelete) - 1).cacheKey());
    // A colour scheme of the user's own is read at the next load.
    bed.state.Settings().WriteString("Colours", "Normal", "#112233,#FFFFFF");
    bed.Load(bed.Fixture("boxcar"));
    EXPECT_EQ(fg("kind"), "#112233");
}

TEST(OutlineView, F2EditIsStoredSafeAndTrackTypesReclassify) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    auto edit = [&](const char* path, const QString& text) {
        bed.Select(path);
        QTest::keyClick(bed.Tree(), Qt::Key_F2);
        QApplication::processEvents();  // F2 is posted
        auto* editor = bed.Tree()->viewport()->findChild<QLineEdit*>();
        if (!editor) return false;
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        return true;
    };
    ASSERT_TRUE(edit("description", "description \"a {b"));
    EXPECT_EQ(bed.Node("description")->Text(), "description \"a (b\"");
    EXPECT_TRUE(bed.Node("description")->HasFlag(nfModified));
    EXPECT_TRUE(bed.document.Modified());
    EXPECT_EQ(bed.document.UndoStack().Depth(), 1);
    EXPECT_TRUE(ContainsStr(bed.document.ConfigFileText(),
                            "description                               \"a (b\"\r\n"));
    QTest::qWait(300);
    EXPECT_EQ(bed.bus.Count(ccConfigEdited), 0);  // not a track-type tag

    // The kind, or a tag the kind analysis reads: 206 once the timer fires.
    ASSERT_TRUE(edit("kind", "kind bridge"));
    EXPECT_TRUE(bed.view->TETTimer().isActive());
    EXPECT_EQ(bed.bus.Count(ccConfigEdited), 0);
    QTest::qWait(400);
    EXPECT_EQ(bed.bus.Count(ccConfigEdited), 1);
    ASSERT_TRUE(edit("username", "bridge 1"));  // a track-type name
    QTest::qWait(400);
    EXPECT_EQ(bed.bus.Count(ccConfigEdited), 2);

    // Never on the root.
    bed.view->Select(bed.document.Root());
    QTest::keyClick(bed.Tree(), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(bed.Tree()->viewport()->findChild<QLineEdit*>(), nullptr);
}

TEST(OutlineView, DeleteAsksAndLeavesTheRoot) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.Select("bogey");
    QTest::keyClick(bed.Tree(), Qt::Key_Delete);
    EXPECT_TRUE(bed.Said("Delete Tag?"));
    EXPECT_EQ(bed.Node("bogey"), nullptr);
    bed.messages.answers.push_back(Answer::No);
    bed.Select("mesh-table");
    QTest::keyClick(bed.Tree(), Qt::Key_Delete);
    EXPECT_TRUE(bed.Said("Delete Container && Contents?"));
    EXPECT_NE(bed.Node("mesh-table"), nullptr);
    bed.messages.messages.clear();
    bed.view->Select(bed.document.Root());
    QTest::keyClick(bed.Tree(), Qt::Key_Delete);
    EXPECT_TRUE(bed.messages.messages.empty());
    EXPECT_EQ(bed.document.LineCount(), 14u);
}

TEST(OutlineView, UndoRestoresNodesMarksExpansionAndSelection) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.view->ExpandNode(bed.Node("thumbnails"));
    bed.document.ToggleMark(bed.Node("username"), tmComment, false);
    bed.document.ToggleMark(bed.Node("kind"), tmTag, true);
    bed.Select("thumbnails\\0\\width");
    const std::string before = bed.document.ConfigFileText();
    bed.Select("mesh-table");
    QTest::keyClick(bed.Tree(), Qt::Key_Delete);
    ASSERT_EQ(bed.Node("mesh-table"), nullptr);
    bed.Select("thumbnails\\0\\width");
    QTest::keyClick(bed.Tree(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(bed.document.ConfigFileText(), before);
    EXPECT_NE(bed.Node("mesh-table"), nullptr);
    EXPECT_TRUE(bed.Node("username")->HasFlag(nfComment));
    EXPECT_TRUE(bed.Node("kind")->HasFlag(nfTagged));
    EXPECT_EQ(bed.view->Selected(), bed.Node("thumbnails\\0\\width"));
    EXPECT_TRUE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(bed.Node("thumbnails\\0"))));
    EXPECT_FALSE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(bed.Node("mesh-table"))));
    EXPECT_FALSE(bed.document.CanUndo());
    // Ctrl+K takes a snapshot by hand.
    QTest::keyClick(bed.Tree(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(bed.document.CanUndo());
}

TEST(OutlineView, SaveThroughTheDialogAndAFailedSave) {
    OutlineBed bed;
    const std::string folder = bed.Fixture("boxcar");
    bed.Load(folder);
    const std::string original = test::ReadBytes(folder + "/config.txt");
    bed.document.ToggleMark(bed.Node("bogey"), tmComment, false);
    bed.document.PushUndo();

    // Cancelled: nothing written.
    std::string asked;
    bed.view->AskSaveFileName = [&](const std::string& f) {
        asked = f;
        return std::string();
    };
    bed.view->ExecuteCommand(ocSaveConfig);
    EXPECT_EQ(test::ReadBytes(folder + "/config.txt"), original);
    EXPECT_EQ(bed.bus.Count(ccFileSaved), 0);

    // A write that fails keeps the file, the snapshots and the mark, and says which file.
    bed.view->AskSaveFileName = [&](const std::string&) { return folder + "/config.txt"; };
    SetWriteFaultHook([](const std::string& path) {
        return EndsWith(path, "config.txt") ? std::size_t{12} : std::string::npos;
    });
    bed.view->ExecuteCommand(ocSaveConfig);
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(test::ReadBytes(folder + "/config.txt"), original);
    EXPECT_TRUE(bed.document.Modified());
    EXPECT_TRUE(bed.document.CanUndo());
    EXPECT_EQ(bed.bus.Count(ccFileSaved), 0);
    ASSERT_FALSE(bed.messages.messages.empty());
    EXPECT_TRUE(ContainsStr(bed.messages.messages.back(), "config.txt")) << bed.messages.messages.back();

    // Written: the program's layout, the comment-marked tag left out, 235 names the file, reloaded.
    bed.view->ExecuteCommand(ocSaveConfig);
    EXPECT_EQ(test::ReadBytes(folder + "/config.txt"),
              test::ReadBytes(std::string(KELVARN_TEST_DATA) + "/outline/boxcar-saved.txt"));
    EXPECT_EQ(bed.bus.Count(ccFileSaved, folder + "/config.txt"), 1);
    EXPECT_FALSE(bed.document.Modified());
    EXPECT_FALSE(bed.document.CanUndo());
    EXPECT_EQ(bed.Node("bogey"), nullptr);
}

TEST(OutlineView, CloseQueryAndAskToSave) {
    struct Case {
        Answer answer;
        bool closes;
        bool written;
    };
    for (const Case& c : {Case{Answer::Cancel, false, false}, Case{Answer::No, true, false}, Case{Answer::Yes, true, true}}) {
        OutlineBed bed;
        const std::string folder = bed.Fixture("boxcar");
        bed.Load(folder);
        const std::string original = test::ReadBytes(folder + "/config.txt");
        EXPECT_TRUE(bed.view->CloseQuery());  // nothing changed: no question
        EXPECT_TRUE(bed.messages.messages.empty());
        bed.document.ToggleMark(bed.Node("bogey"), tmComment, false);
        bed.messages.answers.push_back(c.answer);
        EXPECT_EQ(bed.view->CloseQuery(), c.closes);
        EXPECT_TRUE(bed.Said("Save Configuration: " + folder + "/config.txt?"));
        EXPECT_EQ(test::ReadBytes(folder + "/config.txt") != original, c.written);
    }
    OutlineBed bed;
    const std::string folder = bed.Fixture("boxcar");
    bed.Load(folder);
    bed.document.ToggleMark(bed.Node("bogey"), tmComment, false);
    bed.messages.answers.push_back(Answer::No);
    bed.view->QuerySave();
    EXPECT_TRUE(bed.Said("'" + folder + "/config.txt' may have changed.\r\rSave file to disc?"));
    EXPECT_FALSE(bed.document.Modified());
}

TEST(OutlineView, TheBusHearsChangesAndEntering) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.Select("kind");
    const int before = bed.bus.Count(ocContextMenu, "");
    QTest::keyClick(bed.Tree(), Qt::Key_Space);
    EXPECT_EQ(bed.bus.Count(ocContextMenu, ""), before + 1);
    bed.view->ExecuteCommand(ocMoveToBottom);
    EXPECT_GE(bed.bus.Count(ocContextMenu, ""), before + 2);
    const int entered = bed.bus.Count(ccHighlight, "OutlineView");
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(bed.view.get(), &enter);
    EXPECT_EQ(bed.bus.Count(ccHighlight, "OutlineView"), entered + 1);
    // The panels: the line count in panel 3, the kind in panel 4.
    EXPECT_GE(bed.bus.Count(ccStatusText, "3|Config: 15 lines"), 1);
    EXPECT_GE(bed.bus.Count(ccStatusText, "4|traincar"), 1);
}

TEST(OutlineView, SingleClickPicksDoubleClickEdits) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    std::vector<std::string> picked, edited;
    bed.view->ValuePicker = [&](TOutlineNode* n) { picked.push_back(n->Text()); };
    bed.view->EditTag = [&](TOutlineNode* n) { edited.push_back(n->Text()); };
    QTest::mouseClick(Viewport(bed), Qt::LeftButton, {}, LabelPoint(bed, "kind"));
    EXPECT_TRUE(picked.empty());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(picked, std::vector<std::string>{"kind traincar"});

    picked.clear();
    QTest::mouseDClick(Viewport(bed), Qt::LeftButton, {}, LabelPoint(bed, "username"));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(edited, std::vector<std::string>{"username \"Red boxcar\""});
    // Never the root, nor a node marked for deletion.
    bed.document.ToggleMark(bed.Node("bogey"), tmDelete, false);
    QTest::mouseDClick(Viewport(bed), Qt::LeftButton, {}, LabelPoint(bed, "bogey"));
    QTest::mouseDClick(Viewport(bed), Qt::LeftButton, {}, LabelPoint(bed, "config.txt"));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(edited.size(), 1u);
    EXPECT_TRUE(picked.empty());
}

TEST(OutlineView, CommandsFromTheMenuAndTheButtons) {
    OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.Select("mesh-table\\default");
    bed.view->Action("mCopyNode")->trigger();
    EXPECT_EQ(bed.bus.Count(ocCopyNode, "OutlineView"), 1);
    bed.view->ValidateMenu();
    EXPECT_TRUE(bed.view->Action("mPasteNodes")->isEnabled());
    bed.view->Action("mPasteNodes")->trigger();
    EXPECT_EQ(bed.Node("mesh-table")->ChildCount(), 2u);
    // Moves keep the node selected.
    bed.Select("kind");
    bed.view->Action("bMoveToTop")->trigger();
    EXPECT_EQ(bed.document.Root()->FirstChild(), bed.Node("kind"));
    EXPECT_EQ(bed.view->Selected(), bed.Node("kind"));
    bed.view->ValidateMenu();
    EXPECT_FALSE(bed.view->Action("bMoveUp")->isEnabled());
    EXPECT_TRUE(bed.view->Action("bMoveDown")->isEnabled());
    EXPECT_FALSE(bed.view->Action("mDelete")->isEnabled());  // kind
    // A right press on a label selects its node and opens the menu, whose states are brought up to
    // date first; one on a state icon opens nothing.
    const int before = bed.bus.Count(ocContextMenu, "");
    emit bed.Tree()->customContextMenuRequested(LabelPoint(bed, "username"));
    EXPECT_EQ(bed.view->Selected(), bed.Node("username"));
    EXPECT_TRUE(bed.view->ContextMenu()->isVisible());
    EXPECT_GE(bed.bus.Count(ocContextMenu, ""), before + 1);
    EXPECT_TRUE(bed.view->Action("mDelete")->isEnabled());
    bed.view->ContextMenu()->close();
    emit bed.Tree()->customContextMenuRequested(IconCentre(bed, "kuid"));
    EXPECT_FALSE(bed.view->ContextMenu()->isVisible());
    EXPECT_EQ(bed.view->Selected(), bed.Node("username"));
    bed.Select("kind");
    // The captions, as the menu shows them.
    EXPECT_EQ(bed.view->Action("mFindReplace")->text(), "Find && Replace");
    EXPECT_EQ(bed.view->Action("bUndoMark")->toolTip(), "Undo Mark");
    EXPECT_EQ(bed.view->Action("mDeleteMe")->data().toInt(), ocDeleteMe);
    // Increment KUID: offered for the user's own asset; otherwise the alert says why it cannot.
    bed.Select("kuid");
    bed.view->ValidateMenu();
    EXPECT_TRUE(bed.view->Action("mIncrementKUID")->isVisible());
    EXPECT_FALSE(bed.view->Action("mIncrementKUID")->isEnabled());
    bed.view->ExecuteCommand(ocIncrementKuid);
    EXPECT_TRUE(bed.view->Alert()->IsOpen());
    EXPECT_TRUE(StartsWith(bed.view->Alert()->Text(), "Your UserID is unknown")) << bed.view->Alert()->Text();
    bed.state.Settings().WriteString("UserData", "UserID", "604117");
    bed.view->ValidateMenu();
    bed.view->Action("mIncrementKUID")->trigger();
    EXPECT_EQ(bed.Node("kuid")->Text(), "kuid <kuid2:604117:1001:1>");
}

TEST(OutlineView, GaugeShowsOverLongWalksOnly) {
    OutlineBed bed;
    std::string config = "kind scenery\nbig\n{\n";
    for (int i = 0; i < 600; ++i) config += "  t" + std::to_string(i) + " " + std::to_string(i) + "\n";
    config += "}\n";
    bed.Load(bed.Asset("big", config));
    int shown = 0;
    bed.document.Progress = [&, original = bed.document.Progress](std::size_t done, std::size_t total) {
        shown += bed.view->Gauge()->isVisible();
        return original(done, total);
    };
    bed.view->ToggleMark(bed.Node("big"), tmTag, false);
    EXPECT_GT(shown, 0);
    EXPECT_FALSE(bed.view->Gauge()->isVisible());
    EXPECT_EQ(bed.document.TaggedCount(), 602);
}

// --- the adapter under Qt's own model checks

class WarningTrap {
public:
    WarningTrap() { previous_ = qInstallMessageHandler(&WarningTrap::Handler); }
    ~WarningTrap() { qInstallMessageHandler(previous_); }
    static std::vector<std::string>& Warnings() {
        static std::vector<std::string> warnings;
        return warnings;
    }

private:
    static void Handler(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg) Warnings().push_back(text.toStdString());
    }
    QtMessageHandler previous_;
};

TEST(OutlineItemModel, PassesTheModelTesterThroughEveryChange) {
    OutlineBed bed;
    WarningTrap trap;
    WarningTrap::Warnings().clear();
    QAbstractItemModelTester tester(bed.view->Model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    bed.Load(bed.Fixture("boxcar"));
    bed.view->ExpandNode(bed.Node("mesh-table"));
    bed.Select("mesh-table\\default\\mesh");
    TOutlineNode* kind = bed.Node("kind");
    for (int mode : {mmBottom, mmTop, mmDown, mmUp}) bed.document.MoveNode(kind, mode);
    bed.document.MoveNode(bed.Node("username"), mmDemote);  // into mesh-table
    bed.document.MoveNode(bed.Node("mesh-table\\username"), mmPromote);
    // The selection and the expansion stayed through the moves.
    EXPECT_EQ(bed.view->Selected(), bed.Node("mesh-table\\default\\mesh"));
    EXPECT_TRUE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(bed.Node("mesh-table\\default"))));
    bed.document.PushUndo();
    bed.document.DeleteByPath("bogey", false);
    TCopyList list;
    CopyNode(bed.document, bed.Node("thumbnails"), list);
    PasteNodes(bed.document, bed.Node("kuid"), list);
    bed.document.EditNodeText(bed.Node("description"), "description \"x\"");
    AlphaSortChildren(bed.document, bed.document.Root());
    bed.document.ToggleMark(bed.document.Root(), tmTag, false);
    bed.view->UndoLastChange();
    EXPECT_EQ(bed.view->Selected(), bed.Node("mesh-table\\default\\mesh"));
    EXPECT_TRUE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(bed.Node("mesh-table\\default"))));
    bed.view->ClearOutline();
    bed.Load(bed.Fixture("boxcar"));
    EXPECT_TRUE(WarningTrap::Warnings().empty()) << WarningTrap::Warnings().front();
}

}  // namespace
}  // namespace kelvarn

namespace kelvarn {
namespace {

TEST(OutlineView, EditsFromScriptsComeIntoViewAndOpen) {
    test::OutlineBed bed;
    bed.Load(bed.Fixture("boxcar"));
    bed.Tree()->collapseAll();
    TOutlineNode* mesh = bed.document.SetTagByPath("mesh-table\\default\\mesh", "changed.im");
    ASSERT_NE(mesh, nullptr);
    bed.document.MakeVisible(mesh);
    EXPECT_TRUE(bed.view->IsVisibleRow(mesh));

    bed.Tree()->collapseAll();
    TOutlineNode* table = bed.Node("mesh-table");
    bed.document.ExpandNode(table, false);
    EXPECT_TRUE(bed.Tree()->isExpanded(bed.view->Model()->IndexOf(table)));
    EXPECT_FALSE(bed.view->IsVisibleRow(mesh));  // one level only
    bed.document.ExpandNode(table, true);
    EXPECT_TRUE(bed.view->IsVisibleRow(mesh));
}

}  // namespace
}  // namespace kelvarn
