// The editor window as src/app/ wires it: the asset list's rename asks in it, and a batch over tagged
// assets runs in its outline and is reviewed on its Accept/Reject page.
#include <QAction>
#include <QTest>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/Editor.h"
#include "catalogue/ui/OutlineItemModel.h"
#include "catalogue/ui/OutlineView.h"
#include "media/GridModel.h"
#include "media/ui/GridView.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/XEdit.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

void WriteAsset(const std::string& folder, const std::string& kuid) {
    test::WriteBytes(folder + "/config.txt", "kind \"scenery\"\r\nkuid " + kuid + "\r\nusername \"Shed\"\r\n");
}

// Acts on the editor each time its modal loop starts, up to `times` times.
void EachTimeShown(TEditor& editor, int times, std::function<void(int)> act) {
    auto* timer = new QTimer(&editor);
    timer->setInterval(5);
    auto count = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, &editor, [&editor, act, count, times, timer] {
        if (!editor.isVisible() || QApplication::activeModalWidget() != &editor) return;
        act((*count)++);
        if (*count >= times) timer->stop();
    });
    timer->start();
}

TEST(EditorWiring, TheAssetListRenamesThroughTheEditorsInputLine) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/shed", "<kuid:1:1>");
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    TEditor& editor = bed.windows->Editor();
    std::string caption, prompt, value;
    EachTimeShown(editor, 1, [&](int) {
        caption = editor.windowTitle().toStdString();
        prompt = editor.PLabel->text().toStdString();
        value = editor.StringValue->text().toStdString();
        editor.StringValue->setText("barn");
        editor.bOK->click();
    });
    bed.Main().Bus().SendCommand(2112, "AssetList");  // the list's Rename item
    QApplication::processEvents();
    EXPECT_EQ(caption, "Rename Asset Folder");
    EXPECT_EQ(prompt, "New Name:");
    EXPECT_EQ(value, "shed");
    EXPECT_TRUE(fs::exists(bed.AssetRoot() + "/barn/config.txt"));
    EXPECT_FALSE(fs::exists(bed.AssetRoot() + "/shed"));
}

TEST(EditorWiring, ABatchIsReviewedInTheEditor) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/a", "<kuid:1:1>");
    WriteAsset(bed.AssetRoot() + "/b", "<kuid:1:2>");
    WriteAsset(bed.AssetRoot() + "/c", "<kuid:1:3>");
    test::WriteBytes(bed.dir / "program/bin/replicate.txt", "Look at it.\r\n");
    bed.Start();
    bed.state.Settings().WriteString("Options", "Preview", "1");
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 3);
    list.SelectAsset(0);
    list.SetTagged(1, true);
    list.SetTagged(2, true);
    const std::string b = list.Entry(1).folder, c = list.Entry(2).folder;
    const std::string before = test::ReadBytes(c + "/config.txt");
    const std::string script = bed.dir / "program/touch.kvm";
    test::WriteBytes(script, "-update|description|batched\r\n");
    bed.windows->Scripts().Host().AskFileHook = [&](const std::string&, const std::string&, const std::string&) { return script; };

    TEditor& editor = bed.windows->Editor();
    std::vector<std::string> captions, alerts, descriptions;
    std::vector<bool> previewShown, modeOn;
    EachTimeShown(editor, 2, [&](int n) {
        captions.push_back(editor.windowTitle().toStdString());
        alerts.push_back(editor.OutlineView().Alert()->Text());
        descriptions.push_back(editor.Outline().GetValueByPath("config.txt\\description"));
        previewShown.push_back(editor.cbPreview->isVisible());
        modeOn.push_back(bed.windows->Scripts().Unit().ScriptMode() && editor.ScriptMode && editor.ScriptMode());
        EXPECT_TRUE(editor.OutlineView().ReadOnly());
        EXPECT_TRUE(editor.bOK->isVisible());
        (n == 0 ? editor.bOK : editor.bCancel)->click();  // accept the first, reject the second
    });
    bed.Main().MenuItem("mTaggedScript")->trigger();
    QApplication::processEvents();

    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0], "Preview: " + b);
    EXPECT_EQ(captions[1], "Preview: " + c);
    EXPECT_EQ(alerts[0], "Look at it.");
    EXPECT_EQ(descriptions[0], "batched");
    EXPECT_EQ(previewShown, (std::vector<bool>{true, false})) << "nothing to preview after the last asset";
    EXPECT_EQ(modeOn, (std::vector<bool>{true, true}));
    EXPECT_NE(test::ReadBytes(b + "/config.txt").find("batched"), std::string::npos) << "accepted: saved";
    EXPECT_EQ(test::ReadBytes(c + "/config.txt"), before) << "rejected: left as it was";
    EXPECT_FALSE(bed.windows->Scripts().Unit().ScriptMode());
}

// A config with a string-list inside a queue, loaded into the main outline.
struct QueueBed : test::ProgramTestBed {
    TOutlineView* outline = nullptr;
    QueueBed() {
        test::WriteBytes(AssetRoot() + "/yard/config.txt",
                         "kind \"scenery\"\r\nkuid <kuid:1:1>\r\nusername \"Yard\"\r\nqueues\r\n{\r\n"
                         "  coal\r\n  {\r\n    conflicts-with-queues\r\n    {\r\n      0 \"a\"\r\n      1 \"b\"\r\n"
                         "    }\r\n  }\r\n}\r\n");
        Start();
        windows->Assets().Catalogue().SelectAsset(0);
        QApplication::processEvents();
        outline = &windows->Outline();
        outline->ExpandNode(outline->Document().Root());
        QApplication::processEvents();
    }
    TOutlineNode* Node(const std::string& path) { return outline->Document().FindNodeByPath(path); }
    QPoint Label(const std::string& path) {
        const QRect r = outline->Tree()->visualRect(outline->Model()->IndexOf(Node(path)));
        return QPoint(r.left() + 40, r.center().y());
    }
};

TEST(EditorWiring, DoubleClickOnAStringListEditsItsRowsWithUndo) {
    QueueBed bed;
    const std::string list = "config.txt\\queues\\coal\\conflicts-with-queues";
    ASSERT_NE(bed.Node(list), nullptr);
    TEditor& editor = bed.windows->Editor();
    std::string shown;
    EachTimeShown(editor, 1, [&](int) {
        for (int s = 0; s < kEditorSections; ++s)
            if (editor.ShownPage(s) >= 0) shown += char('A' + s) + std::to_string(editor.ShownPage(s)) + " ";
        GridModel& grid = static_cast<TGridView&>(editor.TableView()).Grid();
        EXPECT_EQ(grid.Cell(GridModel::kFixedCols, 0), "Tag");
        EXPECT_EQ(grid.Cell(GridModel::kFixedCols + 1, 0), "Queue");
        grid.SetCell(GridModel::kFixedCols + 1, 2, "c");
        editor.bOK->click();
    });
    QTest::mouseDClick(bed.outline->Tree()->viewport(), Qt::LeftButton, {}, bed.Label(list));
    QApplication::processEvents();
    EXPECT_EQ(shown, "A0 E5 ");
    EXPECT_EQ(bed.outline->Document().GetValueByPath(list + "\\1"), "c");
    EXPECT_EQ(bed.outline->Document().GetValueByPath(list + "\\0"), "a");
    bed.outline->Select(bed.Node(list));
    QTest::keyClick(bed.outline->Tree(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(bed.outline->Document().GetValueByPath(list + "\\1"), "b") << "Ctrl+Z restores the rows";
}

TEST(EditorWiring, InsertOffersAbsentTagsAndSelectsTheNewOne) {
    QueueBed bed;
    TEditor& editor = bed.windows->Editor();
    std::vector<std::string> offered;
    std::string caption;
    EachTimeShown(editor, 1, [&](int) {
        caption = editor.windowTitle().toStdString();
        for (int i = 0; i < editor.IDCombo->count(); ++i) offered.push_back(editor.IDCombo->itemText(i).toStdString());
        editor.IDCombo->setCurrentIndex(editor.IDCombo->findText("size"));
        emit editor.IDCombo->activated(editor.IDCombo->currentIndex());
        editor.NumberValue->setValue(12);
        editor.bOK->click();
    });
    bed.outline->Select(bed.Node("config.txt\\queues\\coal"));
    QTest::keyClick(bed.outline->Tree(), Qt::Key_Insert, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(caption, "Add Tag to Container");
    EXPECT_NE(std::find(offered.begin(), offered.end(), "size"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "conflicts-with-queues"), offered.end()) << "present: not offered";
    const TOutlineNode* added = bed.Node("config.txt\\queues\\coal\\size");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Text(), "size 12");
    EXPECT_EQ(bed.outline->Selected(), added);

}

}  // namespace
}  // namespace kelvarn
