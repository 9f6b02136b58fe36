#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/TestSupport.h"
#include "shell/MemIni.h"
#include "shell/ScriptMenu.h"
#include "shell/Text.h"
#include "shell/UserMenus.h"

namespace kelvarn {
namespace {

const std::string kBar(kBrokenBar);

std::string Tool(const std::string& caption, const std::string& command = "x") {
    return caption + kBar + kBar + command + kBar + "1" + kBar + "0" + kBar + "0" + kBar + "0" + kBar;
}

std::vector<std::pair<std::string, int>> Captions(const TUserMenu& menu) {
    std::vector<std::pair<std::string, int>> out;
    for (const TUserMenuItem& item : menu.items) out.emplace_back(item.separator ? "-" : item.caption, item.tag);
    return out;
}

TEST(UserMenus, SectionsAreRenumberedOnDiscAndTagsNameTheirValues) {
    test::TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    // Keys 3, 7, 9 with a quoted value: the rewrite keeps the quotes, the caption does not show them.
    test::WriteBytes(file, "[Tools-Menu]\r\n3=" + Tool("&Notepad") + "\r\n7=-----\r\n9=\"" + Tool("Gimp") +
                               "\"\r\n[Other]\r\n5=x\r\n");
    TMemIni ini(file);
    std::string flushError = "unset";
    const TUserMenuModel model = ReadUserMenus(ini, &flushError);
    EXPECT_EQ(flushError, "");
    using Items = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Captions(model.tools), (Items{{"&Notepad", 1}, {"-", 0}, {"Gimp", 3}}));

    const TMemIni onDisc(file);
    std::vector<std::string> keys;
    onDisc.ReadSection("Tools-Menu", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"1", "2", "3"}));
    std::vector<std::string> raw;
    onDisc.ReadRawValues("Tools-Menu", raw);
    EXPECT_EQ(raw[2], "\"" + Tool("Gimp") + "\"");
    EXPECT_EQ(onDisc.ReadString("Other", "5", ""), "x");  // sections that are no menu stay as they are
    // The tag runs the value the item shows.
    EXPECT_EQ(UserMenuToolLine(onDisc, "ToolsMainMenu", 3), Tool("Gimp"));
}

// Read at every start: a settings file already numbered is not written again.
TEST(UserMenus, NumberedSectionsLeaveTheFileAlone) {
    test::TempDir dir;
    const std::string file = dir / "kelvarn.ini";
    test::WriteBytes(file, "[Tools-Menu]\r\n1=" + Tool("&Notepad") + "\r\n2=-----\r\n");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    std::filesystem::last_write_time(file, old);
    TMemIni ini(file);
    EXPECT_EQ(ReadUserMenus(ini).tools.items.size(), 2u);
    EXPECT_EQ(std::filesystem::last_write_time(file), old);
}

TEST(UserMenus, CustomMenusAreCaptionedByTheirFirstValueAndTaggedByKey) {
    TMemIni ini;
    ini.SetText("[CustomA]\n4=My Menu\n5=" + Tool("First") + "\n6=-----\n8=" + Tool("Second") +
                "\n[CustomB]\n1=Only a caption\n[CustomC]\n");
    const TUserMenuModel model = ReadUserMenus(ini);
    using Items = std::vector<std::pair<std::string, int>>;
    const TUserMenu& a = model.custom[0];
    EXPECT_TRUE(a.visible);
    EXPECT_EQ(a.caption, "My Menu");
    // Item one is key 2: it must run its own tool, never the caption's value.
    EXPECT_EQ(Captions(a), (Items{{"First", 2}, {"-", 0}, {"Second", 4}}));
    EXPECT_EQ(UserMenuToolLine(ini, "CustomA", 2), Tool("First"));
    EXPECT_EQ(UserMenuToolLine(ini, "CustomA", 4), Tool("Second"));
    EXPECT_EQ(UserMenuToolLine(ini, "CustomA", 0), std::nullopt);

    const TUserMenu& b = model.custom[1];
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(b.caption, "Only a caption");
    EXPECT_TRUE(b.items.empty());
    for (std::size_t i = 2; i < 5; ++i) EXPECT_FALSE(model.custom[i].visible) << i;
}

// A separator where the title belongs is no title: the menu keeps its own name, and its items stay.
TEST(UserMenus, ACustomMenuOpeningWithASeparatorKeepsItsName) {
    TMemIni ini;
    ini.SetText("[CustomD]\n1=-----\n2=" + Tool("First") + "\n");
    const TUserMenuModel model = ReadUserMenus(ini);
    const TUserMenu& d = model.custom[3];
    EXPECT_TRUE(d.visible);
    EXPECT_EQ(d.caption, "CustomD");
    using Items = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Captions(d), (Items{{"First", 2}}));
}

TEST(UserMenus, RepeatedCaptionsShowOnceAndEmptySectionsWriteNothing) {
    TMemIni ini;
    // Empty values give no blank items.
    ini.SetText("[Help]\n2=" + Tool("Wiki", "a") + "\n5=" + Tool("Wiki", "b") + "\n7=\n8= \n6=" + Tool("Forum") +
                "\n[Documents]\n; a note\n");
    const std::string before = ini.GetText();
    const TUserMenuModel model = ReadUserMenus(ini);
    using Items = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Captions(model.help), (Items{{"Wiki", 1}, {"Forum", 5}}));
    EXPECT_TRUE(model.documents.items.empty());
    EXPECT_FALSE(model.documents.visible);
    EXPECT_NE(ini.GetText().find("; a note"), std::string::npos);  // a section without values is left alone
    EXPECT_NE(before, ini.GetText());
}

TEST(UserMenus, ItemsRunFromTheSectionOfTheirMenu) {
    struct Case {
        const char* parent;
        const char* section;
    };
    const Case cases[] = {{"HelpMainMenu", "Help"},     {"ToolsMainMenu", "Tools-Menu"}, {"CustomE", "CustomE"},
                          {"Documents", "Documents"}, {"", "Documents"}};
    TMemIni ini;
    for (const Case& c : cases) ini.WriteString(c.section, "1", c.section);
    for (const Case& c : cases) {
        EXPECT_EQ(UserMenuSection(c.parent), c.section) << c.parent;
        EXPECT_EQ(UserMenuToolLine(ini, c.parent, 1), c.section) << c.parent;
        EXPECT_EQ(UserMenuToolLine(ini, c.parent, 9), "") << c.parent;  // absent: empty, the runner says why
    }
}

TEST(UserMenus, LinksMatchTheirWholeCaptionExactly) {
    TMemIni ini;
    ini.SetText("[Links]\n1=" + Tool("Forum", "first") + "\n2=" + Tool("Forum", "second") + "\n3=" +
                Tool("forum page", "third") + "\n");
    EXPECT_EQ(FindLink(ini, "Forum"), Tool("Forum", "first"));
    EXPECT_EQ(FindLink(ini, "forum page"), Tool("forum page", "third"));
    for (const char* none : {"forum", "Forum ", "", "Foru"}) EXPECT_EQ(FindLink(ini, none), std::nullopt) << none;
    const std::string before = ini.GetText();
    (void)FindLink(ini, "Forum");
    EXPECT_EQ(ini.GetText(), before);
}

// --- the Scripts menu

std::vector<std::string> Names(const std::vector<TScriptMenuItem>& items) {
    std::vector<std::string> out;
    for (const TScriptMenuItem& item : items) out.push_back(item.caption + "=" + item.name);
    return out;
}

TEST(ScriptMenu, FolderNamesThatGetASubMenu) {
    struct Case {
        const char* name;
        bool sub;
    };
    const Case cases[] = {{"Tools", true}, {"1abc", true},  {"Z", true},     {"sub", false}, {"Sub", true},
                          {"lower", false}, {"a.b", false}, {"A.b", false},  {"", false},    {"_x", false},
                          {"\xC3\x84rger", false}};
    for (const Case& c : cases) EXPECT_EQ(IsScriptFolderName(c.name), c.sub) << c.name;
}

TEST(ScriptMenu, ListsScriptsSortedWithoutTheProgramsOwn) {
    test::TempDir dir;
    for (const char* name : {"beta.kvm", "Alpha.KVM", "R&D.kvm", "autorun.kvm", "AutoRun.KVM", "$$$.kvm", "notes.txt",
                             "gamma.kvm.bak", "Run Script File....kvm", "noext"})
        test::WriteBytes(dir / name, "-msg x\n");
    const TScriptMenuModel model = ReadScriptMenu(dir.Path(), {}, {"Run Script File..."});
    EXPECT_EQ(Names(model.scripts), (std::vector<std::string>{"Alpha=Alpha", "beta=beta", "R&D=R&D"}));
    EXPECT_TRUE(model.folders.empty());
}

TEST(ScriptMenu, SubFoldersBecomeSubMenusBesideScriptsOfTheirName) {
    test::TempDir dir;
    for (const char* name : {"Tools.kvm", "Tools/Tools.kvm", "Tools/pack.kvm", "Tools/readme.txt", "1abc/a.kvm",
                             "sub/s.kvm", "lower/l.kvm", "a.b/x.kvm", "Empty/readme.txt", "Deep/inner/d.kvm"})
        test::WriteBytes(dir / name, "-msg x\n");
    const TScriptMenuModel model = ReadScriptMenu(dir.Path(), {"first", "R&D"});
    EXPECT_EQ(Names(model.scripts), (std::vector<std::string>{"Tools=Tools"}));
    ASSERT_EQ(model.folders.size(), 2u);
    EXPECT_EQ(model.folders[0].caption, "1abc");
    EXPECT_EQ(Names(model.folders[0].items), (std::vector<std::string>{"a=1abc\\a"}));
    EXPECT_EQ(model.folders[1].caption, "Tools");
    EXPECT_EQ(Names(model.folders[1].items), (std::vector<std::string>{"pack=Tools\\pack", "Tools=Tools\\Tools"}));
    EXPECT_EQ(Names(model.embedded), (std::vector<std::string>{"first=first", "R&D=R&D"}));
}

TEST(ScriptMenu, AMissingFolderListsNothing) {
    test::TempDir dir;
    const TScriptMenuModel model = ReadScriptMenu(dir / "none", {});
    EXPECT_TRUE(model.scripts.empty());
    EXPECT_TRUE(model.folders.empty());
}

}  // namespace
}  // namespace kelvarn
