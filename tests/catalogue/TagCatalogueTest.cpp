#include <gtest/gtest.h>

#include "catalogue/OutlineDocument.h"
#include "catalogue/TagCatalogue.h"
#include "ConfigTestSupport.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;

// A specification that knows a few paths.
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
        } else {
            found = false;
            return DefaultTagSpec();
        }
        return spec;
    }
};

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
    // The specification's default, written by its value kind.
    ASSERT_NE(AddToConfig(doc, c.mass), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("mass")->Text(), "mass 20");
    // A bare tag without a default is refused.
    EXPECT_EQ(AddToConfig(doc, c.light), nullptr);
    EXPECT_TRUE(bed.Said("Non string values cannot be empty"));
    EXPECT_EQ(doc.FindNodeByPath("light"), nullptr);
    // An element with children goes in as a container, inside the existing container path.
    ASSERT_NE(AddToConfig(doc, c.meshId), nullptr);
    const TOutlineNode* entry = doc.FindNodeByPath("mesh-table\\mesh-id");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->ChildMark());
    EXPECT_EQ(AddToConfig(doc, c.meshId), nullptr);  // already there: nothing changes
    // A path tags.xml does not describe: an empty quoted value.
    ASSERT_NE(AddToConfig(doc, c.mesh), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("mesh-table\\mesh-id\\mesh")->Text(), "mesh \"\"");
    // An existing container never takes a value, even where the catalogue lists a tag of its name.
    TCatalogueNode other("Kind x: available tags");
    EXPECT_EQ(AddToConfig(doc, other.Add("mesh-table", {"default=1"})), nullptr);
    EXPECT_TRUE(bed.Said("Container value must be empty"));
    EXPECT_TRUE(doc.FindNodeByPath("mesh-table")->ChildMark());
    // An overwritten value comes back with undo.
    const int depth = doc.UndoStack().Depth();
    ASSERT_NE(AddToConfig(doc, c.username), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("username")->Text(), "username \"Unnamed\"");
    EXPECT_EQ(doc.UndoStack().Depth(), depth + 1);
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.FindNodeByPath("username")->Text(), "username \"Mine\"");
    EXPECT_EQ(AddToConfig(doc, &c.top), nullptr);
}

}  // namespace
}  // namespace kelvarn
