// Opens every top-level menu and sends every frame's group with an empty text, as the program does
// when a menu opens, with no asset and with a fixture asset, and compares each item's state with the
// state rules.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <algorithm>
#include <map>
#include <optional>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/FileList.h"
#include "catalogue/ListMenuRules.h"
#include "catalogue/OutlineMenuRules.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Macros.h"
#include "shell/MainMenuRules.h"
#include "shell/PathText.h"
#include "shell/ReportLog.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;
using test::WriteBytes;

// One item's expected state; what is unset is not looked at.
struct TWant {
    int group;  // 0: the main menu; else the frame's group
    const char* name;
    std::optional<bool> enabled = std::nullopt;
    std::optional<bool> visible = std::nullopt;
    std::optional<bool> checked = std::nullopt;
    const char* caption = nullptr;
};

struct TSeen {
    bool found = false, enabled = false, visible = false, checked = false;
    std::string caption;
};

class MenuWalk : public ::testing::Test {
protected:
    void Start(bool withAssets) {
        if (withAssets) {
            const std::string loco = bed.AssetRoot() + "/loco";
            fs::create_directories(loco);
            WriteBytes(loco + "/config.txt",
                       "kuid <kuid:12345:100>\r\nkind \"traincar\"\r\ntrainz-build 2.5\r\nname \"Loco\"\r\n"
                       "mesh-table\r\n{\r\n  default\r\n  {\r\n    auto-create 1\r\n  }\r\n}\r\n");
            WriteBytes(loco + "/Red.TGA", "not an image");
            WriteBytes(loco + "/horn.wav", "not a sound");
            const std::string route = bed.AssetRoot() + "/editing";
            fs::create_directories(route);
            WriteBytes(route + "/config.txt", "kuid <kuid:54321:7>\r\nkind \"profile\"\r\n");
        }
        bed.Start("\r\n[UserData]\r\nUserID=12345\r\n[KUID-Range]\r\n1=100,200\r\n", withAssets);
    }

    TMain& Main() { return bed.Main(); }
    TAssetCatalogue& Catalogue() { return bed.windows->Assets().Catalogue(); }
    TFileList& Files() { return bed.windows->Assets().Files(); }

    void SelectAsset(const std::string& name) {
        for (int i = 0; i < Catalogue().Count(); ++i)
            if (EndsWithText(ExcludeTrailingSeparator(Catalogue().Entry(i).folder), name)) Catalogue().SelectAsset(i);
        QApplication::processEvents();
    }
    void SelectFile(const std::string& name) {
        const int index = Files().IndexOf(name);
        ASSERT_GE(index, 0) << name;
        Files().SetCurrentFile(index);
        Files().ShowSelectedFile(true);
        QApplication::processEvents();
    }

    // As a user meets them: each top-level menu opens, each frame asks for its group's states, and a
    // callback brings the menu bar up to date.
    void OpenEverything() {
        for (QAction* top : Main().menuBar()->actions())
            if (QMenu* menu = top->menu()) emit menu->aboutToShow();
        for (int group : {2100, 2200, 2300, 2500, 2600, 2700}) Main().Bus().SendCommand(group, "");
        Main().Bus().SendCommand(ccNone, "");
    }

    QWidget* FrameOf(int group) {
        switch (group) {
            case 2100: return Main().Frame(TFrameId::AssetList)->Widget();
            case 2200: return Main().Frame(TFrameId::FileList)->Widget();
            case 2300: return Main().Frame(TFrameId::Outline)->Widget();
            default: return Main().Frame(TFrameId::Mesh)->Widget();
        }
    }

    TSeen Seen(const TWant& want) {
        TSeen seen;
        const QString name(want.name);
        QAction* action = nullptr;
        if (want.group == 0) {
            action = Main().MenuItem(name);
            if (!action)
                if (QMenu* menu = Main().TopMenu(name)) action = menu->menuAction();
        } else {
            QWidget* frame = FrameOf(want.group);
            for (QAction* a : frame->findChildren<QAction*>())
                if (a->objectName() == name) action = a;
            if (!action) {
                if (QWidget* widget = frame->findChild<QWidget*>(name)) {
                    seen = {true, widget->isEnabled(), !widget->isHidden(), false, widget->toolTip().toStdString()};
                    return seen;
                }
            }
        }
        if (!action) return seen;
        seen = {true, action->isEnabled(), action->isVisible(), action->isChecked(), action->text().toStdString()};
        return seen;
    }

    void Expect(const std::string& scene, std::initializer_list<TWant> table) {
        OpenEverything();
        for (const TWant& want : table) {
            const TSeen seen = Seen(want);
            const std::string where = scene + ": " + want.name;
            ASSERT_TRUE(seen.found) << where;
            if (want.enabled) EXPECT_EQ(seen.enabled, *want.enabled) << where << " enabled";
            if (want.visible) EXPECT_EQ(seen.visible, *want.visible) << where << " visible";
            if (want.checked) EXPECT_EQ(seen.checked, *want.checked) << where << " checked";
            if (want.caption) EXPECT_EQ(seen.caption, want.caption) << where << " caption";
        }
    }

    test::ProgramTestBed bed;
};

constexpr bool Y = true, N = false;

TEST_F(MenuWalk, NoAssetLoaded) {
    Start(false);
    Expect("no asset", {
        {0, "RepairMainMenu", N},
        {0, "ScriptMainMenu", N},
        {0, "TrainzBuildMenu", N},
        {0, "mClearTagged", N},
        {0, "mClearUntagged", N},
        {0, "mClearAll", N},
        {0, "mReplicate", N},
        {0, "mBackupAsset", N},
        {0, "mRestoreFile", N},
        {0, "mCreateNewImage", N},
        {0, "mPasteTagged", N},
        {0, "mScreenshot", N},
        {0, "mSaveImageAs", {}, N},
        {0, "mSaveTableAs", {}, N},
        {0, "mClone", N},
        {0, "mIncrementKUIDMain", N},
        {0, "mTagList", N},
        {0, "mAddUserTags", N},  // no asset id to match the user's
        {0, "mReloadHome", N},   // no home folder
        {0, "m2009Editing", {}, N},
        {0, "mGenerateKUID", Y},
        {0, "mThumbnails", N},
        {0, "mRepairAudio", N},
        {0, "mUserTags", N},
        {0, "mExplore", N},
        {0, "mAttachments", N},
        {0, "mCallHelp", N},
        {0, "mTooltips", {}, {}, Y},
        {0, "mTaggedScript", N},
        {0, "mMarkCurrent", N},
        {0, "mUnreferenced", N},
        {0, "mViewLog", N},
        {0, "mClearLog", N},
        {2100, "mClone", N},
        {2100, "bClearAll", N},
        {2100, "bSortAssets", N},
        {2200, "bRefresh", N},
        {2200, "mPlay", {}, N},
        {2200, "mPaste", N},
        {2600, "bBumps", N},  // no model shown
    });
}

TEST_F(MenuWalk, FixtureAssetLoaded) {
    Start(true);
    ASSERT_EQ(Catalogue().Count(), 2);
    SelectAsset("loco");
    SelectFile("config.txt");
    const std::string build = FormatBuild(bed.state.ActiveBuild());
    const std::string repairCaption = "Update Trainz-Build (" + build + ")";
    const std::string validateCaption = "Validate Tags (" + build + ")";
    const bool olderConfig = 25 < bed.state.ActiveBuild();
    Expect("asset", {
        {0, "RepairMainMenu", Y},
        {0, "ScriptMainMenu", Y},
        {0, "TrainzBuildMenu", Y},
        {0, "mClearTagged", N},
        {0, "mClearUntagged", Y},
        {0, "mClearAll", Y},
        {0, "mReplicate", N},
        {0, "mBackupAsset", Y},
        {0, "mRestoreAsset", Y},
        {0, "mBackupFile", Y},
        {0, "mRestoreFile", Y},
        {0, "mSaveTextAs", {}, Y},  // config.txt in the text view
        {0, "mSaveImageAs", {}, N},
        {0, "mSaveTableAs", {}, N},
        {0, "mCreateNewImage", Y},
        {0, "mRedTga", N},  // "Red.TGA" is there
        {0, "mBlueTga", Y},
        {0, "mScreenshot", Y},
        {0, "mClone", Y},
        {0, "mIncrementKUIDMain", Y},
        {0, "mTagList", Y},
        {0, "mAddUserTags", Y},
        {0, "mReloadHome", Y},
        {0, "m2004Custom", {}, N},
        {0, "mTS12Editing", {}, N},
        {0, "mGenerateKUID", Y},
        {0, "mCreateMeshTable", N},
        {0, "mUpdateBogies", Y},
        {0, "mUserTags", Y},
        {0, "mUpdateUsername", Y},
        {0, "mTrainzBuild", olderConfig, {}, {}, repairCaption.c_str()},
        {0, "mThumbnails", Y},
        {0, "mAssetFilename", N},
        {0, "mUpdateCamera", N},
        {0, "mRepairAudio", Y},
        {0, "mGroundplanes", Y},
        {0, "mMeshwright", Y},
        {0, "mTaggedScript", N},
        {0, "mMarkCurrent", Y, {}, {}, validateCaption.c_str()},
        {0, "mVerifyAll", Y},
        {0, "mMandatory", Y},
        {2100, "mClone", Y},
        {2100, "mCopy", Y},
        {2100, "mDelete", N},  // not in an editing folder
        {2100, "mCopyTagged", {}, N},
        {2100, "mDriver", {}, N},
        {2100, "bClearAll", Y},
        {2200, "bRefresh", Y},
        {2200, "mPlay", {}, N},
        {2200, "mCopy", Y},
        {2200, "mCutTagged", {}, N},
    });
}

TEST_F(MenuWalk, EdgeCasesOfTheRules) {
    Start(true);
    SelectAsset("loco");
    SelectFile("horn.wav");
    Expect("a sound file", {{2200, "mPlay", {}, Y}});

    // The viewer maximised: no repairs or scripts, the build menu stays.
    Main().ViewerMaximise(false);
    ASSERT_EQ(Main().Layout().mode, 2);
    Expect("mode 2", {{0, "RepairMainMenu", N}, {0, "ScriptMainMenu", N}, {0, "TrainzBuildMenu", Y}});
    Main().LeaveViewerMaximised();

    // Both assets tagged: the tagged items show; "Delete Tagged" is enabled as "Delete" is.
    Catalogue().CheckAll(true);
    Catalogue().CountTagged();
    Expect("tagged, outside editing", {
        {0, "mClearTagged", Y},
        {0, "mClearUntagged", N},
        {0, "mTaggedScript", Y},
        {2100, "mCopyTagged", {}, Y},
        {2100, "mDeleteTagged", N, Y},
    });
    SelectAsset("editing");
    Expect("tagged, in editing", {{2100, "mDelete", Y}, {2100, "mDeleteTagged", Y, Y}, {2100, "mDriver", {}, N}});
    // The simulator's own profile once "%trainz%" names the folder above it.
    bed.state.Paths.Trainz = bed.AssetRoot();
    Expect("simulator profile", {{2100, "mDriver", {}, Y}, {2100, "mSurveyor", {}, Y}, {2100, "mRailyard", {}, N}});
    bed.state.Paths.Trainz.clear();

    // Another author's asset cannot have its KUID incremented.
    Expect("another author", {{0, "mIncrementKUIDMain", N}, {0, "mUserTags", N}, {0, "mUpdateBogies", N}});

    // Today's log makes the log items available.
    WriteBytes(NativePath(LogFileName(bed.state)), "log\r\n");
    Expect("a log", {{0, "mViewLog", Y}, {0, "mClearLog", Y}});
}

TEST_F(MenuWalk, OutlineItemsFollowTheSelectedNode) {
    Start(true);
    SelectAsset("loco");
    TOutlineView& outline = bed.windows->Outline();
    TOutlineDocument& document = outline.Document();
    const TOutlineNode* table = document.FindChildByName(document.Root(), "mesh-table");
    ASSERT_TRUE(table && table->ChildCount() == 1);
    outline.Select(document.FindChildByName(document.Root(), "kind"));
    Expect("kind", {{2300, "mDelete", N, Y},
                    {2300, "mComment", Y, Y},
                    {2300, "mIncrementKUID", {}, N},
                    {2300, "bPromote", N},  // a top-level tag stays at the top
                    {2300, "mCopyNode", Y, Y}});
    outline.Select(table->Child(0));
    Expect("a container in a container", {{2300, "bPromote", Y}, {2300, "mDelete", Y, Y}, {2300, "mPromoteAll", Y, Y}});
    outline.Select(document.FindChildByName(document.Root(), "kuid"));
    Expect("kuid", {{2300, "mIncrementKUID", Y, Y}, {2300, "mOpenKUID", N, Y}});
    outline.Select(document.Root());
    Expect("root", {{2300, "mComment", {}, N}, {2300, "mCopyNode", {}, N}, {2300, "mSortTree", {}, Y}});
}

// A rule naming an item the menu does not hold would change nothing, silently.
TEST_F(MenuWalk, EveryItemTheRulesNameExists) {
    Start(false);
    std::vector<std::pair<int, std::vector<TMenuItemState>>> groups = {
        {0, MainBarMenuStates({})},           {0, FileMainMenuStates({})},
        {0, AssetMainMenuStates({})},         {0, RepairMainMenuStates({})},
        {0, ToolsMainMenuStates({})},         {0, HelpMainMenuStates({})},
        {0, ScriptMainMenuStates({})},        {0, DiagnosticsMainMenuStates({})},
        {2100, AssetListMenuStates({})},      {2200, FileListMenuStates({})},
        {2300, OutlineMenuStates({})},
    };
    for (const auto& [group, states] : groups)
        for (const TMenuItemState& s : states)
            EXPECT_TRUE(Seen({group, s.name.c_str()}).found) << group << " " << s.name;
}

// The access key of a caption: the character after the first single "&" ("&&" is an ampersand).
QChar AccessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

// Alt and a letter reach one item: no menu of the program gives two of its items one access key.
TEST_F(MenuWalk, NoMenuGivesTwoItemsOneAccessKey) {
    Start(true);
    SelectAsset("loco");
    SelectFile("config.txt");
    OpenEverything();
    std::vector<QWidget*> menus{Main().menuBar()};
    for (QWidget* window : QApplication::topLevelWidgets())
        for (QMenu* menu : window->findChildren<QMenu*>()) menus.push_back(menu);
    int walked = 0;
    for (QWidget* menu : menus) {
        std::map<QChar, QString> taken;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            const QChar key = AccessKey(action->text());
            if (key.isNull()) continue;
            const auto [at, fresh] = taken.emplace(key, action->text());
            EXPECT_TRUE(fresh) << menu->objectName().toStdString() << ": \"" << at->second.toStdString() << "\" and \""
                               << action->text().toStdString() << "\" share " << QString(key).toStdString();
        }
        ++walked;
    }
    // The menu bar, its menus and submenus, and the frames' context menus were all there.
    EXPECT_GE(walked, 15);
    for (const char* name : {"FileMainMenu", "ScriptMainMenu", "TrainzBuildMenu", "HelpMainMenu"})
        EXPECT_TRUE(std::any_of(menus.begin(), menus.end(), [name](QWidget* m) { return m->objectName() == name; })) << name;
}

TEST_F(MenuWalk, OpeningTheOptionsMenuChangesNothing) {
    Start(true);
    SelectAsset("loco");
    OpenEverything();
    auto snapshot = [this] {
        std::vector<std::string> states;
        for (QAction* a : Main().menuBar()->findChildren<QAction*>())
            states.push_back(a->objectName().toStdString() + (a->isEnabled() ? "+" : "-") + (a->isVisible() ? "v" : "h") +
                             a->text().toStdString());
        return states;
    };
    const auto before = snapshot();
    emit Main().TopMenu("OptionsMainMenu")->aboutToShow();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(MenuWalk, OpenDependencySelectsTheListedAsset) {
    Start(true);
    SelectAsset("loco");
    TOutlineDocument& document = bed.windows->Outline().Document();
    TOutlineNode* kind = document.FindChildByName(document.Root(), "kind");
    ASSERT_NE(kind, nullptr);
    // A dependency on the other listed asset.
    TOutlineNode* node = document.InsertNode(document.Root(), 0, "dependency <kuid:54321:7>", false);
    bed.windows->Outline().Select(node);
    Main().Dispatcher().ExecuteMenuCommand(2329, "OutlineView");
    QApplication::processEvents();
    EXPECT_TRUE(EndsWithText(ExcludeTrailingSeparator(bed.state.AssetPath()), "editing")) << bed.state.AssetPath();
}

}  // namespace
}  // namespace kelvarn
