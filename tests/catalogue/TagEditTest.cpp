#include <gtest/gtest.h>

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "ConfigTestSupport.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;
using test::Rows;

TTagSpec Spec(std::string path, std::string name, std::string value, int kind) {
    TTagSpec spec;
    spec.Path = std::move(path);
    spec.Name = std::move(name);
    spec.Value = std::move(value);
    spec.ValueKind = kind;
    return spec;
}

TEST(TagEdits, ValueKindsAndRefusals) {
    const std::string x250(250, 'x'), x251(251, 'x');
    const struct {
        const char* what;
        TTagSpec spec;
        const char* text;   // the node text, or "" when refused
        const char* alert;  // the alert of a refusal
    } cases[] = {
        {"auto integer", Spec("\\n", "n", "12", vkAuto), "n 12", ""},
        {"auto negative fraction", Spec("\\n", "n", "-0.5", vkAuto), "n -0.5", ""},
        {"auto number list", Spec("\\n", "n", "1,2,3", vkAuto), "n 1,2,3", ""},
        {"auto 00 is text", Spec("\\n", "n", "00", vkAuto), "n \"00\"", ""},
        {"auto empty", Spec("\\n", "n", "", vkAuto), "", "Non string values cannot be empty"},
        {"auto kuid", Spec("\\n", "n", "<kuid:1:2>", vkAuto), "n <kuid:1:2>", ""},
        {"auto text", Spec("\\n", "n", "abc", vkAuto), "n \"abc\"", ""},
        {"auto numbers-604117", Spec("\\numbers-604117", "numbers-604117", "12", vkAuto), "numbers-604117 \"12\"", ""},
        {"pasted path is auto", Spec("\\pasted*box\\n", "n", "7", vkQuoted), "n 7", ""},
        {"bare loses every quote", Spec("\\n", "n", "\"a\"b\"", vkBare), "n ab", ""},
        {"quoted exactly once", Spec("\\n", "n", "\"a\"b", vkQuoted), "n \"ab\"", ""},
        {"quoted empty is a value", Spec("\\n", "n", "", vkQuoted), "n \"\"", ""},
        {"250 characters stay bare", Spec("\\n", "n", x250, vkBare), nullptr, ""},
        {"251 characters are quoted", Spec("\\n", "n", x251, vkBare), nullptr, ""},
        {"blanks in a name", Spec("\\n", "my tag", "1", vkBare), "my_tag 1", ""},
        {"empty name", Spec("\\n", "", "1", vkBare), "", "Tags cannot be empty"},
        {"container", Spec("\\box\\", "box", "", vkQuoted), "box", ""},
        {"container with a value", Spec("\\box\\", "box", "1", vkQuoted), "", "Container value must be empty"},
        {"braces in name and value", Spec("\\n", "a{b}", "x { y }", vkQuoted), "a(b) \"x(y )\"", ""},
    };
    for (const auto& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        std::string text;
        bool container = false;
        const bool ok = doc.CheckTagEdit(c.spec, text, container);
        if (c.text == nullptr) {
            const bool quoted = c.spec.Value.size() > 250;
            EXPECT_TRUE(ok) << c.what;
            EXPECT_EQ(text, "n " + (quoted ? "\"" + c.spec.Value + "\"" : c.spec.Value)) << c.what;
            continue;
        }
        EXPECT_EQ(ok, *c.text != '\0') << c.what;
        EXPECT_EQ(text, c.text) << c.what;
        EXPECT_EQ(container, EndsWith(c.spec.Path, "\\")) << c.what;
        if (*c.alert) EXPECT_EQ(bed.messages.messages, std::vector<std::string>{c.alert}) << c.what;
        else EXPECT_TRUE(bed.messages.messages.empty()) << c.what;
    }
}

// A control character is refused wherever it stands in a long name or value; a tab, DEL and the bytes of
// other scripts are no line breaks.
TEST(TagEdits, AControlCharacterIsFoundWhereverItStands) {
    for (const std::string plain : {"abcdefghijklmnopqrstuvwx", "abcdefghijklmnopq\x7F" "r\xC3\xA9" "s\xC2\xA0"}) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        std::string text;
        bool container = false;
        EXPECT_TRUE(doc.CheckTagEdit(Spec("\\n", "n", plain + "\t" + plain, vkQuoted), text, container)) << plain;
        EXPECT_TRUE(doc.CheckTagEdit(Spec("\\" + plain, plain, "1", vkBare), text, container)) << plain;
        std::size_t refusals = 0;
        for (std::size_t at = 0; at <= plain.size(); ++at)
            for (const char control : {'\x01', '\x1F', '\x00', '\n'}) {
                std::string value = plain;
                value.insert(at, 1, control);
                EXPECT_FALSE(doc.CheckTagEdit(Spec("\\n", "n", value, vkBare), text, container)) << at;
                EXPECT_FALSE(doc.CheckTagEdit(Spec("\\" + value, value, "1", vkBare), text, container)) << at;
                refusals += 2;
            }
        ASSERT_EQ(bed.messages.messages.size(), refusals) << plain;
        EXPECT_EQ(bed.messages.messages.front(), "The value of n cannot hold line breaks or control characters");
        EXPECT_EQ(bed.messages.messages.back(), "Tag names cannot hold line breaks or control characters");
    }
}

TEST(TagEdits, NameIsCutAtTwoHundredFiftyFiveCharacters) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    std::string text;
    bool container = false;
    std::string name;
    for (int i = 0; i < 300; ++i) name += "\xC3\xA9";  // "é", two bytes each
    ASSERT_TRUE(doc.CheckTagEdit(Spec("\\n", name, "1", vkBare), text, container));
    EXPECT_EQ(text, name.substr(0, 510) + " 1");
}

TEST(TagEdits, UnchangedTextChangesNothing) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind \"scenery\"\nwidth 240\n");
    EXPECT_EQ(doc.SetTagByPath("\\kind", "scenery"), nullptr);
    EXPECT_EQ(doc.UpdateTag(doc.FindNodeByPath("kind"), "kind", "scenery"), nullptr);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.FindNodeByPath("kind")->Flags(), 0);
    EXPECT_TRUE(bed.messages.messages.empty());
}

TEST(TagEdits, SetTagByPathCreatesContainersOnTheWay) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\nmesh-table\n{\n}\n");
    TOutlineNode* node = doc.SetTagByPath("mesh-table\\default\\mesh", "body.im");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Rows(doc.Root()), (std::vector<std::string>{"0|config.txt", "1|kind x", "1|mesh-table", "2|default",
                                                          "3|mesh \"body.im\""}));
    EXPECT_TRUE(doc.FindNodeByPath("mesh-table\\default")->ChildMark());
    EXPECT_TRUE(node->HasFlag(nfModified) && doc.FindNodeByPath("mesh-table")->HasFlag(nfModified));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.ConfigFileText(), "kind" + std::string(38, ' ') + "x\r\nmesh-table {\r\n  default {\r\n    mesh" +
                                         std::string(34, ' ') + "\"body.im\"\r\n  }\r\n}\r\n");

    // A trailing "\" makes an empty container; a second set of the same tag replaces its value.
    ASSERT_NE(doc.SetTagByPath("\\obsolete-table\\", ""), nullptr);
    EXPECT_TRUE(doc.FindNodeByPath("obsolete-table")->ChildMark());
    ASSERT_NE(doc.SetTagByPath("mesh-table\\default\\mesh", "other.im"), nullptr);
    EXPECT_EQ(doc.GetValueByPath("mesh-table\\default\\mesh"), "other.im");
    EXPECT_EQ(doc.LineCount(), 5u);
}

TEST(TagEdits, SetTagByPathRefusesWhatTheWriterWouldLose) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\nmesh-table\n{\n  default\n  {\n  }\n}\nusername \"Me\"\n");
    EXPECT_EQ(doc.SetTagByPath("kind\\x", "1"), nullptr);
    EXPECT_EQ(bed.messages.messages.back(), "A tag that holds a value cannot hold other tags: config.txt\\kind\\x");
    EXPECT_EQ(doc.SetTagByPath("\\mesh-table", "1"), nullptr);
    EXPECT_EQ(bed.messages.messages.back(), "Container value must be empty");
    EXPECT_EQ(doc.SetTagByPath("mesh-table\\default", "1"), nullptr);
    EXPECT_EQ(doc.SetTagByPath("a\\\\b", "1"), nullptr);
    EXPECT_EQ(doc.SetTagByPath("\\", "1"), nullptr);
    EXPECT_FALSE(doc.Modified());

    // A capital in the last part finds the existing tag instead of adding a second one.
    ASSERT_NE(doc.SetTagByPath("\\Username", "You"), nullptr);
    std::vector<std::string> names;
    doc.ListChildNames("\\", names);
    EXPECT_EQ(names, (std::vector<std::string>{"kind", "mesh-table", "username"}));
    EXPECT_EQ(doc.GetValueByPath("username"), "You");
}

TEST(TagEdits, UpdateApplyAndCreate) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\nbox\n{\n  b 2\n}\nlast 9\n");
    TOutlineNode* b = doc.FindNodeByPath("box\\b");
    EXPECT_EQ(doc.UpdateTag(b, "renamed", "3"), b);
    EXPECT_EQ(b->Text(), "renamed \"3\"");  // no definition: quoted
    EXPECT_EQ(doc.UpdateTag(doc.FindNodeByPath("box"), "box", "1"), nullptr);

    TOutlineNode* box = doc.FindNodeByPath("box");
    const struct {
        int mode;
        const char* path;
        const char* row;  // "parent|index" of the new node, "" for none
    } cases[] = {
        {cmLastSibling, "\\box\\s0", "config.txt|3"},
        {cmLastChild, "\\box\\s2", "box|1"},
        {cmFirstChild, "\\box\\s3", "box|0"},
        {cmBefore, "\\box\\s4", "config.txt|1"},
        {cmNone, "\\box\\s1", ""},
    };
    for (const auto& c : cases) {
        TOutlineNode* made = doc.CreateTag(Spec(c.path, LastPathElement(c.path), "v", vkBare), box, c.mode);
        if (!*c.row) {
            EXPECT_EQ(made, nullptr);
            continue;
        }
        ASSERT_NE(made, nullptr) << c.path;
        EXPECT_EQ(made->Parent()->Text() + "|" + std::to_string(made->IndexInParent()), c.row) << c.path;
        EXPECT_TRUE(made->HasFlag(nfModified));
    }
    // An existing node at the path just takes the new text.
    TOutlineNode* again = doc.CreateTag(Spec("\\last", "last", "10", vkBare), box, cmLastChild);
    EXPECT_EQ(again, doc.FindNodeByPath("last"));
    EXPECT_EQ(again->Text(), "last 10");
    // A tag takes no children.
    EXPECT_EQ(doc.CreateTag(Spec("\\kind\\y", "y", "1", vkBare), doc.FindNodeByPath("kind"), cmLastChild), nullptr);
}

}  // namespace
}  // namespace kelvarn
