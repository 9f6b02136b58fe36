#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "catalogue/OutlineWiring.h"
#include "catalogue/TagEditing.h"
#include "catalogue/TagEditorPages.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "TagEditTestSupport.h"

namespace kelvarn {
namespace {

using test::FakeEditorHost;
using test::FormatSpec;
using test::Rows;
using test::TagEditBed;

// The page answers OK with the value (and translation) given.
std::function<bool(TTagSpec&, std::vector<std::string>&, bool&)> Answer(std::string value, std::string translation = {}) {
    return [value, translation](TTagSpec& record, std::vector<std::string>&, bool&) {
        record.Value = value;
        record.CompanionValue = translation;
        return true;
    };
}

TEST(EditTagFakeHost, PageChosenByLengthAndTranslation) {
    const std::string s60(60, 'x'), s61(61, 'x');
    const struct {
        const char* what;
        std::string value;
        bool translate;
        const char* format;
    } cases[] = {
        {"61 characters open the memo page", s61, false, "memo"},
        {"60 characters stay on the string page", s60, false, "string"},
        {"a translatable string stays a string", s61, true, "string"},
    };
    for (const auto& c : cases) {
        TagEditBed bed;
        TTagSpec spec = FormatSpec("string");
        spec.Translate = c.translate;
        bed.hooks.specs["config.txt\\description"] = spec;
        bed.Load("kind \"x\"\ndescription \"" + c.value + "\"\n");
        FakeEditorHost host;
        EditTag(bed.doc, bed.Node("config.txt\\description"), host);
        ASSERT_EQ(host.shown.size(), 1u) << c.what;
        EXPECT_EQ(host.shown[0].Format, c.format) << c.what;
        EXPECT_EQ(host.shown[0].Value, c.value) << c.what;
        EXPECT_EQ(host.shown[0].Path, "config.txt\\description") << c.what;
    }
}

TEST(EditTagFakeHost, OneSnapshotPerWriteNoneOnCancel) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nusername \"old\"\n");
    FakeEditorHost host;
    EditTag(bed.doc, bed.Node("config.txt\\username"), host);  // Cancel
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);
    EXPECT_EQ(bed.Node("config.txt\\username")->Text(), "username \"old\"");

    host.edit = Answer("new");
    EditTag(bed.doc, bed.Node("config.txt\\username"), host);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);
    EXPECT_EQ(bed.Node("config.txt\\username")->Text(), "username \"new\"");

    EditTag(bed.doc, bed.Node("config.txt\\username"), host);  // OK without a change
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);
}

TEST(EditTagFakeHost, NamesStayAsWrittenAndUntouchedOkChangesNothing) {
    TagEditBed bed;
    bed.hooks.specs["config.txt\\fog-density"] = FormatSpec("float");
    bed.hooks.specs["config.txt\\username"] = FormatSpec("string");
    bed.Load("kind \"x\"\nUserName \"old\"\nfog-density \"0.12345\"\n");
    const std::string before = bed.doc.ConfigFileText();
    FakeEditorHost host;
    host.edit = [](TTagSpec&, std::vector<std::string>&, bool&) { return true; };
    for (const char* path : {"config.txt\\username", "config.txt\\fog-density"}) {
        EditTag(bed.doc, bed.Node(path), host);
        EXPECT_FALSE(bed.doc.Modified()) << path;
    }
    EXPECT_EQ(host.shown[0].Name, "UserName");
    EXPECT_EQ(bed.doc.ConfigFileText(), before);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);

    // A changed value keeps the name's spelling; only a rename changes it.
    host.edit = Answer("new");
    EditTag(bed.doc, bed.Node("config.txt\\username"), host);
    EXPECT_EQ(bed.Node("config.txt\\username")->Text(), "UserName \"new\"");
    host.edit = [](TTagSpec& record, std::vector<std::string>&, bool&) {
        record.Name = "username";
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\username"), host);
    EXPECT_EQ(bed.Node("config.txt\\username")->Text(), "username \"new\"");
}

TEST(EditTagFakeHost, KindCancelReloadsAndOkAppliesTheKindChoice) {
    TagEditBed bed;
    bed.Load("kind \"scenery\"\n");
    FakeEditorHost host;
    EditTag(bed.doc, bed.Node("config.txt\\kind"), host);
    EXPECT_EQ(bed.hooks.analyses, 2);  // the load, then the Cancel
    EXPECT_EQ(bed.Sent(ccShowTagsKeep), 1);
    EXPECT_EQ(bed.bus.sent.back(), (std::pair<int, std::string>{kOutlineCommandStates, ""}));

    host.edit = Answer("scenery-trackside");
    EditTag(bed.doc, bed.Node("config.txt\\kind"), host);
    EXPECT_EQ(bed.Node("config.txt\\kind")->Text(), "kind \"scenery\"");
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\trackside"), "0.0");
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);
    EXPECT_EQ(bed.Sent(ccShowTagsKeep), 2);
    const auto keep = std::find_if(bed.bus.sent.rbegin(), bed.bus.sent.rend(), [](const auto& s) { return s.first == ccShowTagsKeep; });
    EXPECT_EQ(keep->second, "scenery");
    EXPECT_EQ(bed.bus.sent.back().first, kOutlineCommandStates);
}

TEST(EditTagFakeHost, RefreshesAfterEveryEdit) {
    TagEditBed bed;
    bed.Load("kind \"track\"\nitrack 1\ntrainz-build 3.5\n");
    FakeEditorHost host;
    EditTag(bed.doc, bed.Node("config.txt\\itrack"), host);
    EXPECT_EQ(bed.Sent(ccConfigEdited), 1);
    EXPECT_TRUE(host.builds.empty());
    EXPECT_EQ(bed.bus.sent.back().first, kOutlineCommandStates);

    host.edit = Answer("4.2");
    EditTag(bed.doc, bed.Node("config.txt\\trainz-build"), host);
    EXPECT_EQ(host.builds, std::vector<std::string>{"4.2"});
    EXPECT_EQ(bed.Sent(ccConfigEdited), 1);
    EXPECT_EQ(bed.bus.sent.back().first, kOutlineCommandStates);
}

TEST(EditTagFakeHost, Companions) {
    const struct {
        const char* what;
        const char* language;
        const char* config;
        const char* translation;
        std::vector<std::string> rows;
    } cases[] = {
        {"updated", "de", "kind \"x\"\ndescription \"a\"\ndescription-de \"alt\"\n", "neu",
         {"1|kind \"x\"", "1|description \"b\"", "1|description-de \"neu\""}},
        {"created beside", "de", "kind \"x\"\ndescription \"a\"\n", "neu",
         {"1|kind \"x\"", "1|description-de \"neu\"", "1|description \"b\""}},
        {"absent without a language", "", "kind \"x\"\ndescription \"a\"\n", "neu",
         {"1|kind \"x\"", "1|description \"b\""}},
        {"a companion in another container is not the tag's", "de",
         "kind \"x\"\nbox\n{\n  description-de \"other\"\n}\ndescription \"a\"\n", "neu",
         {"1|kind \"x\"", "1|box", "2|description-de \"other\"", "1|description-de \"neu\"", "1|description \"b\""}},
    };
    for (const auto& c : cases) {
        TagEditBed bed;
        WriteSetting(bed.state.Settings(), keys::Language, c.language);
        TTagSpec spec = FormatSpec("string");
        spec.Translate = true;
        bed.hooks.specs["config.txt\\description"] = spec;
        bed.Load(c.config);
        FakeEditorHost host;
        host.edit = Answer("b", c.translation);
        EditTag(bed.doc, bed.Node("config.txt\\description"), host);
        std::vector<std::string> rows = Rows(bed.doc.Root());
        rows.erase(rows.begin());
        EXPECT_EQ(rows, c.rows) << c.what;
        EXPECT_EQ(bed.doc.UndoStack().Depth(), 1) << c.what;
        if (*c.language == '\0') {
            EXPECT_EQ(host.shown[0].CompanionName, "") << c.what;
        }
    }
}

TEST(EditTagFakeHost, UserTagRenameLeavesOtherTagsAlone) {
    TagEditBed bed;
    bed.hooks.specs["config.txt\\extensions\\user-tag"] = FormatSpec("user-tag");
    bed.hooks.specs["config.txt\\extensions\\user-table"] = FormatSpec("user-table");
    bed.Load("kind \"x\"\ndescription-de \"keep\"\nextensions\n{\n  mine-604117 \"v\"\n  table-604117\n  {\n    a 1\n  }\n}\n");
    FakeEditorHost host;
    host.edit = [](TTagSpec& record, std::vector<std::string>&, bool&) {
        record.Name = "description";
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\extensions\\mine-604117"), host);
    EXPECT_EQ(host.shown[0].Format, "user-tag");
    EXPECT_NE(bed.Node("config.txt\\extensions\\description"), nullptr);
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\description-de"), "keep");

    host.edit = [](TTagSpec& record, std::vector<std::string>&, bool&) {
        record.Name = "table-2";
        record.Value.clear();
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\extensions\\table-604117"), host);
    EXPECT_EQ(host.shown[1].Format, "user-table");
    ASSERT_NE(bed.Node("config.txt\\extensions\\table-2"), nullptr);
    EXPECT_EQ(bed.Node("config.txt\\extensions\\table-2")->ChildCount(), 1u);
}

TEST(EditTagFakeHost, ColourIsWrittenBare) {
    TagEditBed bed;
    bed.hooks.specs["config.txt\\colour"] = FormatSpec("RGB");
    bed.Load("kind \"x\"\ncolour \"0,0,0\"\n");
    FakeEditorHost host;
    EditTag(bed.doc, bed.Node("config.txt\\colour"), host);  // Cancel
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);
    host.colour = "255,0,0";
    EditTag(bed.doc, bed.Node("config.txt\\colour"), host);
    EXPECT_EQ(host.colourCalls, (std::vector<std::string>{"rgb|Kelvarn - colour|0,0,0", "rgb|Kelvarn - colour|0,0,0"}));
    EXPECT_TRUE(host.shown.empty());
    EXPECT_EQ(bed.Node("config.txt\\colour")->Text(), "colour 255,0,0");
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);
}

TEST(EditTagFakeHost, ListTagsThroughTheTable) {
    TagEditBed bed;
    bed.hooks.specs["config.txt\\kuid-table"] = FormatSpec("kuid-list", "Tag,Kuid");
    bed.hooks.specs["config.txt\\mixed"] = FormatSpec("string-list", "Tag,Text");
    bed.Load("kind \"x\"\nkuid-table\n{\n  0 <kuid:1:2>\n}\nmixed\n{\n  inner\n  {\n  }\n}\n");
    FakeEditorHost host;
    host.edit = [](TTagSpec&, std::vector<std::string>& csv, bool& modified) {
        csv = {"\"0\",\"<kuid:1:2>\"", "\"1\",\"<kuid:3:4>\""};
        modified = true;
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\kuid-table"), host);
    EXPECT_EQ(host.tables[0], (std::vector<std::string>{"\"Tag\",\"Kuid\"", "\"0\",\"<kuid:1:2>\""}));
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\kuid-table\\1"), "<kuid:3:4>");
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);

    // OK with an unchanged grid writes nothing.
    host.edit = [](TTagSpec&, std::vector<std::string>& csv, bool&) {
        csv.clear();
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\kuid-table"), host);
    EXPECT_EQ(bed.Node("config.txt\\kuid-table")->ChildCount(), 2u);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);

    // A container inside a list is refused before the table opens.
    EditTag(bed.doc, bed.Node("config.txt\\mixed"), host);
    EXPECT_EQ(host.tables.size(), 2u);
    EXPECT_EQ(bed.messages.messages.back(), "'inner' in 'mixed' is a container: the list cannot be edited as a table");
}

// Insert Tag gives a new kuid-table entry the placeholder "<nullkuid>": the table page and the kuid
// page take it, so the table can be edited and the entry renamed.
TEST(EditTagFakeHost, TheInsertedPlaceholderKuidBlocksNoEdit) {
    TagEditBed bed;
    bed.hooks.specs["config.txt\\kuid-table"] = FormatSpec("kuid-list", "Tag,Kuid");
    TTagSpec kuid = FormatSpec("kuid");
    kuid.ValueKind = vkBare;
    bed.hooks.specs["config.txt\\kuid-table\\myrule"] = kuid;
    bed.Load("kind \"x\"\nkuid-table\n{\n  0 <kuid:1:2>\n  1 <kuid:1:3>\n  MyRule <nullkuid>\n}\n");
    FakeEditorHost host;
    host.edit = [](TTagSpec&, std::vector<std::string>& csv, bool& modified) {
        csv = {"\"0\",\"<kuid:1:2>\"", "\"1\",\"<kuid:1:4>\"", "\"MyRule\",\"<nullkuid>\"", "\"2\",\"<kuid:5:6>\""};
        modified = true;
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\kuid-table"), host);
    EXPECT_EQ(bed.messages.messages, std::vector<std::string>{});
    EXPECT_EQ(Rows(bed.Node("config.txt\\kuid-table")),
              (std::vector<std::string>{"1|kuid-table", "2|0 <kuid:1:2>", "2|1 <kuid:1:4>", "2|MyRule <nullkuid>",
                                        "2|2 <kuid:5:6>"}));
    host.edit = [](TTagSpec& record, std::vector<std::string>&, bool&) {
        record.Name = "Permit";
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\kuid-table\\myrule"), host);
    EXPECT_EQ(bed.messages.messages, std::vector<std::string>{});
    EXPECT_EQ(bed.Node("config.txt\\kuid-table")->Child(2)->Text(), "Permit <nullkuid>");

    // Anything else that is no KUID is still refused, by the table as a whole.
    EXPECT_EQ(TableRowsRefusal({"\"0\",\"<kuid:1:2>\"", "\"b\",\"nullkuid\""}, FormatSpec("kuid-list")),
              "Row 2 (b) is not a KUID: nullkuid");
    EXPECT_EQ(TableRowsRefusal({"\"0\",\"<NULLKUID>\""}, FormatSpec("kuid-list")), "Row 1 (0) is not a KUID: <NULLKUID>");
    EXPECT_EQ(TableRowsRefusal({"\"0\",\"anything\""}, FormatSpec("string-list")), "");
    EXPECT_EQ(TableRowsRefusal({"\"\",\"v\""}, FormatSpec("string-list")), "Row 1 has values but no name: \"\",\"v\"");
}

TEST(EditTagFakeHost, MessagePagesWriteNothing) {
    TagEditBed bed;
    bed.hooks.specs["config.txt\\box"] = FormatSpec("container");
    bed.Load("kind \"x\"\nbox\n{\n  a 1\n}\n");
    FakeEditorHost host;
    host.edit = [](TTagSpec& record, std::vector<std::string>&, bool&) {
        record.Name = "renamed";
        return true;
    };
    EditTag(bed.doc, bed.Node("config.txt\\box"), host);
    EXPECT_NE(bed.Node("config.txt\\box"), nullptr);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);
}

// A config line with its blanks run together, so that rows compare whatever the writer's columns.
std::string Collapsed(const std::string& line) {
    std::string out;
    for (const char c : Trim(line)) {
        const bool blank = c == ' ' || c == '\t';
        if (!blank || (!out.empty() && out.back() != ' ')) out += blank ? ' ' : c;
    }
    return out;
}

// The entries of a real asset's string-table are translated where the simulator reads translations:
// under the entry's own name, as written, in string-table-<language> beside the string-table. The
// first translation makes that container right after the string-table, later ones join it, and
// nothing else in the config changes.
TEST(EditTagCorpus, StringTableEntriesAreTranslatedInTheirLanguageTable) {
    const std::filesystem::path config = std::filesystem::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus" /
                                         "schedule-commands" / "ConditionalScheduleRule" / "config.txt";
    if (!std::filesystem::exists(config)) GTEST_SKIP() << "no corpus";
    test::ConfigTestBed bed;
    // The program's own files, in a copy: an edit backs the config up below the program folder, which
    // must not be the source tree.
    test::CopyWritable(std::string(KELVARN_SOURCE_DIR) + "/resources/bin", bed.state.ProgramFolder + "bin");
    bed.state.SetActiveBuild(35);
    WriteSetting(bed.state.Settings(), keys::Language, "de");
    const std::string folder = bed.Asset("asset", test::ReadBytes(config.string()));
    TOutlineDocument doc(bed.state);
    TOutlineWiring wiring(bed.state, doc, false);
    ASSERT_EQ(doc.LoadConfig(folder), "");
    const std::vector<std::string> before = SplitString(doc.ConfigFileText(), "\r\n");

    FakeEditorHost host;
    const auto translate = [&](const char* entry, std::string translation) {
        host.edit = [translation](TTagSpec& record, std::vector<std::string>&, bool&) {
            record.CompanionValue = translation;
            return true;
        };
        EditTag(doc, doc.FindNodeByPath(std::string("config.txt\\string-table\\") + entry), host);
    };
    translate("kuidparseerrortext", "KUID '$0' ist unlesbar.");
    translate("evaluatorheading", "Bedingungen");
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_TRUE(host.shown[0].Translate);
    EXPECT_EQ(host.shown[0].CompanionName, "string-table-de\\KuidParseErrorText");
    EXPECT_EQ(host.shown[0].CompanionValue, "");
    EXPECT_EQ(doc.UndoStack().Depth(), 2);

    // Reopened, the entry shows its translation; an edit of it changes it in place.
    translate("kuidparseerrortext", "KUID '$0' ist nicht lesbar.");
    EXPECT_EQ(host.shown[2].CompanionValue, "KUID '$0' ist unlesbar.");

    const std::vector<std::string> after = SplitString(doc.ConfigFileText(), "\r\n");
    const auto table = std::find(before.begin(), before.end(), "string-table {");
    ASSERT_NE(table, before.end());
    const auto close = std::find(table, before.end(), "}");
    ASSERT_NE(close, before.end());
    const std::size_t at = static_cast<std::size_t>(close - before.begin()) + 1;
    const std::vector<std::string> block = {"string-table-de {", "KuidParseErrorText \"KUID '$0' ist nicht lesbar.\"",
                                            "EvaluatorHeading \"Bedingungen\"", "}"};
    ASSERT_EQ(after.size(), before.size() + block.size());
    for (std::size_t i = 0; i < at; ++i) EXPECT_EQ(after[i], before[i]) << i;
    for (std::size_t i = 0; i < block.size(); ++i) EXPECT_EQ(Collapsed(after[at + i]), block[i]) << i;
    for (std::size_t i = at; i < before.size(); ++i) EXPECT_EQ(after[i + block.size()], before[i]) << i;

    // Saved and read again, the translations are where the simulator looks.
    ASSERT_EQ(doc.SaveConfig(folder + "/config.txt", true), "");
    EXPECT_EQ(doc.GetValueByPath("config.txt\\string-table-de\\evaluatorheading"), "Bedingungen");
    EXPECT_EQ(doc.GetValueByPath("config.txt\\string-table\\evaluatorheading"), "Conditional Evaluators");
}

}  // namespace
}  // namespace kelvarn
