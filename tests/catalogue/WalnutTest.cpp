// The tag definitions: reading tags.xml, building a kind's tree, and answering for config paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "catalogue/TagsXml.h"
#include "catalogue/Walnut.h"
#include "catalogue/WalnutHooks.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;
using test::WriteBytes;
using Names = std::vector<std::string>;

const std::string kFixture = std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml";

struct WalnutBed {
    TempDir dir;
    TProgramState state;
    TWalnut walnut{state};

    WalnutBed() { state.ProgramFolder = dir.Path() + "/program/"; }

    // Loads the fixture for a kind and expects no error.
    void Load(std::string_view kind) { ASSERT_EQ(walnut.LoadTagSpec(kFixture, kind), ""); }

    TTagSpec Spec(std::string_view path) {
        bool found = false;
        TTagSpec spec = walnut.FindSpecNode(path, found);
        EXPECT_TRUE(found) << path;
        return spec;
    }

    bool Has(std::string_view path) const { return walnut.SpecNodeByPath(path) != nullptr; }

    Names Allowed(std::string_view path) const {
        Names list;
        walnut.ListAllowedTags(path, list);
        return list;
    }

    Names Mandatory(std::string_view path) const {
        Names list;
        walnut.ListMandatoryTags(path, list);
        return list;
    }
};

bool Contains(const Names& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::shared_ptr<const TTagsXml> ParseText(std::string_view text, std::string& error) {
    return TTagsXml::Parse(text, "/x/bin/tags.xml", error);
}

// --- the file

TEST(TagsXmlFile, RejectsBadFilesNamingFileLineAndFault) {
    // Each message starts with the file and the line; where the parser names the fault, it follows.
    struct Case {
        const char* text;
        const char* start;
        bool faultFollows;
    } cases[] = {
        {"<TAGS>\n<KIND>\n</TAGS>", "Tag specification /x/bin/tags.xml, line 3: ", true},
        {"<TAGS><a b=\"1></a></TAGS>", "Tag specification /x/bin/tags.xml, line 1: ", true},
        {"<TAGS>\n\n<a b=\"1\"", "Tag specification /x/bin/tags.xml, line 3: ", true},
        {"", "Tag specification /x/bin/tags.xml, line 1: No document element found", false},
        {"<!-- only a comment -->", "Tag specification /x/bin/tags.xml, line 1: No document element found", false},
        {"<TAGS/>\n<MORE/>", "Tag specification /x/bin/tags.xml, line 2: a second root element <MORE>", false},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(ParseText(c.text, error), nullptr) << c.text;
        EXPECT_EQ(error.rfind(c.start, 0), 0u) << c.text << " gave: " << error;
        EXPECT_EQ(error.size() > std::string(c.start).size(), c.faultFollows) << error;
    }
}

TEST(TagsXmlFile, BoundsNestingAndSize) {
    std::string deep;
    for (std::size_t i = 0; i <= kMaxTagsXmlDepth; ++i) deep += "<a>\n";
    for (std::size_t i = 0; i <= kMaxTagsXmlDepth; ++i) deep += "</a>";
    std::string error;
    EXPECT_EQ(ParseText(deep, error), nullptr);
    EXPECT_EQ(error, "Tag specification /x/bin/tags.xml, line 65: elements nested deeper than 64 levels");

    std::string many = "<TAGS>";
    for (std::size_t i = 0; i < kMaxTagsXmlElements; ++i) many += "<a/>";
    many += "</TAGS>";
    EXPECT_EQ(ParseText(many, error), nullptr);
    EXPECT_NE(error.find("more than 200000 elements"), std::string::npos) << error;

    EXPECT_EQ(ParseText(std::string(kMaxTagsXmlBytes + 1, ' '), error), nullptr);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

TEST(TagsXmlFile, MissingFileAndWindows1252Text) {
    TempDir dir;
    std::string error;
    EXPECT_EQ(TTagsXml::Load(dir / "bin/tags.xml", error), nullptr);
    EXPECT_EQ(error, "File not found: " + (dir / "bin/tags.xml"));

    // A help text saved in Windows-1252 reads as the characters it holds.
    const auto file = ParseText("<TAGS><KIND/><BASE-ASSET><a help=\"caf\xE9\"/></BASE-ASSET></TAGS>", error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(file->FindBlock("BASE-ASSET")->Children[0]->Attribute("help"), "caf\xC3\xA9");
}

TEST(TagsXmlFile, SharedUntilTheFileChanges) {
    TempDir dir;
    const std::string path = dir / "tags.xml";
    WriteBytes(path, "<TAGS><KIND><a/></KIND></TAGS>");
    std::string error;
    const auto first = TTagsXml::Load(path, error);
    ASSERT_NE(first, nullptr) << error;
    EXPECT_EQ(TTagsXml::Load(path, error), first);

    WriteBytes(path, "<TAGS><KIND><a/><b/></KIND></TAGS>");
    const auto second = TTagsXml::Load(path, error);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->AssetKinds(), (Names{"a", "b"}));

    WriteBytes(path, "<TAGS><KIND>");
    EXPECT_EQ(TTagsXml::Load(path, error), nullptr);
    EXPECT_NE(error.find(path), std::string::npos);
    std::string again;
    EXPECT_EQ(TTagsXml::Load(path, again), nullptr);
    EXPECT_EQ(again, error);
}

TEST(TagsXmlFile, KindsBlocksAndChildElements) {
    std::string error;
    const auto file = TTagsXml::Load(kFixture, error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(file->AssetKinds(), (Names{"checks", "missing", "nested", "outoforder", "scenery", "traincar", "unknown"}));
    EXPECT_EQ(file->InheritChain("traincar"), (Names{"USER-TAGS", "BASE-ASSET", "MESH-ASSET", "TRAINCAR"}));
    EXPECT_EQ(file->InheritChain("nothing"), (Names{"USER-TAGS", "BASE-ASSET"}));

    Names list;
    EXPECT_TRUE(file->ListChildElements("EFFECT-KINDS", list));
    EXPECT_EQ(list, (Names{"smoke", "name", "corona"}));
    EXPECT_TRUE(file->ListChildElements("KIND", list));
    EXPECT_EQ(list.front(), "unknown");
    // Every element nested, not only the children.
    EXPECT_TRUE(file->ListChildElements("QUEUE", list));
    EXPECT_EQ(list, (Names{"size", "product-kuid"}));
    EXPECT_FALSE(file->ListChildElements("NO-SUCH-LIST", list));
    EXPECT_TRUE(list.empty());
    // An element of a kind is no block, even where a section has the same name.
    EXPECT_EQ(file->FindBlock("scenery"), nullptr);
}

// --- names

TEST(SpecNames, DisplayNamesAndMatching) {
    EXPECT_EQ(SpecDisplayName("bogey-N"), "bogey-#");
    EXPECT_EQ(SpecDisplayName("smokeN"), "smoke#");
    EXPECT_EQ(SpecDisplayName("mesh-id"), "*");
    EXPECT_EQ(SpecDisplayName("product-id"), "product-id");
    EXPECT_EQ(SpecDisplayName("kind"), "kind");

    WalnutBed bed;
    bed.Load("scenery");
    struct Case {
        const char* path;
        bool found;
    } cases[] = {
        {"bogey-0", true},          {"bogey-3", true},       {"bogey-4", false},      {"bogey-03", false},
        {"bogey-", false},          {"bogey-x", false},      {"smoke0", true},        {"smoke0\\rate", true},
        {"smoke1", false},          {"kuid-table\\anything", true}, {"kuid-table\\0", true},
        {"products\\product-id", true}, {"products\\other", false}, {"mesh-table\\default\\mesh", true},
        {"mesh-table\\lod0\\auto-create", true},  {"Kind", false},  {"kind", true},
        {"\\kind", true},           {"config.txt\\kind", true}, {"config.txt\\kind\\", true},
        {"", false},                {"nothing", false},
    };
    for (const Case& c : cases) EXPECT_EQ(bed.Has(c.path), c.found) << c.path;
    ASSERT_NE(bed.walnut.SpecNodeByPath("config.txt"), nullptr);
    EXPECT_EQ(bed.walnut.SpecNodeByPath("config.txt"), bed.walnut.Root());
}

// --- kinds and sections

TEST(SpecKinds, ChainsFollowTheInheritLists) {
    struct Case {
        const char* kind;
        const char* loaded;
        const char* chain;
    } cases[] = {
        {"scenery", "scenery", "USER-TAGS,BASE-ASSET,MESH-ASSET,SCENERY"},
        {"SCENERY", "scenery", "USER-TAGS,BASE-ASSET,MESH-ASSET,SCENERY"},
        {"traincar", "traincar", "USER-TAGS,BASE-ASSET,MESH-ASSET,TRAINCAR"},
        {"no-such-kind", "unknown", "USER-TAGS,BASE-ASSET"},
        {"", "unknown", "USER-TAGS,BASE-ASSET"},
        {"traincar;", "unknown", "USER-TAGS,BASE-ASSET"},
    };
    for (const Case& c : cases) {
        WalnutBed bed;
        bed.Load(c.kind);
        EXPECT_EQ(bed.walnut.Kind(), c.loaded) << c.kind;
        EXPECT_EQ(bed.walnut.KindChain(), c.chain) << c.kind;
        EXPECT_EQ(bed.state.KindChain, c.chain) << c.kind;
        EXPECT_EQ(bed.state.AssetKinds, bed.walnut.AssetKinds());
    }
}

TEST(SpecKinds, TopLevelTagsComeInSectionOrder) {
    WalnutBed bed;
    bed.Load("traincar");
    Names top;
    for (const TSpecNode* n : bed.walnut.Root()->Children()) top.emplace_back(n->Name());
    // USER-TAGS, then BASE-ASSET from kuid on, then one mesh-table, then the traincar's own.
    ASSERT_GE(top.size(), 4u);
    EXPECT_EQ(top[0], "extensions");
    EXPECT_EQ(top[1], "kuid");
    EXPECT_EQ(top[top.size() - 2], "mesh-table");
    EXPECT_EQ(top.back(), "mass");
    EXPECT_EQ(std::count(top.begin(), top.end(), "mesh-table"), 1);
}

TEST(SpecKinds, SectionsOutOfOrderOrMissingLoseNothingElse) {
    WalnutBed bed;
    bed.Load("outoforder");
    EXPECT_TRUE(bed.Has("late-tag"));
    EXPECT_TRUE(bed.Has("early-tag"));
    const auto& top = bed.walnut.Root()->Children();
    EXPECT_EQ(top[top.size() - 2]->Name(), "late-tag");
    EXPECT_EQ(top.back()->Name(), "early-tag");

    bed.Load("missing");
    EXPECT_EQ(bed.walnut.KindChain(), "USER-TAGS,BASE-ASSET,NOWHERE,SCENERY");
    EXPECT_TRUE(bed.Has("trackside"));
    EXPECT_TRUE(bed.Has("kind"));
}

TEST(SpecKinds, AHelpTextMentioningSubsectionsIsAnOrdinaryTag) {
    WalnutBed bed;
    bed.Load("scenery");
    const TTagSpec kind = bed.Spec("kind");
    EXPECT_EQ(kind.Format, "enum");
    EXPECT_EQ(kind.Source, "$KIND");
}

TEST(SpecKinds, MeshTablesOfTwoSectionsMerge) {
    WalnutBed bed;
    bed.Load("traincar");
    EXPECT_TRUE(bed.Has("mesh-table\\default\\mesh"));
    EXPECT_TRUE(bed.Has("mesh-table\\default\\auto-create"));
    EXPECT_TRUE(bed.Has("mesh-table\\default\\att"));
    const TSpecNode* entry = bed.walnut.SpecNodeByPath("mesh-table\\default");
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->Children().size(), 3u);
    EXPECT_EQ(entry->Children()[2]->Name(), "att");
    EXPECT_EQ(entry->Children()[2]->Parent(), entry);
}

TEST(SpecKinds, RequiredTagPathsInTreeOrder) {
    WalnutBed bed;
    bed.Load("scenery");
    EXPECT_EQ(bed.walnut.RequiredTagPaths(),
              (Names{"config.txt\\kuid", "config.txt\\trainz-build", "config.txt\\mesh-table\\*\\mesh"}));
}

// --- subsections

TEST(SpecSubsections, InsertedUpToTheirLimitsAndDepthEight) {
    WalnutBed bed;
    bed.Load("nested");
    // A block of limit 2 inserts itself once more, not twice.
    EXPECT_TRUE(bed.Has("limited\\level"));
    EXPECT_TRUE(bed.Has("limited\\level\\level"));
    EXPECT_FALSE(bed.Has("limited\\level\\level\\level"));

    // A reference to its own block without a limit stops at depth 8.
    std::string path = "selfref";
    for (int depth = 1; depth <= 8; ++depth) {
        EXPECT_TRUE(bed.Has(path + "\\leaf")) << depth;
        path += "\\deeper";
        EXPECT_TRUE(bed.Has(path)) << depth;
    }
    EXPECT_FALSE(bed.Has(path + "\\leaf"));
    EXPECT_TRUE(bed.walnut.SpecNodeByPath(path)->Children().empty());

    // A reference without an attribute inserts nothing, and the queue block inserts its tags.
    EXPECT_TRUE(bed.walnut.SpecNodeByPath("unnamed")->Children().empty());
    bed.Load("scenery");
    EXPECT_TRUE(bed.Has("queues\\passengers\\size"));
    EXPECT_TRUE(bed.Has("queues\\passengers\\product-kuid"));
}

TEST(SpecSubsections, TheNodeCapEndsALoadWithAMessage) {
    TempDir dir;
    // Ten references per level, eight levels: far more than a load may add.
    std::string refs;
    for (int i = 0; i < 10; ++i) refs += "<subsection BLOCK=\"0\"/>";
    const std::string path = dir / "tags.xml";
    WriteBytes(path, "<TAGS><KIND><big inherit=\"BIG\"/></KIND><BIG><t>" + refs + "</t></BIG><BLOCK><a format=\"int\"/><c>" +
                         refs + "</c></BLOCK></TAGS>");
    TProgramState state;
    TWalnut walnut(state);
    const std::string error = walnut.LoadTagSpec(path, "big");
    EXPECT_EQ(error, "Tag specification " + path + ": the tags of kind big reach 100000 nodes; the rest is not "
                                                   "loaded (subsections referring to each other?)");
    EXPECT_EQ(walnut.LoadError(), error);
    ASSERT_NE(walnut.Root(), nullptr);
    EXPECT_TRUE(walnut.SpecNodeByPath("t\\a") != nullptr);
}

// --- failures

TEST(SpecFailures, MissingOrMalformedFilesLeaveEverythingEmpty) {
    TempDir dir;
    const std::string path = dir / "tags.xml";
    WriteBytes(path, "<TAGS>\n<KIND>\n<scenery inherit=\"X\">\n</KIND>\n</TAGS>\n");
    WalnutBed bed;
    bed.Load("scenery");
    const std::string error = bed.walnut.LoadTagSpec(path, "scenery");
    EXPECT_EQ(error.rfind("Tag specification " + path + ", line 4: ", 0), 0u) << error;
    EXPECT_EQ(bed.walnut.Root(), nullptr);
    EXPECT_TRUE(bed.walnut.AssetKinds().empty());
    EXPECT_TRUE(bed.state.AssetKinds.empty());
    EXPECT_EQ(bed.walnut.KindChain(), "");
    EXPECT_TRUE(bed.walnut.RequiredTagPaths().empty());
    bool found = true;
    const TTagSpec spec = bed.walnut.FindSpecNode("kind", found);
    EXPECT_FALSE(found);
    EXPECT_EQ(spec.Format, "string");
    EXPECT_EQ(bed.Allowed("config.txt"), Names{});

    EXPECT_EQ(bed.walnut.LoadTagSpec(dir / "none.xml", "scenery"), "File not found: " + (dir / "none.xml"));
    EXPECT_EQ(bed.walnut.Root(), nullptr);
}

// --- definitions

TEST(SpecRecords, AttributesBecomeTheRecord) {
    WalnutBed bed;
    bed.state.ProgramFolder = "/opt/kelvarn/";
    bed.Load("scenery");
    struct Case {
        const char* path;
        const char* format;
        int elements;
        int valueKind;
        const char* defaultValue;
    } cases[] = {
        {"plain-tag", "string", 1, vkQuoted, ""},
        {"offset", "float", 3, vkBare, "0,0,0"},
        {"count", "int", 1, vkBare, ""},
        {"bare-string", "string", 1, vkBare, ""},
        {"description", "memo", 1, vkQuoted, ""},
        {"kind", "enum", 1, vkQuoted, ""},
        {"mesh-table\\default\\mesh", "file", 1, vkQuoted, ""},
        {"mesh-table\\default\\auto-create", "bool", 1, vkBare, ""},
        {"icon", "file", 1, vkQuoted, "/opt/kelvarn/bin\\icon.tga"},
        {"region-kuid", "kuid", 1, vkBare, "<nullkuid>"},
        {"kuid", "kuid", 1, vkBare, "<nullkuid>"},
        {"kuid-table", "kuid-list", 1, vkBare, ""},
    };
    for (const Case& c : cases) {
        const TTagSpec spec = bed.Spec(c.path);
        EXPECT_EQ(spec.Format, c.format) << c.path;
        EXPECT_EQ(spec.Elements, c.elements) << c.path;
        EXPECT_EQ(spec.ValueKind, c.valueKind) << c.path;
        EXPECT_EQ(spec.Default, c.defaultValue) << c.path;
    }
    const TTagSpec rate = bed.Spec("smoke0\\rate");
    EXPECT_EQ(rate.Min, "0");
    EXPECT_EQ(rate.Max, "10");
    EXPECT_EQ(rate.Step, "0.5");
    EXPECT_EQ(rate.Precision, "1");
    EXPECT_EQ(rate.Sequence, "0");
    EXPECT_EQ(bed.Spec("bogey-2").Sequence, "3");
    EXPECT_TRUE(bed.Spec("mesh-table\\x\\mesh").Ext);
    EXPECT_TRUE(bed.Spec("mesh-table\\x\\mesh").Required);
    EXPECT_EQ(bed.Spec("new-tag").Introduced, "3.5");
    EXPECT_EQ(bed.Spec("old-tag").Obsolete, "2.5");
    EXPECT_EQ(bed.Spec("kuid").Mandatory, "2.0");

    bool found = true;
    const TTagSpec none = bed.walnut.FindSpecNode("config.txt\\no-such-tag", found);
    EXPECT_FALSE(found);
    EXPECT_EQ(none.Format, "string");
    EXPECT_EQ(none.ValueKind, vkQuoted);
}

TEST(SpecRecords, ExtensionPathsFindTheirOwnTags) {
    WalnutBed bed;
    bed.Load("scenery");
    struct Case {
        const char* path;
        const char* format;
    } cases[] = {
        {"config.txt\\extensions\\myext-123\\user-tag", "user-tag"},
        {"config.txt\\extensions\\a\\b\\user-tag-colour", "user-tag"},
        {"config.txt\\extensions\\myext-123\\user-table", "user-table"},
        {"config.txt\\extensions\\user-table", "user-table"},
    };
    for (const Case& c : cases) EXPECT_EQ(bed.Spec(c.path).Format, c.format) << c.path;
    bool found = true;
    bed.walnut.FindSpecNode("config.txt\\extensions\\myext-123\\colour", found);
    EXPECT_FALSE(found);
}

TEST(SpecRecords, UserDataDefaultsOnlyForTheUsersOwnAssets) {
    WalnutBed bed;
    TMemIni& ini = bed.state.Settings();
    ini.WriteString("UserData", "UserID", "1234");
    ini.WriteString("UserData", "author", "Jo Bloggs");
    WriteNumberedList(ini, "License", {"Free to use", "but not to sell"});
    ini.WriteString("UserData", "organisation", "Bloggs Rail");
    bed.Load("scenery");

    bed.state.CurrentKuid = "1234";
    EXPECT_EQ(bed.Spec("author").Default, "Jo Bloggs");
    EXPECT_EQ(bed.Spec("license").Default, "Free to use but not to sell");
    EXPECT_EQ(bed.Spec("organisation").Default, "");  // not marked as user data
    bed.state.CurrentKuid = "999";
    EXPECT_EQ(bed.Spec("author").Default, "");
    EXPECT_EQ(bed.Spec("license").Default, "");
}

TEST(SpecRecords, RenderedInItsFixedOrder) {
    WalnutBed bed;
    bed.Load("scenery");
    Names lines;
    TWalnut::RenderSpecNode(bed.Spec("smoke0\\rate"), lines);
    EXPECT_EQ(lines, (Names{"\tformat=float", "\telements=1", "\tdisplay=", "\tsource=", "\tmask=", "\thelp=",
                            "\tdefault=", "\tlocation=", "\tcaptions=", "\tunits=", "\tcontext=", "\text=0",
                            "\tuserdata=0", "\ttranslate=0", "\tsequence=0", "\ttagedit=0", "\tintroduced=",
                            "\tobsolete=", "\tmandatory=", "\trequired=0", "\tquoted=0", "\tmin=0", "\tmax=10",
                            "\tstep=0.5", "\tprecision=1"}));
    TTagSpec empty;
    empty.Format.clear();
    empty.Sequence.clear();
    TWalnut::RenderSpecNode(empty, lines);
    EXPECT_EQ(lines[0], "\tformat=***ERROR***");
    EXPECT_EQ(lines[14], "\tsequence=0");
}

TEST(SpecRecords, NodeTextsShowDisplayNameAndAttributes) {
    WalnutBed bed;
    bed.Load("scenery");
    EXPECT_EQ(bed.walnut.SpecNodeByPath("bogey-1")->Text(), "bogey-# \"format=kuid\",\"sequence=3\"");
    EXPECT_EQ(bed.walnut.SpecNodeByPath("organisation")->Text(),
              "organisation \"format=string\",\"help=The makers organisation\"");
    EXPECT_EQ(bed.walnut.SpecNodeByPath("mesh-table\\x")->Text(), "* \"format=container\"");
    EXPECT_EQ(bed.walnut.SpecNodeByPath("mesh-table\\x")->ConfigPath(), "config.txt\\mesh-table\\*");
    EXPECT_EQ(bed.walnut.Root()->Text(), "config.txt");
}

// --- lists for Insert Tag and the mandatory tags

TEST(SpecLists, AllowedTagsFollowTheBuildWindow) {
    WalnutBed bed;
    bed.Load("scenery");
    struct Case {
        int build;
        const char* tag;
        bool offered;
    } cases[] = {
        {25, "new-tag", false}, {34, "new-tag", false},   {35, "new-tag", true},     {25, "old-tag", false},
        {24, "old-tag", true},  {25, "forever-tag", true}, {255, "forever-tag", true}, {256, "forever-tag", false},
        {25, "kuid", true},     {25, "bogey-#", true},    {25, "smoke#", true},      {25, "mesh-table", true},
    };
    for (const Case& c : cases) {
        bed.state.SetActiveBuild(c.build);
        EXPECT_EQ(Contains(bed.Allowed("config.txt"), c.tag), c.offered) << c.tag << " at " << c.build;
    }
    bed.state.SetActiveBuild(29);
    EXPECT_EQ(bed.Allowed("\\mesh-table\\default"), (Names{"mesh", "auto-create"}));
    EXPECT_EQ(bed.Allowed("config.txt\\kind"), Names{});
    EXPECT_EQ(bed.Allowed("config.txt\\nothing"), Names{});
}

TEST(SpecLists, LanguageVariantsOnlyForTheChosenLanguage) {
    WalnutBed bed;
    bed.state.SetActiveBuild(29);
    bed.Load("scenery");
    const Names base = bed.Allowed("config.txt");
    for (const char* variant : {"username-de", "username-fr", "description-de", "name-de", "name-fr"})
        EXPECT_FALSE(Contains(base, variant)) << variant;

    bed.state.Settings().WriteString("Options", "Language", "de");
    Names list = bed.Allowed("config.txt");
    EXPECT_TRUE(Contains(list, "username-de"));
    EXPECT_TRUE(Contains(list, "description-de"));
    EXPECT_TRUE(Contains(list, "name-de"));
    EXPECT_FALSE(Contains(list, "username-fr"));
    EXPECT_FALSE(Contains(list, "name-fr"));
    EXPECT_TRUE(Contains(list, "username"));

    // A variant the current simulator does not know ("TS12" set to "0") is not offered there.
    bed.state.Paths.Trainz = "/games/TS12";
    EXPECT_FALSE(Contains(bed.Allowed("config.txt"), "name-de"));
}

TEST(SpecLists, ExtensionsOfferTheirOwnTagsAndTheKindsContexts) {
    WalnutBed bed;
    bed.state.SetActiveBuild(29);
    bed.Load("scenery");
    EXPECT_EQ(bed.Allowed("config.txt\\extensions"), (Names{"user-tag", "user-table"}));
    EXPECT_EQ(bed.Allowed("config.txt\\extensions\\my-extension"), (Names{"user-tag", "user-table"}));
    bed.Load("traincar");
    EXPECT_EQ(bed.Allowed("config.txt\\extensions"), (Names{"user-tag", "user-table", "traincar-extra"}));
    EXPECT_EQ(bed.Mandatory("config.txt\\extensions\\my-extension"), Names{});
}

TEST(SpecLists, MandatoryTagsFromTheirBuild) {
    WalnutBed bed;
    bed.Load("scenery");
    bed.state.SetActiveBuild(19);
    EXPECT_EQ(bed.Mandatory("config.txt"), Names{});
    bed.state.SetActiveBuild(29);
    EXPECT_EQ(bed.Mandatory("config.txt"), (Names{"kuid", "username"}));
    EXPECT_EQ(bed.Mandatory("config.txt\\mesh-table\\default"), Names{});
}

// --- the outline's seams

TEST(SpecHooks, LoadsTheKindsDefinitionsAndGivesValueKinds) {
    TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;  // answers Yes
    state.Messages = &messages;
    state.ProgramFolder = dir.Path() + "/program/";
    WriteBytes(dir / "program/bin/tags.xml", test::ReadBytes(kFixture));
    TWalnut walnut(state);
    TWalnutHooks hooks(walnut);
    TOutlineDocument doc(state);
    doc.SetHooks(&hooks);
    WriteBytes(dir / "asset/config.txt", "kind \"Traincar\"\r\nkuid <kuid:1:2>\r\n");
    ASSERT_EQ(doc.LoadConfig(dir / "asset"), "");
    EXPECT_EQ(walnut.Kind(), "traincar");
    EXPECT_EQ(state.KindChain, "USER-TAGS,BASE-ASSET,MESH-ASSET,TRAINCAR");

    // The value kind comes from the definition: a float is bare, a plain tag quoted.
    ASSERT_NE(doc.SetTagByPath("mass", "\"45000\""), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("mass")->Text(), "mass 45000");
    ASSERT_NE(doc.SetTagByPath("plain-tag", "12"), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("plain-tag")->Text(), "plain-tag \"12\"");

    // Delete Tagged re-reads the kind.
    doc.UpdateTag(doc.FindNodeByPath("kind"), "kind", "scenery");
    doc.ToggleMark(doc.FindNodeByPath("mass"), tmTag, true);
    ASSERT_TRUE(doc.DeleteTagged(false));
    EXPECT_EQ(walnut.Kind(), "scenery");
}

}  // namespace
}  // namespace kelvarn
