#include <gtest/gtest.h>

#include <map>

#include "catalogue/ConfigReader.h"
#include "catalogue/FindReplace.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineMenuRules.h"
#include "ConfigTestSupport.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;

// Rows: 0 config.txt, 1 kind, 2 username, 3 mesh-table, 4 default, 5 mesh, 6 description,
// 7 description-ru.
const char* const kConfig =
    "kind scenery\nusername \"Crème Brûlée\"\nmesh-table\n{\n  default\n  {\n    mesh \"box.im\"\n  }\n}\n"
    "description \"A box MESH\"\ndescription-ru \"\xD1\x82\xD0\xB5\xD1\x81\xD1\x82\"\n";

struct FindCase {
    const char* find;
    bool ignoreCase;
    std::size_t from;
    std::optional<std::size_t> expected;
};

TEST(FindNext, CaseWrapAndTheRowItself) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kConfig);
    const FindCase cases[] = {
        {"mesh", true, 0, 3},       // the container's name
        {"mesh", true, 3, 5},
        {"mesh", true, 5, 6},       // the value of description, in capitals
        {"mesh", true, 6, 3},       // wraps after the last row
        {"mesh", true, 7, 3},
        {"mesh", false, 5, 3},      // with case the description does not match
        {"MESH", false, 0, 6},
        {"BRÛLÉE", true, 0, 2},     // letters beyond ASCII fold too
        {"BRÛLÉE", false, 0, std::nullopt},
        {"scenery", true, 1, std::nullopt},  // the only match is the row itself
        {"scenery", true, 4, 1},
        {"", true, 0, std::nullopt},
        {"mesh", true, 99, 3},      // a stale row is clamped to the last
        {"\xD0\xA2\xD0\x95\xD0\xA1\xD0\xA2", true, 0, 7},  // "ТЕСТ" finds "тест"
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(FindNext(doc, c.from, c.find, c.ignoreCase), c.expected) << c.find << " from " << c.from;
    TOutlineDocument empty(bed.state);
    EXPECT_EQ(FindNext(empty, 0, "mesh", true), std::nullopt);
}

TEST(FindNext, RowsAndNodesAgree) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kConfig);
    ASSERT_EQ(doc.RowCount(), 8u);
    for (std::size_t row = 0; row < doc.RowCount(); ++row) EXPECT_EQ(doc.RowOf(doc.NodeAtRow(row)), row);
    EXPECT_EQ(doc.NodeAtRow(8), nullptr);
    EXPECT_EQ(doc.NodeAtRow(5)->Text(), "mesh \"box.im\"");
    TOutlineDocument other(bed.state);
    EXPECT_EQ(doc.RowOf(nullptr), std::string::npos);
}

TEST(ReplaceText, FirstAgainstAll) {
    EXPECT_EQ(ReplaceText("a.im b.IM", ".im", ".pm", true, false), "a.pm b.IM");
    EXPECT_EQ(ReplaceText("a.im b.IM", ".im", ".pm", true, true), "a.pm b.pm");
    EXPECT_EQ(ReplaceText("a.im b.IM", ".IM", ".pm", false, false), "a.im b.pm");
    EXPECT_EQ(ReplaceText("a.im b.im", ".im", ".pm", false, true), "a.pm b.pm");
    EXPECT_EQ(ReplaceText("Éa éa", "éa", "x", true, true), "x x");
    EXPECT_EQ(ReplaceText("abc", "", "x", true, true), "abc");
}

TEST(SafeNodeText, BracesAndOpenQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"description \"a {b", "description \"a (b\""},
        {"description \"a }", "description \"a )\""},
        {"name \"", "name \"\""},
        {"name \"ab\"cd", "name \"ab\"cd\""},
        {"name \"closed\"", "name \"closed\""},
        {"name \"closed\"  ", "name \"closed\"  "},
        {"name \"open  ", "name \"open\""},
        {"name a\"b", "name a\"b"},  // the reader does not take it as open
        {"\"word", "\"word"},          // no value
        {"  name \"x", "  name \"x\""},
        {"mesh-table{", "mesh-table("},
    };
    for (const auto& [typed, stored] : cases) EXPECT_EQ(SafeNodeText(typed), stored) << typed;
}

TEST(FindClick, ReplaceThenMoveOn) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kConfig);
    std::size_t row = 0;
    TFindFlags flags;
    TOutlineNode* mesh = doc.NodeAtRow(5);
    // Replace on a node that does not match only moves on to the next match.
    TFindOutcome out = FindClick(doc, doc.NodeAtRow(1), row, "box", "crate", true, flags);
    EXPECT_FALSE(out.replaced);
    EXPECT_EQ(out.select, mesh);
    EXPECT_EQ(row, 5u);
    EXPECT_FALSE(doc.Modified());
    // On the matching node: its text changes, unflagged, and the search moves on.
    out = FindClick(doc, mesh, row, "box", "crate", true, flags);
    EXPECT_TRUE(out.replaced);
    EXPECT_EQ(mesh->Text(), "mesh \"crate.im\"");
    EXPECT_FALSE(mesh->HasFlag(nfModified));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(out.select, doc.NodeAtRow(6));
    EXPECT_FALSE(out.notMatched);
    // The last match replaced, a whole pass finds nothing.
    out = FindClick(doc, doc.NodeAtRow(6), row, "box", "crate", true, flags);
    EXPECT_EQ(doc.NodeAtRow(6)->Text(), "description \"A crate MESH\"");
    EXPECT_TRUE(out.notMatched);
    EXPECT_GE(bed.Sent(kOutlineCommandStates), 1);
}

TEST(FindClick, ATypedBraceOrOpenQuoteIsMadeSafe) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kConfig);
    std::size_t row = 0;
    FindClick(doc, doc.NodeAtRow(6), row, "\"A box MESH\"", "\"a {b", true, TFindFlags{});
    EXPECT_EQ(doc.NodeAtRow(6)->Text(), "description \"a (b\"");
    // The root is never replaced, even when it matches.
    FindClick(doc, doc.Root(), row, "config", "x", true, TFindFlags{});
    EXPECT_EQ(doc.Root()->Text(), "config.txt");
    // A tag name is part of the text too.
    TFindFlags all;
    all.replaceAll = true;
    FindClick(doc, doc.NodeAtRow(3), row, "mesh", "part", true, all);
    EXPECT_EQ(doc.NodeAtRow(3)->Text(), "part-table");
}

TEST(FindClick, ReplaceRefusesWhatAnInPlaceEditRefuses) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kConfig);
    std::size_t row = 3;
    // A blank in a container's name would make the rest a value, which the writer drops.
    TFindOutcome out = FindClick(doc, doc.NodeAtRow(3), row, "mesh-table", "mesh table", true, TFindFlags{});
    EXPECT_FALSE(out.replaced);
    EXPECT_EQ(doc.NodeAtRow(3)->Text(), "mesh-table");
    EXPECT_TRUE(bed.Said("Container value must be empty"));
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(ContainsStr(doc.ConfigFileText(), "mesh-table"));
    // A node replaced down to nothing is refused too; a tag's value may change freely.
    out = FindClick(doc, doc.NodeAtRow(1), row, "kind scenery", " ", true, TFindFlags{});
    EXPECT_FALSE(out.replaced);
    EXPECT_EQ(doc.NodeAtRow(1)->Text(), "kind scenery");
    out = FindClick(doc, doc.NodeAtRow(1), row, "scenery", "scenery trackside", true, TFindFlags{});
    EXPECT_TRUE(out.replaced);
    EXPECT_EQ(doc.NodeAtRow(1)->Text(), "kind scenery trackside");
}

TEST(FindClick, StaleRowAndEmptyTree) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    std::size_t row = 40;
    TFindOutcome out = FindClick(doc, nullptr, row, "kind", "", false, TFindFlags{});
    EXPECT_EQ(out.select, nullptr);
    EXPECT_FALSE(out.notMatched);
    LoadText(bed, doc, kConfig);
    // No selection: the remembered row (from a longer config) is clamped, selected, and the search
    // runs on from there.
    out = FindClick(doc, nullptr, row, "kind", "", false, TFindFlags{});
    EXPECT_EQ(out.select, doc.NodeAtRow(1));
    EXPECT_EQ(row, 1u);
    // A selection from another document counts as none.
    TOutlineDocument other(bed.state, "otherundo");
    LoadText(bed, other, kConfig, "other");
    row = 2;
    out = FindClick(doc, other.NodeAtRow(6), row, "username", "", false, TFindFlags{});
    EXPECT_EQ(out.select, doc.NodeAtRow(2));
    EXPECT_TRUE(out.notMatched);  // the only match is the row itself
}

// --- the outline's menu states

std::map<std::string, TMenuItemState> States(const TOutlineMenuFacts& facts) {
    std::map<std::string, TMenuItemState> byName;
    for (const TMenuItemState& s : OutlineMenuStates(facts)) byName.emplace(s.name, s);
    return byName;
}

TEST(OutlineMenu, RulesFollowTheSelectedNode) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc,
             "kuid <kuid:1:2>\nkind scenery\ndep <kuid:3:4>\ninfo-url \"http://x\"\ngroup\n{\n  a 1\n  ;b 2\n}\n"
             "extensions\n{\n  kelvarn-604117\n  {\n    scripts\n    {\n      fix\n      {\n        0 \"-x\"\n      }\n    }\n  }\n}\n");
    auto at = [&](const char* path) { return States(OutlineNodeFacts(doc, doc.FindNodeByPath(path))); };

    auto none = States(OutlineNodeFacts(doc, nullptr));
    EXPECT_FALSE(*none["mComment"].visible);
    EXPECT_FALSE(*none["mFindReplace"].enabled);
    EXPECT_FALSE(*none["mExpand"].visible);
    EXPECT_FALSE(*none["bSaveConfig"].enabled);
    EXPECT_TRUE(*none["bUndoMark"].enabled);

    auto root = at("config.txt");
    EXPECT_FALSE(*root["mComment"].visible);
    EXPECT_FALSE(*root["mCopyNode"].visible);
    EXPECT_TRUE(*root["mSortTree"].visible);
    EXPECT_FALSE(*root["mDelete"].visible);

    auto kind = at("kind");
    EXPECT_TRUE(*kind["mDelete"].visible);
    EXPECT_FALSE(*kind["mDelete"].enabled);
    EXPECT_FALSE(*kind["bPromote"].enabled);  // a top-level tag cannot be promoted
    EXPECT_TRUE(*kind["bMoveUp"].enabled);
    EXPECT_FALSE(*kind["mIncrementKUID"].visible);

    auto kuid = at("kuid");
    EXPECT_TRUE(*kuid["mIncrementKUID"].visible);
    EXPECT_FALSE(*kuid["bMoveUp"].enabled);
    EXPECT_TRUE(*kuid["mOpenKUID"].visible);
    EXPECT_FALSE(*kuid["mOpenKUID"].enabled);

    auto dep = at("dep");
    EXPECT_TRUE(*dep["mOpenKUID"].enabled);
    EXPECT_FALSE(*dep["mAssetStatus"].visible);  // no console
    EXPECT_TRUE(*at("info-url")["mOpenLink"].visible);
    EXPECT_FALSE(*dep["mOpenLink"].visible);

    auto inner = at("group\\a");
    EXPECT_TRUE(*inner["bPromote"].enabled);
    auto comment = at("group\\b");
    EXPECT_FALSE(*comment["bPromote"].enabled);
    EXPECT_TRUE(*comment["mComment"].checked);
    EXPECT_TRUE(*at("info-url")["bDemote"].enabled);  // the group below is a container
    EXPECT_TRUE(*at("group")["mPromoteAll"].visible);
    EXPECT_TRUE(*at("group")["mAddChildTag"].visible);
    EXPECT_FALSE(*kind["mAddChildTag"].visible);

    EXPECT_TRUE(*at("extensions\\kelvarn-604117\\scripts\\fix")["mRunScript"].visible);
    EXPECT_FALSE(*at("group")["mRunScript"].visible);

    // Facts of the program: the copy list, the owner, the tagged count.
    TOutlineMenuFacts facts = OutlineNodeFacts(doc, doc.FindNodeByPath("kuid"));
    EXPECT_FALSE(*States(facts)["mPasteNodes"].enabled);
    EXPECT_FALSE(*States(facts)["mIncrementKUID"].enabled);
    EXPECT_FALSE(*States(facts)["mDeleteTagged"].visible);
    facts.copyListEmpty = false;
    facts.userOwnsAsset = true;
    facts.taggedCount = 1;
    EXPECT_TRUE(*States(facts)["mPasteNodes"].enabled);
    EXPECT_TRUE(*States(facts)["mIncrementKUID"].enabled);
    EXPECT_TRUE(*States(facts)["mDeleteTagged"].visible);
    EXPECT_FALSE(*States(facts)["mHelpLink"].visible);
    facts.wiki = facts.hasHelpLink = true;
    EXPECT_TRUE(*States(facts)["mHelpLink"].visible);
}

TEST(OutlineMenu, KuidAndLinkItemsWhateverTheWriting) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc,
             "kuid <KUID2:1:2:3>\nkind scenery\nupper <KUID:3:4>\nupper2 <KUID2:3:4:1>\nmixed <Kuid:3:5>\n"
             "info-url \"https://example.org/page\"\ncontact-website \"HTTPS://example.org\"\nnote \"kuid:3:4\"\n");
    auto at = [&](const char* path) {
        TOutlineMenuFacts facts = OutlineNodeFacts(doc, doc.FindNodeByPath(path));
        facts.consoleOpen = true;
        return States(facts);
    };
    for (const char* path : {"upper", "upper2", "mixed"}) {
        EXPECT_TRUE(*at(path)["mOpenKUID"].visible) << path;
        EXPECT_TRUE(*at(path)["mOpenKUID"].enabled) << path;
        EXPECT_TRUE(*at(path)["mAssetStatus"].visible) << path;
    }
    EXPECT_TRUE(*at("kuid")["mOpenKUID"].visible);
    EXPECT_FALSE(*at("kuid")["mOpenKUID"].enabled);  // the asset's own KUID
    EXPECT_FALSE(*at("note")["mOpenKUID"].visible);
    EXPECT_TRUE(*at("info-url")["mOpenLink"].visible);
    EXPECT_TRUE(*at("contact-website")["mOpenLink"].visible);
}

}  // namespace
}  // namespace kelvarn
