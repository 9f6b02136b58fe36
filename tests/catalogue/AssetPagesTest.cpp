// New Asset, Clone and the clone's identity on the outline, and the checks of their pages, in
// temporary folders with canned page answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/AssetPages.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class FakePages final : public IAssetPages {
public:
    struct Shown {
        int size = 0;
        std::string caption;
    };
    std::vector<Shown> shown;
    TNewAssetFields newFields;
    TCloneFields cloneFields;
    std::function<void(TNewAssetFields&)> editNew;
    std::function<void(TCloneFields&)> editClone;
    bool ok = true;

    bool NewAssetDialog(int size, const std::string& caption, TNewAssetFields& fields) override {
        shown.push_back({size, caption});
        newFields = fields;
        if (editNew) editNew(fields);
        return ok;
    }
    bool CloneAssetDialog(int size, const std::string& caption, TCloneFields& fields) override {
        shown.push_back({size, caption});
        cloneFields = fields;
        if (editClone) editClone(fields);
        return ok;
    }
};

constexpr const char* kBridgeConfig =
    "kuid                                      <kuid:1:2>\r\n"
    "username                                  \"Iron bridge\"\r\n"
    "description                               \"A bridge\r\nover water\"\r\n"
    "kind                                      \"scenery\"\r\n";

class NewAndClone : public ::testing::Test {
protected:
    NewAndClone() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Paths.Build = "3.5";
        ini = dir / "program/kelvarn.ini";
        test::WriteBytes(ini, "[UserData]\r\nUserID=77\r\n[Options]\r\nNextCloneID=8000\r\n");
        state.OpenSettings(ini);
        source = NativePath(dir / "assets/bridge");
        test::WriteBytes(source + "/config.txt", kBridgeConfig);
        test::WriteBytes(source + "/mesh/bridge.im", "mesh");
        state.SetAssetPath(source);
        EXPECT_EQ(doc.LoadConfig(source), "");
        parent = NativePath(dir / "assets/");
    }

    void Settings(const std::string& text) {
        test::WriteBytes(ini, text);
        state.OpenSettings(ini);
    }
    std::vector<std::pair<int, std::string>> Sent(int code) const {
        std::vector<std::pair<int, std::string>> out;
        for (const auto& s : bus.sent)
            if (s.first == code) out.push_back(s);
        return out;
    }
    std::vector<std::string> Entries(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The asset list's part: the copy is listed and selected, which loads it, then 242 comes.
    void ListAndFinish(const std::string& folder) {
        state.SetAssetPath(folder);
        ASSERT_EQ(doc.LoadConfig(folder), "");
        doc.FinishClone(folder, kuids);
    }

    test::TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TOutlineDocument doc{state};
    TKuidMap kuids;
    FakePages pages;
    std::string ini, source, parent;
};

TEST_F(NewAndClone, MissingOrNonIntegerIdsStopBeforeAnyDialog) {
    const std::string newMessage = "Options/UserData/TRS User ID\rmust be set before new assets can be created";
    const std::string cloneMessage = "Options/NextCloneID and Options/UserData/TRS User ID\rmust be set before assets can be cloned";
    struct Case {
        const char* ini;
        bool newRefused;
        bool cloneRefused;
    } cases[] = {
        {"[Options]\r\nNextCloneID=8000\r\n", true, true},
        {"[UserData]\r\nUserID=abc\r\n[Options]\r\nNextCloneID=8000\r\n", true, true},
        {"[UserData]\r\nUserID=77\r\n", false, false},  // no number stored: the 8000 the dialog shows
        {"[UserData]\r\nUserID=77\r\n[Options]\r\nNextCloneID=12x\r\n", false, true},
        {"[UserData]\r\nUserID=ERROR\r\n[Options]\r\nNextCloneID=ERROR\r\n", true, true},
    };
    for (const Case& c : cases) {
        Settings(c.ini);
        messages.messages.clear();
        pages.shown.clear();
        pages.ok = false;
        doc.NewAsset(pages);
        doc.CloneAsset(pages);
        std::vector<std::string> expected;
        if (c.newRefused) expected.push_back(newMessage);
        if (c.cloneRefused) expected.push_back(cloneMessage);
        EXPECT_EQ(messages.messages, expected) << c.ini;
        EXPECT_EQ(pages.shown.size(), (c.newRefused ? 0u : 1u) + (c.cloneRefused ? 0u : 1u)) << c.ini;
    }
    EXPECT_EQ(Entries(parent), (std::vector<std::string>{"bridge"}));
    EXPECT_TRUE(Sent(ccAddNewAsset).empty());
}

TEST_F(NewAndClone, NewAssetMakesAConfigThatLoads) {
    state.AssetKinds = {"bridge", "scenery"};
    pages.editNew = [](TNewAssetFields& f) {
        f.kuid = "<kuid:77:5>";
        f.kind = "scenery";
        f.folderName = "new/one";
    };
    doc.NewAsset(pages);
    ASSERT_EQ(pages.shown.size(), 1u);
    EXPECT_EQ(pages.shown[0].size, 800170);
    EXPECT_EQ(pages.shown[0].caption, "New Asset ");
    EXPECT_EQ(pages.newFields.kinds, state.AssetKinds);
    EXPECT_EQ(pages.newFields.location, parent);
    EXPECT_EQ(pages.newFields.folderName, "");
    const std::string folder = parent + "new/one";
    EXPECT_EQ(Sent(ccAddNewAsset), (std::vector<std::pair<int, std::string>>{{ccAddNewAsset, folder}}));
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"config.txt"}));
    TOutlineDocument reloaded(state);
    ASSERT_EQ(reloaded.LoadConfig(folder), "");
    EXPECT_EQ(reloaded.GetValueByPath("config.txt\\kuid"), "<kuid:77:5>");
    EXPECT_EQ(reloaded.GetValueByPath("config.txt\\kind"), "scenery");
    EXPECT_TRUE(ContainsStr(test::ReadBytes(folder + "/config.txt"), "\"scenery\"\r\n"));
    EXPECT_EQ(reloaded.LineCount(), 2u);

    // The same again: the folder exists by now, so nothing is replaced.
    const std::string before = test::ReadBytes(folder + "/config.txt");
    pages.editNew = [](TNewAssetFields& f) {
        f.kuid = "<kuid:77:6>";
        f.kind = "bridge";
        f.folderName = "new/one";
    };
    doc.NewAsset(pages);
    EXPECT_EQ(messages.messages.back(), "Folder name already exists or is invalid");
    EXPECT_EQ(test::ReadBytes(folder + "/config.txt"), before);
    EXPECT_EQ(Sent(ccAddNewAsset).size(), 1u);
}

TEST_F(NewAndClone, CloneProposesItsFieldsAndFinishesWithTheNewIdentity) {
    const std::string sourceBytes = test::ReadBytes(source + "/config.txt");
    doc.CloneAsset(pages);
    ASSERT_EQ(pages.shown.size(), 1u);
    EXPECT_EQ(pages.shown[0].size, 800275);
    EXPECT_EQ(pages.shown[0].caption, "Clone: " + source);
    const TCloneFields& f = pages.cloneFields;
    EXPECT_EQ(f.kuid, "<kuid:77:8000>");
    EXPECT_EQ(f.username, "CLONE OF: Iron bridge");
    EXPECT_EQ(f.description, "CLONE OF KUID:1:2: A bridge\xC2\xB6over water");
    EXPECT_EQ(f.location, parent);
    EXPECT_EQ(f.name, "CLONE OF bridge");

    const std::string clone = parent + "CLONE OF bridge";
    EXPECT_EQ(Sent(ccAddClonedAsset), (std::vector<std::pair<int, std::string>>{{ccAddClonedAsset, clone}}));
    EXPECT_EQ(Entries(clone), (std::vector<std::string>{"config.txt", "mesh"}));
    ListAndFinish(clone);
    EXPECT_TRUE(messages.messages.empty()) << messages.messages.front();

    TOutlineDocument saved(state);
    ASSERT_EQ(saved.LoadConfig(clone), "");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\kuid"), "<kuid:77:8000>");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\username"), "CLONE OF: Iron bridge");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\trainz-build"), "3.5");
    EXPECT_TRUE(ContainsStr(saved.GetValueByPath("config.txt\\description"), "CLONE OF KUID:1:2: A bridge"));
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(ContainsStr(test::ReadBytes(ini), "NextCloneID=8001"));
    std::string found;
    EXPECT_TRUE(FindAssetByKuid(kuids, "<kuid:77:8000>", found));
    EXPECT_EQ(NativePath(found), clone);
    EXPECT_EQ(state.AssetKuid(), "<kuid:77:8000>");
    EXPECT_EQ(state.CurrentKuid, "77");
    EXPECT_EQ(test::ReadBytes(source + "/config.txt"), sourceBytes);
    EXPECT_TRUE(doc.PendingClone().empty());

    // A second 242 for the same folder finds no clone waiting: nothing is written again.
    const std::string cloneBytes = test::ReadBytes(clone + "/config.txt");
    doc.FinishClone(clone, kuids);
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"Clone not finished: " + clone}));
    EXPECT_EQ(test::ReadBytes(clone + "/config.txt"), cloneBytes);
}

TEST_F(NewAndClone, ATypedNumberKeepsNextCloneIdAndAnEmptyDescriptionKeepsTheOld) {
    pages.editClone = [](TCloneFields& f) {
        f.kuid = "<kuid:77:9000>";
        f.description.clear();
        f.name = "mine";
    };
    doc.CloneAsset(pages);
    ListAndFinish(parent + "mine");
    TOutlineDocument saved(state);
    ASSERT_EQ(saved.LoadConfig(parent + "mine"), "");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\kuid"), "<kuid:77:9000>");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\description"), "A bridge\xC2\xB6over water");
    EXPECT_TRUE(ContainsStr(test::ReadBytes(ini), "NextCloneID=8000"));
    EXPECT_EQ(state.Settings().ReadString("Options", "NextCloneID", ""), "8000");
}

TEST_F(NewAndClone, FinishForAnotherFolderChangesNoConfig) {
    doc.CloneAsset(pages);
    const std::string clone = parent + "CLONE OF bridge";
    // The clone's load did not happen (a cancelled save question): the source is still shown.
    doc.FinishClone(clone, kuids);
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"Clone not finished: " + clone}));
    EXPECT_EQ(test::ReadBytes(clone + "/config.txt"), kBridgeConfig);
    EXPECT_EQ(test::ReadBytes(source + "/config.txt"), kBridgeConfig);
    EXPECT_EQ(kuids.Count(), 0u);
    EXPECT_TRUE(ContainsStr(test::ReadBytes(ini), "NextCloneID=8000"));
}

TEST_F(NewAndClone, RefusedTargetsLeaveNoFolder) {
    fs::create_directories(source + "/inner");
    test::WriteBytes(parent + "taken/readme.txt", "x");
    struct Case {
        std::string location, name, message;
    } cases[] = {
        {source + "/inner/", "copy", "Folder name already exists or is invalid"},  // would copy into itself
        {parent, "taken", "Folder name already exists or is invalid"},
        {parent, "../escaped", "Folder name already exists or is invalid"},
        {parent, "   ", "Folder name already exists or is invalid"},
        {source + "/", "x", "Location does not exist or is invalid"},
    };
    for (const Case& c : cases) {
        messages.messages.clear();
        pages.editClone = [&c](TCloneFields& f) {
            f.location = c.location;
            f.name = c.name;
        };
        doc.CloneAsset(pages);
        EXPECT_EQ(messages.messages, (std::vector<std::string>{c.message})) << c.location << c.name;
    }
    EXPECT_EQ(Entries(parent), (std::vector<std::string>{"bridge", "taken"}));
    EXPECT_EQ(Entries(source), (std::vector<std::string>{"config.txt", "inner", "mesh"}));
    EXPECT_FALSE(fs::exists(dir / "escaped"));
    EXPECT_TRUE(Sent(ccAddClonedAsset).empty());
}

TEST_F(NewAndClone, AFailedCopyRemovesWhatItMade) {
    pages.editClone = [](TCloneFields& f) { f.name = "deep/copy"; };
    SetWriteFaultHook([](const std::string& path) { return ContainsStr(path, "bridge.im") ? std::size_t{1} : std::string::npos; });
    doc.CloneAsset(pages);
    SetWriteFaultHook(nullptr);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].rfind("File error copying folder\nUnable to copy " + source + "/mesh/bridge.im", 0), 0u)
        << messages.messages[0];
    EXPECT_EQ(Entries(parent), (std::vector<std::string>{"bridge"}));
    EXPECT_TRUE(Sent(ccAddClonedAsset).empty());
    EXPECT_TRUE(doc.PendingClone().empty());
}

// Asset makers link shared files and folders into their assets. A clone holds copies of what the
// links name: its first save gives the clone its identity and leaves the linked files as they were.
TEST_F(NewAndClone, ACloneCopiesWhatLinksNameAndSavesNothingThroughThem) {
    const std::string shared = dir / "shared";
    test::WriteBytes(shared + "/bridge-config.txt", kBridgeConfig);
    test::WriteBytes(shared + "/rust.tga", "rust texture");
    test::WriteBytes(shared + "/set/paint.tga", "paint");
    fs::remove(source + "/config.txt");
    fs::create_symlink(shared + "/bridge-config.txt", source + "/config.txt");
    fs::create_symlink("../../../shared/rust.tga", source + "/mesh/rust.tga");
    fs::create_symlink(shared + "/set", source + "/textures");
    ASSERT_EQ(doc.LoadConfig(source), "");

    doc.CloneAsset(pages);
    const std::string clone = parent + "CLONE OF bridge";
    ListAndFinish(clone);
    EXPECT_TRUE(messages.messages.empty()) << messages.messages.front();

    EXPECT_EQ(test::ReadBytes(shared + "/bridge-config.txt"), kBridgeConfig);
    EXPECT_EQ(test::ReadBytes(shared + "/rust.tga"), "rust texture");
    for (const char* name : {"config.txt", "mesh", "mesh/rust.tga", "mesh/bridge.im", "textures", "textures/paint.tga"})
        EXPECT_FALSE(fs::is_symlink(clone + "/" + name)) << name;
    EXPECT_EQ(test::ReadBytes(clone + "/mesh/rust.tga"), "rust texture");
    EXPECT_EQ(test::ReadBytes(clone + "/textures/paint.tga"), "paint");
    TOutlineDocument saved(state);
    ASSERT_EQ(saved.LoadConfig(clone), "");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\kuid"), "<kuid:77:8000>");
    // The clone's own edits stay in the clone.
    test::WriteBytes(clone + "/mesh/rust.tga", "repainted");
    EXPECT_EQ(test::ReadBytes(shared + "/rust.tga"), "rust texture");
    EXPECT_TRUE(fs::is_symlink(source + "/config.txt"));
}

// A link that names nothing, loops, or leads back into the asset cannot be copied as what it holds:
// the clone is refused, naming the link, and nothing of it is left.
TEST_F(NewAndClone, ALinkThatCannotBeFollowedIsNamedAndNothingIsCloned) {
    const struct {
        std::string name, target, why;
    } cases[] = {
        {"gone.tga", "nothing-here.tga", "it names nothing"},
        {"loop-a", "loop-a", "it leads round in a loop"},
        {"mesh/up", "..", "it leads back into a folder that holds it"},
        {"assets", "..", "it leads back into a folder that holds it"},
    };
    for (const auto& c : cases) {
        messages.messages.clear();
        const std::string link = source + "/" + c.name;
        fs::create_symlink(c.target, link);
        doc.CloneAsset(pages);
        EXPECT_EQ(messages.messages, (std::vector<std::string>{"File error copying folder\nUnable to copy the link " + link +
                                                                ": " + c.why}));
        EXPECT_EQ(Entries(parent), (std::vector<std::string>{"bridge"}));
        fs::remove(link);
    }
    EXPECT_TRUE(Sent(ccAddClonedAsset).empty());
}

// A real asset (a config with a byte-order mark and CR LF, meshes, a script): the copy gets the new
// identity, keeps its mark, and nothing of the source changes.
TEST_F(NewAndClone, CloneOfARealAsset) {
    const fs::path corpus = fs::path(KELVARN_SOURCE_DIR) / "../shared/corpus/jos-scanner";
    if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus";
    const std::string real = NativePath(dir / "assets/jos-scanner");
    test::CopyWritable(corpus.string(), real);
    const std::string sourceBytes = test::ReadBytes(real + "/config.txt");
    state.SetAssetPath(real);
    ASSERT_EQ(doc.LoadConfig(real), "");
    doc.CloneAsset(pages);
    EXPECT_EQ(pages.cloneFields.username, "CLONE OF: JOS v.2.0 Track Scanner -JIRC");
    EXPECT_EQ(pages.cloneFields.description, "CLONE OF KUID:501228:1104231: (JOS Component) Trigger to detect train on track");
    const std::string clone = parent + "CLONE OF jos-scanner";
    ListAndFinish(clone);
    EXPECT_TRUE(messages.messages.empty());
    const std::string cloneBytes = test::ReadBytes(clone + "/config.txt");
    EXPECT_TRUE(StartsWith(cloneBytes, "\xEF\xBB\xBF"));
    EXPECT_TRUE(ContainsStr(cloneBytes, "<kuid:77:8000>")) << cloneBytes.substr(0, 400);
    EXPECT_EQ(test::ReadBytes(real + "/config.txt"), sourceBytes);
    EXPECT_EQ(test::ReadBytes(clone + "/trig.im"), test::ReadBytes(real + "/trig.im"));
    TOutlineDocument saved(state);
    ASSERT_EQ(saved.LoadConfig(clone), "");
    EXPECT_EQ(saved.GetValueByPath("config.txt\\kuid"), "<kuid:77:8000>");
    EXPECT_EQ(saved.LineCount(), doc.LineCount());
}

TEST_F(NewAndClone, NoAssetNoClone) {
    doc.ClearOutline();
    state.SetAssetPath("");
    doc.CloneAsset(pages);
    EXPECT_TRUE(pages.shown.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST(AssetPageChecks, KuidFieldCompletesAnInteger) {
    struct Case {
        const char* text;
        const char* user;
        const char* result;
    } cases[] = {
        {"42", "77", "<kuid:77:42>"},   {" 42 ", "-3", "<kuid:-3:42>"}, {"0", "77", "0"},
        {"42", "", "42"},               {"4x", "77", "4x"},             {"<kuid:1:2>", "77", "<kuid:1:2>"},
        {"", "77", ""},                 {"-5", "77", "-5"},             {"1", "77", "<kuid:77:1>"},
    };
    for (const Case& c : cases) EXPECT_EQ(NewKuidExit(c.text, c.user), c.result) << c.text << "/" << c.user;
}

TEST(AssetPageChecks, LocationsAndFolderNames) {
    test::TempDir dir;
    const std::string backup = NativePath(dir / "program/backup");
    for (const char* folder : {"assets/x", "Editing/x", "program/backup/old", "asset", "assets/a"})
        fs::create_directories(dir / folder);
    test::WriteBytes(dir / "asset/Config.txt", "kind \"scenery\"\r\n");
    struct Location {
        std::string path;
        bool valid;
    } locations[] = {
        {dir / "assets", true},           {dir / "assets/", true},           {dir / "missing", false},
        {dir / "Editing/x", false},       {dir / "program/backup/old", false}, {dir / "asset", false},
        {"", false},
    };
    for (const Location& l : locations) EXPECT_EQ(LocationValid(l.path, backup), l.valid) << l.path;

    const std::string assets = dir / "assets/";
    struct Name {
        std::string name;
        bool valid;
    } names[] = {
        {"new", true},  {"a/b", true},  {"a\\b", true},   {"x", false},      {"", false},     {"  ", false},
        {".", false},   {"..", false},  {"../y", false},  {"a/../b", false}, {"a//b", false}, {dir / "elsewhere", false},
        {"C:\\x", false},
    };
    for (const Name& n : names) EXPECT_EQ(FolderNameValid(assets, n.name), n.valid) << n.name;
    // Inside the source folder: never, however it is written.
    EXPECT_FALSE(FolderNameValid(dir.Path() + "/", "assets/copy", dir / "assets"));
    EXPECT_FALSE(FolderNameValid(dir / "assets/x/", "copy", dir / "assets/./x/.."));
    EXPECT_TRUE(FolderNameValid(dir.Path() + "/", "assets2", dir / "assets"));
}

TEST(AssetPageChecks, FirstFailingReasonDecidesOk) {
    test::TempDir dir;
    fs::create_directories(dir / "assets/taken");
    TNewAssetFields f{{"scenery"}, "<kuid:1:2>", "scenery", dir / "assets", "new"};
    EXPECT_TRUE(NewPageCheck(f, "").enabled);  // valid fields: OK at once
    EXPECT_EQ(NewPageCheck(f, "").reason, "");
    auto reason = [&](auto change) {
        TNewAssetFields g = f;
        change(g);
        const TPageCheck check = NewPageCheck(g, "");
        EXPECT_FALSE(check.enabled);
        return check.reason;
    };
    EXPECT_EQ(reason([](TNewAssetFields& g) { g.kuid.clear(); }), "KUID and Kind are required");
    // What goes into the new config's kuid tag is a KUID and nothing that could start a line.
    for (const std::string& kuid : {std::string("<kuid:1:2>\nkind \"x\""), std::string("<kuid:1:2>\r"), std::string("kuid"),
                                    std::string("<kuid:1:2"), std::string("<kuid:1:2>\0", 11)})
        EXPECT_EQ(reason([&](TNewAssetFields& g) { g.kuid = kuid; }), "KUID and Kind are required") << kuid;
    EXPECT_EQ(reason([](TNewAssetFields& g) {
                  g.kind.clear();
                  g.location = "/nowhere";
              }),
              "KUID and Kind are required");
    EXPECT_EQ(reason([](TNewAssetFields& g) { g.location = "/nowhere"; }), "Location does not exist or is invalid");
    EXPECT_EQ(reason([](TNewAssetFields& g) { g.folderName = ""; }), "Folder name already exists or is invalid");
    EXPECT_EQ(reason([](TNewAssetFields& g) { g.folderName = "taken"; }), "Folder name already exists or is invalid");

    TCloneFields c{"<kuid:1:2>", "", dir / "assets", "copy", "", ""};
    EXPECT_EQ(ClonePageCheck(c, "", dir / "assets/taken").reason, "KUID and Username are required");
    c.username = "me";
    EXPECT_TRUE(ClonePageCheck(c, "", dir / "assets/taken").enabled);
}

TEST(AssetPageChecks, UserIdFromTheSettings) {
    struct Case {
        const char* value;
        const char* id;
    } cases[] = {{"42", "42"}, {" 42 ", "42"}, {"-7", "-7"}, {"abc", ""}, {"", ""}, {"4.5", ""}};
    for (const Case& c : cases) {
        TProgramState state;
        state.Settings().WriteString("UserData", "UserID", c.value);
        EXPECT_EQ(ReadUserKuidId(state), c.id) << c.value;
    }
}

}  // namespace
}  // namespace kelvarn
