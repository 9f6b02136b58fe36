#include <gtest/gtest.h>

#include "shell/Dispatcher.h"
#include "shell/MessageRouting.h"
#include "shell/ProgramState.h"
#include "shell/ViewerChoice.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

// A receiver wired as the main window wires it, recording what each message did.
class StatusRecorder final : public IStatusDisplay {
public:
    std::string caption;
    std::string panels[kStatusPanelCount];
    int changes = 0;
    void SetCaption(const std::string& c) override { caption = c, ++changes; }
    void SetPanelText(int panel, const std::string& t) override { panels[panel] = t, ++changes; }
};

class Receiver : public ::testing::Test {
protected:
    Receiver() : dispatcher(state) {
        state.Messages = &messages;
        state.CommandTarget = &bus;
        bus.SetReceiver(&dispatcher);
        dispatcher.Status = &status;
        dispatcher.OnLoadFolder = [this](const std::string& f) { folders.push_back(f); };
        dispatcher.AddMenuValidator([this](int group) { groups.push_back(group); });
    }
    TProgramState state;
    test::RecordingMessageSink messages;
    TCommandBus bus;
    TDispatcher dispatcher;
    StatusRecorder status;
    std::vector<std::string> folders;
    std::vector<int> groups;
};

TEST_F(Receiver, CmpTextLoadsTheFolderWhateverTheCode) {
    struct Case {
        int code;
        std::string text;
        std::vector<std::string> loaded;
    };
    const Case cases[] = {
        {1, "-CMP /x", {"/x"}},        // the second instance's hand-over
        {2, "-CMP /x", {"/x"}},        // not a status text
        {1500, "-CMP /x", {"/x"}},     // not a command
        {1, "-CMPX/x", {"/x"}},        // the folder starts at the sixth character, whatever the fifth
        {1, "-cmp /x", {}},            // lower case is no load request
        {1, "-CMP", {}},               // bare: nothing to scan
        {1, "-CMP   ", {}},            // blank folder
        {1, "/home/me/assets ", {}},   // a folder only: nothing
    };
    for (const Case& c : cases) {
        folders.clear();
        messages.messages.clear();
        bus.SendCommand(c.code, c.text);
        EXPECT_EQ(folders, c.loaded) << c.code << " " << c.text;
        EXPECT_TRUE(messages.messages.empty()) << c.text;
    }
}

TEST_F(Receiver, CommandNumbersRunRowsOrUpdateTheirGroup) {
    std::vector<std::string> ran;
    dispatcher.RegisterCommand(1504, [&](const std::string& t) { ran.push_back(t); });
    int alertsClosed = 0;
    dispatcher.OnBeforeCommand = [&](int) { ++alertsClosed; };

    bus.SendCommand(1500, "");  // empty text: the Help menu's state
    EXPECT_EQ(groups, std::vector<int>{1500});
    bus.SendCommand(1550, "");  // any number of the hundred selects the group
    EXPECT_EQ(groups.back(), 1500);
    bus.SendCommand(1500, "HelpMainMenu");  // with a text: runs 1500, which has no row
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Undefined Command Token: 1500"});
    bus.SendCommand(1504, "mReleaseNotes");
    EXPECT_EQ(ran, std::vector<std::string>{"mReleaseNotes"});
    EXPECT_EQ(alertsClosed, 2);
}

TEST_F(Receiver, CallbacksRevalidateGroupZeroAndReportUnknownCodes) {
    std::vector<std::string> shown;
    dispatcher.RegisterCallback(ccShowText, [&](const std::string& t) { shown.push_back(t); });
    bus.SendCommand(ccShowText, "hello");
    EXPECT_EQ(shown, std::vector<std::string>{"hello"});
    EXPECT_EQ(groups, std::vector<int>{0});
    bus.SendCommand(225, "");
    bus.SendCommand(ccInstance, "/home/me/folder ");  // does nothing, says nothing
    bus.SendCommand(3, "anything");                    // ignored, not even revalidated
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Callback Command Undefined: 225"});
    EXPECT_EQ(groups.size(), 3u);
}

TEST_F(Receiver, NestedSendsFinishInsideTheSender) {
    std::vector<std::string> order;
    dispatcher.RegisterCallback(ccSelectAsset, [&](const std::string&) {
        order.push_back("201 begins");
        bus.SendCommand(ccShowPreview, "");
        order.push_back("201 ends");
    });
    dispatcher.RegisterCallback(ccShowPreview, [&](const std::string&) { order.push_back("221"); });
    bus.SendCommand(ccSelectAsset, "");
    EXPECT_EQ(order, (std::vector<std::string>{"201 begins", "221", "201 ends"}));
}

TEST_F(Receiver, SendBeforeTheTargetIsSetDoesNothing) {
    TCommandBus unattached;
    unattached.SendCommand(225, "");
    unattached.SendCommandToHandle(ccStatusText, "0|x");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Receiver, StatusTextsGoToTheirPanels) {
    struct Case {
        std::string text;
        int panel;
        std::string shown;
    };
    const Case cases[] = {
        {"0|ready", 0, "ready"},
        {"1|12 assets", 1, "12 assets"},
        {"2|texture.tga@12", 4, "texture.tga"},
        {"2|*Error*", 4, "Tag error report"},
        {"2|*Error*@3", 4, "Tag error report"},
        {"3|mesh", 2, "mesh"},
        {"4|scenery", 3, "SCENERY"},
        {"0|a|b", 0, "a|b"},  // everything after the first bar
        {"1|", 1, ""},
    };
    for (const Case& c : cases) {
        state.SendStatusText(0, "");  // reset panel 0 through the same path
        bus.SendCommand(ccStatusText, c.text);
        EXPECT_EQ(status.panels[c.panel], c.shown) << c.text;
    }
}

TEST_F(Receiver, BadTargetsChangeNothing) {
    for (const char* text : {"x|text", "|text", "9|text", "-2|text", "$2|text", "99999999999999|text", ""}) {
        status.changes = 0;
        EXPECT_NO_THROW(bus.SendCommand(ccStatusText, text));
        EXPECT_EQ(status.changes, 0) << text;
    }
}

TEST_F(Receiver, CaptionNamesTheActiveBuildAndFallsBackToTheTagline) {
    state.Settings().WriteString("Builds", "3.5", "2012");
    state.SetActiveBuild(35);
    bus.SendCommand(ccStatusText, "-1|");
    EXPECT_EQ(status.caption, " Kelvarn  [Version: 2012]  " + std::string(kTagline));
    EXPECT_EQ(kTagline.size(), 54u);
    state.SetAssetPath("C:\\Assets\\car");
    bus.SendCommand(ccStatusText, "-1|C:\\Assets\\car");
    EXPECT_EQ(status.caption, " Kelvarn  [Version: 2012]  C:\\Assets\\car");
    state.SetActiveBuild(99);  // no name for it
    bus.SendCommand(ccStatusText, "-1|x");
    EXPECT_EQ(status.caption, " Kelvarn  [Version: ]  x");
}

TEST_F(Receiver, ClosingIgnoresStatusTexts) {
    dispatcher.Closing = true;
    bus.SendCommand(ccStatusText, "0|late");
    bus.SendCommand(ccStatusText, "-1|late");
    EXPECT_EQ(status.changes, 0);
}

TEST(ViewerChoice, ByNameAndExtension) {
    struct Case {
        const char* path;
        TViewerChoice viewer;
    };
    const Case cases[] = {
        {"/a/film.txt", TViewerChoice::Text},  // not a level-of-detail file
        {"/a/helm.txt", TViewerChoice::Text},
        {"/a/a.texture.txt", TViewerChoice::TextureDescriptor},
        {"/a/A.LM.TXT", TViewerChoice::LevelOfDetail},
        {"/a/A.TGA", TViewerChoice::Image},
        {"/a/body.texture", TViewerChoice::Image},
        {"/a/b.im", TViewerChoice::Mesh},
        {"/a/b.PM", TViewerChoice::Mesh},
        {"/a/anim.kin", TViewerChoice::BinaryText},
        {"/a/m.trainzmesh", TViewerChoice::TrainzMesh},
        {"/a/config.txt", TViewerChoice::Text},
        {"/a/page.htm", TViewerChoice::Text},  // the list is tested as text: ".htm" is in ".html"
        {"/a/s.gs", TViewerChoice::Text},
        {"/a/horn.wav", TViewerChoice::AudioOnly},
        {"/a/README", TViewerChoice::None},
        {"/a/odd.", TViewerChoice::None},
        {"/a/x.doc", TViewerChoice::None},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseViewer(c.path), c.viewer) << c.path;
}

TEST(ViewerChoice, ShowFileSteps) {
    TShowFileInputs in;
    in.path = "/a/config.txt";
    TShowFilePlan plan = PlanShowFile(in);
    EXPECT_FALSE(plan.stop);
    EXPECT_TRUE(plan.askToSave);
    EXPECT_EQ(plan.viewer, TViewerChoice::Text);
    EXPECT_TRUE(plan.configFile);

    in.fileExists = false;
    plan = PlanShowFile(in);
    EXPECT_TRUE(plan.stop);
    EXPECT_EQ(plan.alert, "File not found: /a/config.txt");

    in.fileExists = true;
    in.layoutMode = 1;  // outline maximised: nothing shows
    in.path = "/a/horn.mp3";
    in.autoplay = true;
    plan = PlanShowFile(in);
    EXPECT_TRUE(plan.play);
    EXPECT_TRUE(plan.stop);
    EXPECT_FALSE(plan.askToSave);

    in.layoutMode = 0;
    in.path = "/a/b.txt";
    in.activeIsFileViewer = true;
    in.activeShownFile = "/a\\b.txt";
    in.currentAssetFile = "/a\\b.txt";  // already shown
    EXPECT_TRUE(PlanShowFile(in).stop);
    in.currentAssetFile = "/a\\c.txt";
    EXPECT_FALSE(PlanShowFile(in).stop);
    EXPECT_FALSE(PlanShowFile(in).configFile);
}

TEST(ViewerChoice, SaveTargets) {
    EXPECT_EQ(SaveTargetFor("/a/b.texture.txt"), TSaveTarget::TextureDescriptor);
    EXPECT_EQ(SaveTargetFor("/a/b.LM.txt"), TSaveTarget::LevelOfDetail);
    EXPECT_EQ(SaveTargetFor("/a/film.txt"), TSaveTarget::Text);
    EXPECT_EQ(SaveTargetFor("/a/s.GS"), TSaveTarget::Text);
    EXPECT_EQ(SaveTargetFor("/a/b.jpg"), TSaveTarget::Image);
    EXPECT_EQ(SaveTargetFor("/a/page.htm"), TSaveTarget::None);
    EXPECT_EQ(SaveTargetFor("/a/noext"), TSaveTarget::None);
}

TEST(ViewerChoice, SavedFilesRelativeToTheAssetFolder) {
    test::TempDir dir;
    test::WriteBytes(dir / "car/sub/x.txt", "x");
    test::WriteBytes(dir / "other/y.txt", "y");
    const std::string asset = dir / "car";
    EXPECT_EQ(AssetRelativePath(dir / "car/sub/x.txt", asset), "sub/x.txt");
    EXPECT_EQ(AssetRelativePath(dir / "car/./sub/../sub/x.txt", asset + "/"), "sub/x.txt");
    EXPECT_EQ(AssetRelativePath(dir / "other/y.txt", asset), std::nullopt);
    EXPECT_EQ(AssetRelativePath(dir / "car2/z.txt", asset), std::nullopt);  // a longer name is no child
    EXPECT_EQ(AssetRelativePath(asset, asset), std::nullopt);
    EXPECT_EQ(AssetRelativePath(dir / "car/x.txt", ""), std::nullopt);

    // A viewer frame names the file relative to the asset; the outline names its config in full.
    TSavedFile saved = FileSavedTarget("sub/x.txt", asset);
    EXPECT_EQ(saved.assetFolder, asset);
    EXPECT_EQ(saved.file, "sub/x.txt");
    EXPECT_TRUE(saved.byViewer);
    saved = FileSavedTarget(dir / "other/y.txt", asset);
    EXPECT_EQ(saved.assetFolder, dir / "other");
    EXPECT_EQ(saved.file, "y.txt");
    saved = FileSavedTarget(dir / "car/sub/x.txt", asset);
    EXPECT_EQ(saved.assetFolder, asset);
    EXPECT_EQ(saved.file, "sub/x.txt");
    EXPECT_FALSE(saved.byViewer);
}

}  // namespace
}  // namespace kelvarn
