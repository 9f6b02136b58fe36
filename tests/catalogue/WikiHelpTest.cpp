#include <gtest/gtest.h>

#include "AssetToolsTestSupport.h"
#include "catalogue/Walnut.h"
#include "catalogue/WalnutHooks.h"
#include "catalogue/WikiHelp.h"
#include "shell/Files.h"
#include "shell/ProgramFolder.h"
#include "shell/Text.h"
#include "shell/WikiPages.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::ToolsBed;
using test::WriteBytes;
using Lines = std::vector<std::string>;

const char* kConfig =
    "kind \"scenery\"\r\nkuid <kuid:1:2>\r\ninfo-url \"wiki://KIND_Scenery\"\r\n"
    "mesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"a.im\"\r\n    effects\r\n    {\r\n      0\r\n      {\r\n"
    "        kind \"name\"\r\n        att \"a.x\"\r\n      }\r\n    }\r\n  }\r\n}\r\n"
    "car3 \"x\"\r\nsmoke0 \"y\"\r\nblink2 \"z\"\r\nusername \"u\"\r\n";

struct WikiBed : ToolsBed {
    WikiBed() {
        Load(kConfig);
        state.Settings().WriteString("Wiki", "URL", "https://wiki.test/w");
    }
    void Help(const std::string& path, const std::string& help, const std::string& format = "string",
              const std::string& sequence = "0") {
        TTagSpec spec;
        spec.Help = help;
        spec.Format = format;
        spec.Sequence = sequence;
        hooks.specs[NormaliseConfigPath(path)] = spec;
    }
    void Page(const std::string& key, const std::string& page) { state.Settings().WriteString("Wiki", key, page); }
    // What one help request did: the addresses opened and the messages shown.
    std::pair<Lines, Lines> Expand(const std::string& path, const std::string& value = "") {
        runner.opened.clear();
        messages.messages.clear();
        ExpandWikiMacro(state, doc, path, value);
        return {runner.opened, messages.messages};
    }
};

TEST(WikiHelp, AddressesFromHelpTexts) {
    struct Case {
        const char* what;
        std::string path, help;
        std::string urlSetting;  // "-" leaves the fixture's
        bool debug;
        Lines opened, shown;
    };
    const std::vector<Case> cases = {
        {"macro page, parent anchor", "mesh-table\\default\\mesh", "Mesh file@$mesh-table#$^", "-", false,
         {"https://wiki.test/w/P#default"}, {}},
        {"plain page stands for itself", "username", "Name@W", "-", false, {"https://wiki.test/w/W"}, {}},
        {"undefined macro", "username", "Name@$x", "-", false, {}, {"Macro Error - definition not found: $x"}},
        {"too many parts", "username", "a@b#c#d", "-", false, {}, {"Macro Error - too many substrings: a@b#c#d"}},
        {"two anchor macros", "mesh-table\\default\\mesh", "x@W#$^-$", "-", false,
         {"https://wiki.test/w/W#default-mesh"}, {}},
        {"debug shows instead of opening", "username", "Name@W", "-", true, {}, {"https://wiki.test/w/W"}},
        {"base ending in a slash", "username", "Name@W", "https://wiki.test/w/", false, {"https://wiki.test/w/W"}, {}},
        {"no base: a path, refused", "username", "Name@W", "", false, {}, {"Link empty or invalid: /W"}},
        {"no page key", "username", "Just text", "-", false, {}, {"Link empty or invalid: "}},
    };
    for (const Case& c : cases) {
        WikiBed bed;
        bed.Page("$mesh-table", "P");
        if (c.urlSetting != "-") bed.state.Settings().WriteString("Wiki", "URL", c.urlSetting);
        WriteSettingBool(bed.state.Settings(), keys::WikiDebug, c.debug);
        bed.Help(c.path, c.help);
        EXPECT_EQ(bed.Expand(c.path), std::make_pair(c.opened, c.shown)) << c.what;
    }
    // A path without a definition does nothing at all.
    WikiBed bed;
    EXPECT_EQ(bed.Expand("username"), std::make_pair(Lines{}, Lines{}));
}

TEST(WikiHelp, SpecialCasesByTagKindFormatAndSequence) {
    struct Case {
        const char* what;
        std::string path, value, chain, format, sequence;
        std::string page;
        Lines shown;
    };
    const std::vector<Case> cases = {
        {"kind by value", "kind", "", "", "string", "0", "SceneryPage", {}},
        {"kind of another value falls back", "kind", "bridge", "", "string", "0", "Hierarchy", {}},
        {"kind inside effects", "mesh-table\\default\\effects\\0\\kind", "", "", "string", "0", "NamePage", {}},
        {"mesh-table of an interior", "mesh-table", "", "INTERIOR,MESH-ASSET", "container", "0", "MtInt", {}},
        {"mesh-table of a mesh asset", "mesh-table", "", "SCENERY,MESH-ASSET", "container", "0", "Mt", {}},
        {"mesh-table of an old track", "mesh-table", "", "ITRACK", "container", "0", "WIKIHELP: ITRACK",
         {"WIKIHELP: Obsolete track"}},
        {"mesh-table of a track", "mesh-table", "", "TRACK", "container", "0", "WIKIHELP: TRACK",
         {"Mesh-table-track (no page defined)"}},
        {"mesh-table of another kind", "mesh-table", "", "SPLINE", "container", "0", "",
         {"WIKIHELP: Undefined mesh-table tag", "WIKIHELP: Undefined Special Case Tag"}},
        {"att inside effects", "mesh-table\\default\\effects\\0\\att", "", "", "string", "0", "Effects", {}},
        {"att elsewhere", "att", "", "", "string", "0", "", {}},
        {"mesh entry of an interior", "mesh-table\\default", "", "INTERIOR", "user-table", "0", "MtInt", {}},
        {"mesh entry of another kind", "mesh-table\\default", "", "SCENERY", "user-table", "0",
         "WIKIHELP: Undefined Asset Mesh-ID", {}},
        {"car of a consist", "car3", "", "CONSIST", "kuid", "9", "*** consist vehicle-ID ***", {}},
        {"car of a map", "car3", "", "MAP", "kuid", "9", "WIKIHELP: Road Traffic Tag", {}},
        {"car elsewhere", "car3", "", "SCENERY", "kuid", "9", "WIKIHELP: Undefined CAR-ID", {}},
        {"smoke", "smoke0", "", "", "container", "9", "WIKIHELP: Smoke Tag", {}},
        {"another sequence", "blink2", "", "", "container", "9", "", {"WIKIHELP: Undefined Sequence Tag"}},
        {"nothing special", "username", "", "", "string", "0", "", {"WIKIHELP: Undefined Special Case Tag"}},
    };
    for (const Case& c : cases) {
        WikiBed bed;
        for (const auto& [key, page] : std::vector<std::pair<std::string, std::string>>{
                 {"$scenery", "SceneryPage"}, {"$hierarchy", "Hierarchy"}, {"$name", "NamePage"}, {"$mesh-table-int", "MtInt"},
                 {"$mesh-table", "Mt"}, {"$effects", "Effects"}})
            bed.Page(key, page);
        bed.hooks.kindChain = c.chain;
        TTagSpec spec;
        spec.Format = c.format;
        spec.Sequence = c.sequence;
        bed.messages.messages.clear();
        EXPECT_EQ(TagHelpMacro(bed.state, bed.doc, c.path, c.value, spec), c.page) << c.what;
        EXPECT_EQ(bed.messages.messages, c.shown) << c.what;
    }
}

TEST(WikiHelp, KindPagesForTracksideSceneryAndMissingPages) {
    WikiBed bed;
    bed.Page("$scenery-trackside", "Trackside");
    bed.Help("kind", "Kind@?");
    // Not trackside, and neither a page of the kind nor the hierarchy page: the link is empty.
    EXPECT_EQ(bed.Expand("kind"), std::make_pair(Lines{}, Lines{"Link empty or invalid: "}));

    WikiBed trackside;
    trackside.Load(std::string(kConfig) + "trackside 2\r\n");
    trackside.Page("$scenery-trackside", "Trackside");
    trackside.Help("kind", "Kind@?");
    EXPECT_EQ(trackside.Expand("kind").first, Lines{"https://wiki.test/w/Trackside"});
    // The value being edited counts, not the tag's own.
    trackside.Page("$bridge", "Bridge");
    EXPECT_EQ(trackside.Expand("kind", "bridge").first, Lines{"https://wiki.test/w/Bridge"});
    // A fixed text is a page like any other.
    trackside.hooks.kindChain = "TRACK";
    trackside.Help("mesh-table", "Meshes@?");
    EXPECT_EQ(trackside.Expand("mesh-table"),
              std::make_pair(Lines{"https://wiki.test/w/WIKIHELP: TRACK"}, Lines{"Mesh-table-track (no page defined)"}));
}

TEST(WikiHelp, AnchorsAtEachLevel) {
    WikiBed bed;
    struct Case {
        std::string path, anchor, result;
    };
    const std::vector<Case> cases = {
        {"kind", "$", "#kind"},
        {"kind", "$^", "#kind^"},  // no parent to name at the top level
        {"mesh-table\\default", "$^-$", "#mesh-table-default"},
        {"mesh-table\\default", "$^^-$", "#mesh-table^-default"},  // too deep a macro meets the parent's
        {"mesh-table\\default\\mesh", "$^^-$^-$", "#mesh-table-default-mesh"},
        {"mesh-table\\default\\effects\\0", "$^^^-$^^-$^-$", "#mesh-table-default-effects-0"},
        {"mesh-table\\default\\effects\\0", "top", "#top"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandWikiAnchor(bed.doc, c.path, c.anchor), c.result) << c.path << " " << c.anchor;
    EXPECT_EQ(ExpandWikiAnchor(bed.doc, "nowhere\\x", "$^a"), "#x^a");
    EXPECT_EQ(ExpandWikiAnchor(bed.doc, "kind", ""), "");
}

TEST(WikiHelp, OnlyWebAddressesReachTheOpener) {
    struct Case {
        std::string link;
        std::string opened;  // empty: refused with a message
    };
    const std::vector<Case> cases = {
        {"wiki://KIND_Scenery", "https://wiki.test/w/KIND_Scenery"},
        {"www.x.org/page", "http://www.x.org/page"},
        {"HTTPS://x.org", "HTTPS://x.org"},
        {"http://x.org/a b", "http://x.org/a b"},
        {"file:///etc/passwd", ""},
        {"/usr/bin/x http://", ""},
        {"C:\\Windows\\notepad.exe", ""},
        {"http://", ""},
        {"http:///x", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        WikiBed bed;
        bed.Load(std::string(kConfig) + "contact-website \"" + c.link + "\"\r\n");
        bed.state.Settings().WriteString("Wiki", "URL", "https://wiki.test/w");
        WikiLinkUrl(bed.state, bed.doc, "contact-website");
        if (c.opened.empty()) {
            EXPECT_TRUE(bed.runner.opened.empty()) << c.link;
            EXPECT_EQ(bed.messages.messages.size(), 1u) << c.link;
        } else {
            EXPECT_EQ(bed.runner.opened, Lines{c.opened}) << c.link;
        }
        EXPECT_TRUE(bed.runner.runs.empty()) << c.link;
    }
    for (const char* controlled : {"http://x\r\nrm", "http://x\trm", "http://x\x7f"}) EXPECT_EQ(CheckedWebAddress(controlled), "");
    // "wiki://" without a setting goes to the tag wiki itself.
    WikiBed fresh;
    fresh.state.Settings().DeleteKey("Wiki", "URL");
    WikiLinkUrl(fresh.state, fresh.doc, "info-url");
    ASSERT_EQ(fresh.runner.opened.size(), 1u);
    EXPECT_EQ(fresh.runner.opened[0].rfind("https://", 0), 0u);
    EXPECT_EQ(fresh.runner.opened[0].substr(fresh.runner.opened[0].size() - 13), "/KIND_Scenery");
}

TEST(WikiHelp, EditorPagesByNameUnderTheBase) {
    WikiBed bed;
    bed.state.Settings().WriteString("Wiki", "URL", "https://wiki.test/w/");
    OpenWikiPage(bed.state, "texture.txt");
    EXPECT_EQ(bed.runner.opened, Lines{"https://wiki.test/w/texture.txt"});
    bed.state.Settings().DeleteKey("Wiki", "URL");
    bed.runner.opened.clear();
    OpenWikiPage(bed.state, "lm.txt");
    ASSERT_EQ(bed.runner.opened.size(), 1u);
    EXPECT_EQ(bed.runner.opened[0], "https://online.ts2009.com/mediaWiki/index.php/lm.txt");
    bed.state.Settings().WriteString("Wiki", "debug", "1");
    bed.runner.opened.clear();
    OpenWikiPage(bed.state, "lm.txt");
    EXPECT_TRUE(bed.runner.opened.empty());
    EXPECT_EQ(bed.messages.messages, Lines{"https://online.ts2009.com/mediaWiki/index.php/lm.txt"});
}

TEST(WikiHelp, HelpLinkNeedsADefinitionWithAPage) {
    WikiBed bed;
    bed.Help("kind", "Kind@?");
    bed.Help("username", "Only a description");
    EXPECT_TRUE(HasHelpLink(bed.doc, bed.doc.FindNodeByPath("kind")));
    EXPECT_FALSE(HasHelpLink(bed.doc, bed.doc.FindNodeByPath("username")));
    EXPECT_FALSE(HasHelpLink(bed.doc, bed.doc.FindNodeByPath("kuid")));
    EXPECT_FALSE(HasHelpLink(bed.doc, nullptr));
}

// Our own tags.xml with the settings a first start writes: Help on Tag (and the editor's "?") opens
// the tag's page of the simulator's wiki.
TEST(WikiHelp, OurTagsOpenTheirWikiPagesAfterAFirstStart) {
    const std::string kBase = "https://online.ts2009.com/mediaWiki/index.php/";
    struct Case {
        const char* config;
        const char* path;
        std::string opened;
    };
    const char* kScenery =
        "kind \"scenery\"\r\nkuid <kuid:1:2>\r\nfloating 1\r\nmesh-table\r\n{\r\n  default\r\n  {\r\n"
        "    mesh \"a.im\"\r\n    decal\r\n    {\r\n      texture \"d.texture\"\r\n    }\r\n  }\r\n}\r\n";
    const std::vector<Case> cases = {
        {"kind \"traincar\"\r\nfrontlength 8\r\n", "frontlength", kBase + "KIND_Traincar"},
        {"kind \"traincar\"\r\nfrontlength 8\r\n", "kind", kBase + "KIND_Traincar"},
        {"kind \"drivercommand\"\r\n", "kind", kBase + "KIND_Drivercommand"},
        {"kind \"scenery\"\r\ntrackside 2\r\n", "kind", kBase + "KIND_Scenery-trackside"},
        // Kinds the reference list gives no page: no page is made up for them.
        {"kind \"mospeedboard\"\r\n", "kind", ""},
        {"kind \"behavior\"\r\n", "kind", ""},
        {"kind \"industry\"\r\n", "kind", ""},
        {kScenery, "floating", kBase + "KIND_Scenery"},
        {kScenery, "mesh-table", kBase + "KIND_Mesh"},
        {kScenery, "mesh-table\\default\\decal\\texture", kBase + "%22decal%22_Container"},
    };
    for (const Case& c : cases) {
        ToolsBed bed;
        WriteBytes(bed.state.ProgramFolder + "bin/tags.xml",
                   ReadBytes(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml"));
        WriteFirstStartSettings(bed.state);
        TWalnut walnut(bed.state);
        TWalnutHooks hooks(walnut);
        bed.doc.SetHooks(&hooks);
        bed.Load(c.config);
        ExpandWikiMacro(bed.state, bed.doc, std::string("config.txt\\") + c.path, "");
        EXPECT_EQ(bed.runner.opened, c.opened.empty() ? Lines{} : Lines{c.opened}) << c.config;
        EXPECT_EQ(bed.messages.messages, c.opened.empty() ? Lines{"Link empty or invalid: "} : Lines{}) << c.config;
    }
}

// Every page the first start names is one the reference list of config.txt names documents.
TEST(WikiHelp, TheDefaultPagesAreThoseTheReferenceListNames) {
    std::string list;
    const std::string file = std::string(KELVARN_SOURCE_DIR) + "/../shared/reference/config-tags.tsv";
    if (!ReadFileBytes(file, list).empty()) GTEST_SKIP() << "no reference list at " << file;
    for (const TWikiPageKey& entry : kDefaultWikiPages)
        EXPECT_TRUE(ContainsStr(list, "\t" + std::string(entry.page) + "\n") ||
                    ContainsStr(list, "\t" + std::string(entry.page) + " "))
            << entry.key << " " << entry.page;
}

}  // namespace
}  // namespace kelvarn
