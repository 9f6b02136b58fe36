#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagCatalogue.h"
#include "catalogue/TagsXml.h"
#include "catalogue/Walnut.h"
#include "ConfigTestSupport.h"
#include "shell/Files.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;

// Tag definitions that know a few paths.
struct SpecHooks : IOutlineHooks {
    TTagSpec FindSpecNode(std::string_view path, bool& found) override {
        TTagSpec spec;
        found = true;
        if (path == "config.txt\\mass") {
            spec.Default = "20";
            spec.ValueKind = vkBare;
        } else if (path == "config.txt\\light") {
            spec.ValueKind = vkBare;  // no default
        } else if (path == "config.txt\\username") {
            spec.Default = "Unnamed";
        } else if (path.rfind("config.txt\\kuid-table\\", 0) == 0) {
            spec.Default = "<nullkuid>";
            spec.ValueKind = vkBare;
        } else {
            found = false;
            return DefaultTagSpec();
        }
        return spec;
    }
};

// The one-line input answering every name it is asked for with "body".
std::optional<std::string> Body(const std::string&, const std::string&) { return std::string("body"); }

struct Catalogue {
    TCatalogueNode top{"Kind traincar: available tags"};
    TCatalogueNode* mass = top.Add("mass", {"format=float", "default=20", "help=Mass in kg"});
    TCatalogueNode* light = top.Add("light", {"format=bool"});
    TCatalogueNode* username = top.Add("username", {"format=string"});
    TCatalogueNode* meshTable = top.Add("mesh-table", {"format=container"});
    TCatalogueNode* meshId = meshTable->Add("mesh-id");
    TCatalogueNode* mesh = meshId->Add("mesh", {"format=file"});
};

TEST(TagCatalogue, AddressAndTreeText) {
    Catalogue c;
    EXPECT_EQ(SelectedTagAddress(c.mesh), "config.txt\\mesh-table\\mesh-id\\mesh");
    EXPECT_EQ(SelectedTagAddress(c.mass), "config.txt\\mass");
    EXPECT_EQ(SelectedTagAddress(&c.top), "");
    EXPECT_EQ(SelectedTagAddress(nullptr), "");
    EXPECT_EQ(CatalogueTreeText(&c.top),
              "Kind traincar: available tags\r\n\tmass\r\n\tlight\r\n\tusername\r\n\tmesh-table\r\n\t\tmesh-id\r\n"
              "\t\t\tmesh\r\n");
    // Attributes are kept only where the element has some.
    EXPECT_EQ(c.meshId->Element(), nullptr);
    ASSERT_NE(c.mass->Element(), nullptr);
    EXPECT_EQ(c.mass->Element()->Value("help"), "Mass in kg");
    EXPECT_EQ(c.mass->Element()->Value("units"), "");
    EXPECT_EQ(c.mesh->Level(), 3);
}

TEST(TagCatalogue, AddToConfig) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    SpecHooks hooks;
    doc.SetHooks(&hooks);
    LoadText(bed, doc, "kind traincar\nusername \"Mine\"\nmesh-table\n{\n}\n");
    Catalogue c;
    // The tag definitions' default, written by its value kind.
    ASSERT_NE(AddToConfig(doc, c.mass, Body), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("mass")->Text(), "mass 20");
    // A bare tag without a default is refused.
    EXPECT_EQ(AddToConfig(doc, c.light, Body), nullptr);
    EXPECT_TRUE(bed.Said("Non string values cannot be empty"));
    EXPECT_EQ(doc.FindNodeByPath("light"), nullptr);
    // An element with children goes in as a container, inside the existing container path.
    ASSERT_NE(AddToConfig(doc, c.meshId, Body), nullptr);
    const TOutlineNode* entry = doc.FindNodeByPath("mesh-table\\body");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->ChildMark());
    EXPECT_EQ(AddToConfig(doc, c.meshId, Body), nullptr);  // already there: nothing changes
    // A path tags.xml does not describe: an empty quoted value.
    ASSERT_NE(AddToConfig(doc, c.mesh, Body), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("mesh-table\\body\\mesh")->Text(), "mesh \"\"");
    // An existing container never takes a value, even where the catalogue lists a tag of its name.
    TCatalogueNode other("Kind x: available tags");
    EXPECT_EQ(AddToConfig(doc, other.Add("mesh-table", {"default=1"}), Body), nullptr);
    EXPECT_TRUE(bed.Said("Container value must be empty"));
    EXPECT_TRUE(doc.FindNodeByPath("mesh-table")->ChildMark());
    // An overwritten value comes back with undo.
    const int depth = doc.UndoStack().Depth();
    ASSERT_NE(AddToConfig(doc, c.username, Body), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("username")->Text(), "username \"Unnamed\"");
    EXPECT_EQ(doc.UndoStack().Depth(), depth + 1);
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.FindNodeByPath("username")->Text(), "username \"Mine\"");
    EXPECT_EQ(AddToConfig(doc, &c.top, Body), nullptr);
}

TEST(TagCatalogue, AddToConfigAsksNamesForPatterns) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    SpecHooks hooks;
    doc.SetHooks(&hooks);
    LoadText(bed, doc, "kind traincar\nthumbnails\n{\n  0\n  {\n  }\n}\nbogey-0 1\n");
    TCatalogueNode top("Kind traincar: available tags");
    TCatalogueNode* image = top.Add("thumbnails", {"format=container"})->Add("thumbnail-id")->Add("image", {"format=file"});
    TCatalogueNode* bogey = top.Add("bogey-N", {"format=int", "default=2"});
    std::vector<std::string> asked;
    std::optional<std::string> answer;
    const TAskTagName ask = [&](const std::string& pattern, const std::string& proposal) {
        asked.push_back(pattern + "|" + proposal);
        return answer ? answer : std::optional<std::string>(proposal);
    };
    ASSERT_NE(AddToConfig(doc, image, ask), nullptr);
    ASSERT_NE(AddToConfig(doc, bogey, ask), nullptr);
    EXPECT_EQ(asked, (std::vector<std::string>{"thumbnail-id|1", "bogey-N|bogey-1"}));
    EXPECT_EQ(doc.FindNodeByPath("thumbnails\\1\\image")->Text(), "image \"\"");
    EXPECT_EQ(doc.FindNodeByPath("bogey-1")->Text(), "bogey-1 \"\"");
    EXPECT_EQ(doc.FindNodeByPath("thumbnail-id"), nullptr);
    // Cancelled: nothing changes and no undo step is left.
    const int depth = doc.UndoStack().Depth();
    EXPECT_EQ(AddToConfig(doc, bogey, [](const std::string&, const std::string&) { return std::optional<std::string>(); }), nullptr);
    EXPECT_EQ(doc.UndoStack().Depth(), depth);
    EXPECT_EQ(AddToConfig(doc, bogey, nullptr), nullptr);
}

// A typed name is judged as Insert Tag judges it: the name of an entry there is, in any case, would
// only reset that entry to the default, and a "\" would build containers.
TEST(TagCatalogue, AddToConfigRefusesTheNameOfAnEntryThereIsAndABackslash) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    SpecHooks hooks;
    doc.SetHooks(&hooks);
    const std::string config = "kind \"scenery\"\nkuid-table\n{\n  databaze <kuid:1:2>\n}\nstring-table\n{\n  Key1 \"v\"\n}\n";
    LoadText(bed, doc, config);
    TCatalogueNode top("Kind scenery: available tags");
    TCatalogueNode* dependency = top.Add("kuid-table", {"format=kuid-list"})->Add("*", {"format=kuid", "default=<nullkuid>"});
    TCatalogueNode* text = top.Add("string-table", {"format=container"})->Add("*", {"format=string"});
    const std::string before = doc.ConfigFileText();
    std::string answer;
    const TAskTagName ask = [&](const std::string&, const std::string&) { return std::optional<std::string>(answer); };
    const struct {
        TCatalogueNode* node;
        const char* name;
        const char* said;
    } refused[] = {
        {dependency, "DataBaze", "Tag already exists: DataBaze"},
        {dependency, " databaze ", "Tag already exists: databaze"},
        {text, "key1", "Tag already exists: key1"},
        {dependency, "a\\b", "Tag names cannot hold \"\\\": a\\b"},
        {text, "x\\Key1", "Tag names cannot hold \"\\\": x\\Key1"},
        {text, "  ", "Tags cannot be empty"},
    };
    for (const auto& r : refused) {
        answer = r.name;
        EXPECT_EQ(AddToConfig(doc, r.node, ask), nullptr) << r.name;
        EXPECT_TRUE(bed.Said(r.said)) << r.name;
        EXPECT_EQ(doc.ConfigFileText(), before) << r.name;
    }
    EXPECT_EQ(doc.UndoStack().Depth(), 0);
    EXPECT_FALSE(doc.Modified());
    // A new name is added.
    answer = "other";
    ASSERT_NE(AddToConfig(doc, dependency, ask), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("kuid-table\\other")->Text(), "other <nullkuid>");
    EXPECT_EQ(doc.FindNodeByPath("kuid-table\\databaze")->Text(), "databaze <kuid:1:2>");
}

TEST(TagCatalogue, OnlyAChangeLeavesAnUndoStep) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    SpecHooks hooks;
    doc.SetHooks(&hooks);
    LoadText(bed, doc, "kind traincar\nmesh-table\n{\n}\n");
    Catalogue c;
    EXPECT_EQ(AddToConfig(doc, c.light, Body), nullptr);  // refused: no default for a bare tag
    TCatalogueNode other("Kind x: available tags");
    EXPECT_EQ(AddToConfig(doc, other.Add("mesh-table", {"default=1"}), Body), nullptr);  // refused: a container
    EXPECT_EQ(doc.UndoStack().Depth(), 0);
    ASSERT_NE(AddToConfig(doc, c.meshId, Body), nullptr);
    EXPECT_EQ(AddToConfig(doc, c.meshId, Body), nullptr);  // already there: nothing changes
    EXPECT_EQ(doc.UndoStack().Depth(), 1);
    // The one step undoes the one change.
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.FindNodeByPath("mesh-table\\body"), nullptr);
    EXPECT_FALSE(doc.CanUndo());
}

// --- the catalogue of a kind, from the tag definitions' test file

struct CatalogueBed : ConfigTestBed {
    TOutlineDocument doc{state};
    TWalnut walnut{state};
    TOutlineCommandHooks hooks{state, walnut};
    TTagCatalogue catalogue{state};
    CatalogueBed() {
        test::WriteBytes(dir / "program/bin/tags.xml", test::ReadBytes(std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml"));
        doc.SetHooks(&hooks);
    }
    // The children of a node of the shown tree, by the texts below the top node (first matches).
    std::vector<std::string> Children(std::initializer_list<const char*> path = {}) const {
        const TCatalogueNode* node = catalogue.Top();
        for (const char* text : path) {
            const TCatalogueNode* next = nullptr;
            for (std::size_t i = 0; node && !next && i < node->ChildCount(); ++i)
                if (node->Child(i)->Text() == text) next = node->Child(i);
            node = next;
        }
        std::vector<std::string> names;
        for (std::size_t i = 0; node && i < node->ChildCount(); ++i) names.push_back(node->Child(i)->Text());
        return names;
    }
    const TCatalogueNode* Find(const std::string& text) const {
        const TCatalogueNode* found = nullptr;
        std::vector<const TCatalogueNode*> pending{catalogue.Top()};
        while (!pending.empty() && !found) {
            const TCatalogueNode* n = pending.back();
            pending.pop_back();
            if (n->Text() == text) found = n;
            for (std::size_t i = 0; i < n->ChildCount(); ++i) pending.push_back(n->Child(i));
        }
        return found;
    }
};

TEST(TagCatalogueOfAKind, SectionsInTheKindsOrder) {
    CatalogueBed bed;
    LoadText(bed, bed.doc, "kind traincar\n");
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, ""), "");
    EXPECT_EQ(bed.catalogue.Top()->Text(), "Kind traincar: available tags");
    // USER-TAGS, BASE-ASSET, then the inherit list in its order; the mesh tables are not merged here.
    const std::vector<std::string> top = bed.Children();
    ASSERT_GE(top.size(), 4u);
    EXPECT_EQ(top.front(), "extensions");
    EXPECT_EQ(top[1], "kuid");
    EXPECT_EQ(std::count(top.begin(), top.end(), "mesh-table"), 2);
    EXPECT_EQ(top.back(), "mass");
    EXPECT_EQ(bed.Children({"mesh-table", "mesh-id"}), (std::vector<std::string>{"mesh", "auto-create"}));
    EXPECT_EQ(bed.Children({"extensions"}), (std::vector<std::string>{"user-tag", "user-table", "traincar-extra"}));
    // Raw names, and attributes kept where an element has some.
    const TCatalogueNode* help = bed.Find("kind");
    ASSERT_NE(help, nullptr);
    ASSERT_NE(help->Element(), nullptr);
    EXPECT_EQ(help->Element()->Value("help"), "The asset kind; the subsection on kinds explains them");
    EXPECT_EQ(help->Element()->Attributes.front(), "format=enum");
    EXPECT_NE(bed.Find("bogey-N"), nullptr);
    EXPECT_EQ(bed.Find("plain-tag")->Element(), nullptr);
    EXPECT_EQ(SelectedTagAddress(bed.Find("auto-create")), "config.txt\\mesh-table\\mesh-id\\auto-create");

    // A sections order the kind gives, whatever the file's.
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, "outoforder"), "");
    const std::vector<std::string> order = bed.Children();
    EXPECT_EQ(std::vector<std::string>(order.end() - 2, order.end()), (std::vector<std::string>{"late-tag", "early-tag"}));
}

TEST(TagCatalogueOfAKind, UnknownKindsAndTheOutlinesAnalysis) {
    CatalogueBed bed;
    LoadText(bed, bed.doc, "kind \"Scenery\"\ntrackside 1\n");
    // The outline's analysis makes scenery-trackside, which the file does not list: unknown.
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, ""), "");
    EXPECT_EQ(bed.catalogue.Kind(), "unknown");
    EXPECT_EQ(bed.catalogue.Top()->Text(), "Kind unknown: available tags");
    EXPECT_EQ(bed.Children().front(), "extensions");
    EXPECT_EQ(bed.Find("trackside"), nullptr);
    // A kind given quoted and in capitals is the kind in lower case.
    LoadText(bed, bed.doc, "kind scenery\n", "plain");
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, "\"SCENERY\""), "");
    EXPECT_EQ(bed.catalogue.Kind(), "scenery");
    EXPECT_NE(bed.Find("trackside"), nullptr);
}

TEST(TagCatalogueOfAKind, SubsectionsNestAtMostFourDeep) {
    CatalogueBed bed;
    LoadText(bed, bed.doc, "kind nested\n");
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, ""), "");
    // LIMITED="2": its block twice, then no more.
    EXPECT_EQ(bed.Children({"limited"}), std::vector<std::string>{"level"});
    EXPECT_EQ(bed.Children({"limited", "level"}), std::vector<std::string>{"level"});
    EXPECT_TRUE(bed.Children({"limited", "level", "level"}).empty());
    // A block that names itself ends at the catalogue's own depth.
    int depth = 0;
    const TCatalogueNode* node = bed.Find("selfref");
    while (node && node->ChildCount() > 0) {
        node = node->Child(0);
        if (node->Text() == "deeper") ++depth;
    }
    EXPECT_EQ(depth, kMaxCatalogueDepth);
    // A reference without a name inserts nothing.
    EXPECT_TRUE(bed.Children({"unnamed"}).empty());
    // SCENERY's queue entry takes the QUEUE block in its place.
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, "scenery"), "");
    EXPECT_EQ(bed.Children({"queues", "queue-id"}), (std::vector<std::string>{"size", "product-kuid"}));
}

TEST(TagCatalogueOfAKind, AMissingOrBadFileSaysWhy) {
    CatalogueBed bed;
    LoadText(bed, bed.doc, "kind traincar\n");
    test::WriteBytes(bed.dir / "program/bin/tags.xml", "<TAGS><KIND>");
    const std::string error = bed.catalogue.ShowAvailableTags(bed.doc, "");
    EXPECT_TRUE(ContainsStr(error, "tags.xml")) << error;
    EXPECT_FALSE(bed.catalogue.Loaded());
    DeleteFilePath(bed.dir / "program/bin/tags.xml");
    EXPECT_FALSE(bed.catalogue.ShowAvailableTags(bed.doc, "").empty());
    EXPECT_FALSE(bed.catalogue.Loaded());
}

TEST(TagCatalogueOfAKind, AddToConfigWithTheTagDefinitions) {
    CatalogueBed bed;
    LoadText(bed, bed.doc, "kind checks\n");
    ASSERT_EQ(bed.catalogue.ShowAvailableTags(bed.doc, ""), "");
    // A bare tag without a default is refused; a default is written as the tag definitions say.
    EXPECT_EQ(AddToConfig(bed.doc, bed.Find("count"), Body), nullptr);
    EXPECT_TRUE(bed.Said("Non string values cannot be empty"));
    ASSERT_NE(AddToConfig(bed.doc, bed.Find("offset"), Body), nullptr);
    EXPECT_EQ(bed.doc.FindNodeByPath("offset")->Text(), "offset 0,0,0");
    // An element with children is a container; its number pattern is a name the user gives.
    const TAskTagName proposed = [](const std::string&, const std::string& proposal) { return std::optional<std::string>(proposal); };
    ASSERT_NE(AddToConfig(bed.doc, bed.Find("smokeN"), proposed), nullptr);
    EXPECT_TRUE(bed.doc.FindNodeByPath("smoke0")->ChildMark());
    EXPECT_EQ(bed.doc.FindNodeByPath("smokeN"), nullptr);
}

}  // namespace
}  // namespace kelvarn
