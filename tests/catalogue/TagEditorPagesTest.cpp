#include <gtest/gtest.h>

#include "catalogue/TagEditorPages.h"
#include "catalogue/Walnut.h"
#include "media/GridModel.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;
using test::WriteBytes;

TTagSpec SpecOf(std::string format, int elements = 1, bool translate = false) {
    TTagSpec spec;
    spec.Format = std::move(format);
    spec.Elements = elements;
    spec.Translate = translate;
    return spec;
}

TEST(EditorCore, PageTableCoversEveryTypeName) {
    using P = TEditorPage;
    const struct {
        const char* format;
        int elements;
        P page;
        int size;
        TCharType charClass;
        const char* message;
    } cases[] = {
        {"container", 1, P::Message, 600155, ctStandard, "Container name cannot be edited"},
        {"kuid-list", 1, P::List, 640281, ctStandard, ""},
        {"string-list", 1, P::List, 600155, ctStandard, ""},
        {"point-list", 1, P::List, 600155, ctStandard, ""},
        {"queue-list", 1, P::List, 600155, ctStandard, ""},
        {"consist-list", 1, P::List, 600155, ctStandard, ""},
        {"texture-list", 1, P::List, 600155, ctStandard, ""},
        {"sound-list", 1, P::List, 600155, ctStandard, ""},
        {"camera-list", 1, P::List, 600155, ctStandard, ""},
        {"thumbnail-list", 1, P::Message, 600155, ctStandard, "Editor.TagEditor NDF: thumbnail-list"},
        {"identifier", 1, P::Message, 600155, ctStandard, "Editor.TagEditor NDF: identifier"},
        {"user-table", 1, P::UserTable, 600155, ctStandard, ""},
        {"user-tag", 1, P::UserTag, 600155, ctStandard, ""},
        {"memo", 1, P::Memo, 600155, ctStandard, ""},
        {"string", 1, P::String, 600155, ctStandard, ""},
        {"KUID", 1, P::String, 600155, ctKuid, ""},
        {"bool", 1, P::Bool, 600155, ctBool, ""},
        {"file", 1, P::Enum, 600155, ctStandard, ""},
        {"point", 1, P::Enum, 600155, ctStandard, ""},
        {"enum", 1, P::Enum, 600155, ctStandard, ""},
        {"set", 1, P::Set, 600302, ctStandard, ""},
        {"int", 1, P::Number, 600155, ctStandard, ""},
        {"int", 3, P::NumberList, 600155, ctStandard, ""},
        {"int", 7, P::String, 600155, ctIntList, ""},
        {"float", 1, P::Number, 600155, ctStandard, ""},
        {"float", 6, P::NumberList, 600155, ctStandard, ""},
        {"float", 7, P::String, 600155, ctFloatList, ""},
        {"floatlist", 1, P::String, 600155, ctFloatList, ""},
        {"rgb", 1, P::Message, 600155, ctStandard, "Colour tags shouldn't get here"},
        {"rgba", 1, P::Message, 600155, ctStandard, "Colour tags shouldn't get here"},
        {"hls", 1, P::Message, 600155, ctStandard, "Colour tags shouldn't get here"},
        {"invalid", 1, P::Message, 600155, ctStandard, "Editor.TagEditor NDF: invalid"},
        {"gadget", 1, P::Message, 600155, ctStandard, "Editor.TagEditor NDF: gadget"},
    };
    for (const auto& c : cases) {
        const TPagePlan plan = ChoosePage(SpecOf(c.format, c.elements), "de");
        EXPECT_EQ(plan.page, c.page) << c.format << " " << c.elements;
        EXPECT_EQ(plan.size, c.size) << c.format;
        EXPECT_EQ(plan.charClass, c.charClass) << c.format << " " << c.elements;
        EXPECT_EQ(plan.message, c.message) << c.format;
    }
    EXPECT_EQ(ChoosePage(SpecOf("int", 3), "").elements, 3);
}

TEST(EditorCore, TranslationNeedsTheFlagAndALanguage) {
    const struct {
        const char* format;
        bool translate;
        const char* language;
        int size;
        bool translation;
    } cases[] = {
        {"memo", true, "de", 600270, true},
        {"memo", true, "", 600155, false},  // no language: no translation fields, no companion
        {"memo", false, "de", 600155, false},
        {"string", true, "de", 600155, true},
        {"string", true, "", 600155, false},
    };
    for (const auto& c : cases) {
        const TPagePlan plan = ChoosePage(SpecOf(c.format, 1, c.translate), c.language);
        EXPECT_EQ(plan.size, c.size) << c.format << c.translate << c.language;
        EXPECT_EQ(plan.translation, c.translation) << c.format << c.translate << c.language;
    }
}

// The texts players see are translatable in our own tags.xml, whatever the kind; identifiers are not.
TEST(EditorCore, OurTagsOfferTranslationsOfTheTextsPlayersSee) {
    TProgramState state;
    TWalnut walnut(state);
    const struct {
        const char* kind;
        const char* path;
        bool translation;
    } cases[] = {
        {"scenery", "username", true},     {"traincar", "description", true}, {"drivercommand", "username", true},
        {"scenery", "name", true},         {"scenery", "kuid", false},        {"scenery", "category-class", false},
        {"library", "string-table", false},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(walnut.LoadTagSpec(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml", c.kind), "");
        bool found = false;
        const TTagSpec spec = walnut.FindSpecNode(std::string("config.txt\\") + c.path, found);
        ASSERT_TRUE(found) << c.path;
        EXPECT_EQ(ChoosePage(spec, "de").translation, c.translation) << c.kind << " " << c.path;
    }
}

TEST(ValueRules, KuidCompletionOnlyForTheUsersOwnAsset) {
    const struct {
        const char* text;
        const char* user;
        const char* current;
        const char* result;
    } cases[] = {
        {"123", "604117", "604117", "<kuid:604117:123>"},
        {" 42 ", "604117", "604117", "<kuid:604117:42>"},
        {"123", "604117", "99999", "123"},  // another author's asset
        {"12a", "604117", "604117", "12a"},
        {"<kuid:1:2>", "604117", "604117", "<kuid:1:2>"},
        {"", "604117", "604117", ""},
        {"123", "", "", "123"},
    };
    for (const auto& c : cases) EXPECT_EQ(CompleteKuid(c.text, c.user, c.current), c.result) << c.text;
}

TEST(ValueRules, MemoLineBreaksRoundTrip) {
    EXPECT_EQ(MemoToText("a\xC2\xB6" "b\xC2\xB6\xC2\xB6" "c"), "a\nb\n\nc");
    EXPECT_EQ(TextToMemo("a\r\nb\n\rc"), "a\xC2\xB6" "b\xC2\xB6\xC2\xB6" "c");
    EXPECT_EQ(TextToMemo(MemoToText("x\xC2\xB6y")), "x\xC2\xB6y");
}

TEST(ValueRules, ChosenEntriesAreCleaned) {
    const struct {
        int type;
        const char* entry;
        bool ext;
        const char* value;
    } cases[] = {
        {ttEnum, "a=b c", false, "a"},
        {ttEnum, "x y", false, "x"},
        {ttEnum, "plain", false, "plain"},
        {ttFile, "Foo.LM.TXT", true, "Foo.lm"},
        {ttFile, "Foo.LM.TXT", false, "Foo"},
        {ttFile, "sub\\body.im", false, "sub\\body"},
        {ttFile, "sub\\body.im", true, "sub\\body.im"},
        {ttPoint, "a/b:c/cull", false, "c"},
        {ttPoint, "body.im:a.light/CULL", false, "a.light"},
        {ttPoint, "body.im:a.door", false, "a.door"},
        {ttPoint, "single", false, "single"},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanEntry(c.type, c.entry, c.ext), c.value) << c.entry;
}

TEST(ValueRules, SetValues) {
    const std::vector<std::string> items = {"00 Global", "AU Australia", "DE Germany"};
    EXPECT_EQ(SetValueFromChecks(items, {false, true, true}, "category-region"), "AU;DE");
    EXPECT_EQ(SetValueFromChecks(items, {true, true, false}, "category-region"), "00");
    EXPECT_EQ(SetValueFromChecks(items, {true, false, true}, "category-era"), "00;DE");
    EXPECT_EQ(ChecksFromSetValue(items, "de;AU"), (std::vector<bool>{false, true, true}));

    EXPECT_EQ(NormaliseSetValue("b;a;b"), "a;b");
    EXPECT_EQ(NormaliseSetValue("B; a;;b;"), "a;B");
    EXPECT_EQ(NormaliseSetValue(""), "");
}

TEST(ValueRules, SetSavedToIniAsAUnionAndFlushed) {
    TempDir dir;
    TProgramState state;
    const std::string ini = dir / "kelvarn.ini";
    WriteBytes(ini, "[Eras]\r\n1950s=kept\r\n");
    state.OpenSettings(ini);
    std::string error;
    const std::string value = SaveSetToIni(state, "@Eras", "1960s;1950s;1960s", {"1970s", "1950s"}, true, error);
    EXPECT_EQ(value, "1950s;1960s");
    EXPECT_EQ(error, "");
    TMemIni reread(ini);
    std::vector<std::string> keys;
    reread.ReadSection("Eras", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"1950s", "1960s", "1970s"}));
    EXPECT_EQ(reread.ReadString("Eras", "1950s", ""), "kept");

    // Unchecked "Save to INI file": the value alone.
    EXPECT_EQ(SaveSetToIni(state, "@Other", "b;a", {"c"}, false, error), "a;b");
    EXPECT_FALSE(state.Settings().SectionExists("Other"));
}

// A list read from a file or from tags.xml names no settings section: "Save to INI file" leaves the
// settings file as it was, and the value is still taken.
TEST(ValueRules, SetFromAFileIsNotSavedToIni) {
    TempDir dir;
    TProgramState state;
    const std::string ini = dir / "kelvarn.ini";
    const std::string before = "[Eras]\r\n1950s=kept\r\n";
    WriteBytes(ini, before);
    state.OpenSettings(ini);
    std::string error;
    for (const char* source : {"%tetdata%\\category-era.txt", "$kind", "+mesh-table"}) {
        EXPECT_EQ(SaveSetToIni(state, source, "b;a", {"c"}, true, error), "a;b") << source;
        EXPECT_EQ(error, "");
    }
    EXPECT_EQ(test::ReadBytes(ini), before);
    EXPECT_EQ(state.Settings().GetText().find("tetdata"), std::string::npos);
}

TEST(ValueRules, BoolFieldKeys) {
    EXPECT_EQ(BoolFieldKey("1", U'0'), "0");
    EXPECT_EQ(BoolFieldKey("0", U'1'), "1");
    EXPECT_EQ(BoolFieldKey("1", U' '), "0");
    EXPECT_EQ(BoolFieldKey("0", U' '), "1");
    EXPECT_EQ(BoolFieldKey("1", U'x'), "1");
}

TEST(ValueRules, NumberSetupAndTexts) {
    TTagSpec f = SpecOf("float");
    f.Min = "0";
    f.Max = "100";
    f.Step = "0.5";
    f.Units = "m";
    TNumberSetup s = NumberSetup(f, "", false);
    EXPECT_TRUE(s.limited);
    EXPECT_EQ(s.decimals, 2);
    EXPECT_EQ(s.stepLabel, "m \xC2\xB1" "0.5");

    f.Default = "7";
    EXPECT_EQ(NumberSetup(f, "", false).start, "7");
    EXPECT_EQ(NumberSetup(f, "3", false).start, "3");

    TTagSpec equal = SpecOf("int");
    equal.Min = equal.Max = "5";
    EXPECT_FALSE(NumberSetup(equal, "1", false).limited);
    EXPECT_FALSE(NumberSetup(SpecOf("int"), "1", false).limited);

    TTagSpec list = SpecOf("float", 3);
    s = NumberSetup(list, "1.5, 2", true);
    EXPECT_EQ(s.decimals, 1);
    EXPECT_EQ(s.elements, (std::vector<std::string>{"1.5", "2", ""}));
    EXPECT_EQ(s.stepLabel, "\xC2\xB1" "1");

    EXPECT_EQ(FormatNumber(1.2345, false, 2), "1.23");
    EXPECT_EQ(FormatNumber(-0.001, false, 2), "0.00");
    EXPECT_EQ(FormatNumber(2.6, true, 0), "3");
    EXPECT_EQ(NumberListText({"1", "2.26", "-3"}, false, 1), "1.0,2.3,-3.0");
    EXPECT_EQ(NumberListText({"1", "x", "3"}, true, 0), "1,x,3");
    EXPECT_EQ(NumberListText({"123456.789"}, false, 3), "123456.800");
}

TEST(ValueRules, StepLimits) {
    const struct {
        double step;
        bool left, isInt;
        double result;
    } cases[] = {
        {1, true, true, 10},    {1, false, true, 1},       {500, true, true, 1000},
        {0.01, false, false, 0.001}, {0.001, false, false, 0.001}, {0.1, true, false, 1},
        {1000, true, false, 1000},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StepAfterClick(c.step, c.left, c.isInt), c.result) << c.step;
    EXPECT_EQ(StepText(0.001), "0.001");
    EXPECT_EQ(StepText(1000), "1000");
}

TEST(ValueRules, GridRowsKeepInnerEmptyCells) {
    GridModel grid;
    ASSERT_EQ(grid.ShowTagList({"\"Tag\",\"Value\",\"C\"", "\"a\",\"\",\"c\"", "\"\",\"\",\"\"", "\"b\",\"x\",\"\"",
                                "\"q\"\"\",\"a,b\""},
                               3),
              "");
    EXPECT_EQ(GridToCsv(grid), (std::vector<std::string>{"\"a\",\"\",\"c\"", "\"b\",\"x\"", "\"q\"\"\",\"a,b\""}));
}

struct FillBed {
    TempDir dir;
    TProgramState state;
    FillBed() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.OpenSettings(dir / "kelvarn.ini");
    }
};

TEST(ValueRules, FillcomboSources) {
    FillBed bed;
    WriteBytes(bed.dir / "program/bin/tags.xml",
               "<tags><KIND><scenery/><bogey/></KIND><LIST><b/><a/></LIST></tags>");
    WriteBytes(bed.dir / "tc/regions.txt", "Zed\r\nAlpha\r\n");
    WriteBytes(bed.dir / "asset/Body.IM", "");
    WriteBytes(bed.dir / "asset/Sub/Mixed/wheel.im", "");
    WriteBytes(bed.dir / "asset/notes.txt", "");
    bed.state.Paths.Trainz = bed.dir / "missing";
    bed.state.Paths.TC = bed.dir.Path() + "/tc";
    bed.state.Settings().WriteString("Eras", "1950s", "");
    bed.state.Settings().WriteString("Eras", "1940s", "x");

    TFillSources sources;
    sources.Prepared = {"p2", "p1"};
    sources.ConfigList = [](const std::string& rest, std::vector<std::string>& list) { list = {"from " + rest}; };

    const struct {
        const char* source;
        const char* format;
        bool ext;
        std::vector<std::string> list;
        const char* message;
    } cases[] = {
        {"$LIST", "enum", false, {"a", "b"}, ""},
        {"$kind", "enum", false, {"bogey", "scenery"}, ""},
        {"%trainz%\\regions.txt", "enum", false, {"Alpha", "Zed"}, ""},  // falls back to the TC folder
        {"+\\mesh-table", "enum", false, {"from \\mesh-table"}, ""},
        {".", "point", false, {"p1", "p2"}, ""},
        {"?", "file", false, {"Body", "Sub\\Mixed\\wheel"}, ""},
        {"", "file", true, {"Body.IM", "Sub\\Mixed\\wheel.im"}, ""},
        {"?", "enum", false, {}, ""},
        {"@Eras", "enum", false, {"1940s", "1950s"}, ""},
        {"#what", "enum", false, {}, "Editor.Fillcombo: unknown source: #what"},
    };
    for (const auto& c : cases) {
        TTagSpec spec = SpecOf(c.format);
        spec.Source = c.source;
        spec.Mask = "*.im";
        spec.Ext = c.ext;
        std::vector<std::string> list = {"stale"};
        EXPECT_EQ(Fillcombo(bed.state, spec, bed.dir / "asset", sources, list), c.message) << c.source;
        EXPECT_EQ(list, c.list) << c.source;
    }
}

template <typename Set>
TPageFields Fields(Set set) {
    TPageFields f;
    set(f);
    return f;
}

TEST(ValueRules, OkStoresNameAndValueByType) {
    const struct {
        const char* format;
        const char* original;
        TPageFields fields;
        const char* name;
        const char* value;
    } cases[] = {
        {"string", "old", Fields([](TPageFields& f) { f.IDCombo = "n"; f.TagValue = "n"; f.StringValue = "new"; }), "n", "new"},
        {"kuid", "", Fields([](TPageFields& f) { f.IDCombo = "k"; f.StringValue = "77"; }), "k", "<kuid:5:77>"},
        {"bool", "0", Fields([](TPageFields& f) { f.IDCombo = "b"; f.StringValue = "1"; }), "b", "1"},
        {"floatlist", "", Fields([](TPageFields& f) { f.IDCombo = "f"; f.StringValue = "1,2"; }), "f", "1,2"},
        {"enum", "a", Fields([](TPageFields& f) { f.IDCombo = "e"; f.EnumCombo = "b"; }), "e", "b"},
        {"set", "", Fields([](TPageFields& f) { f.IDCombo = "s"; f.SetValue = "b;a;b"; f.SetChanged = true; }), "s", "a;b"},
        {"set", "2000s;1950s", Fields([](TPageFields& f) { f.IDCombo = "s"; f.SetValue = "2000s;1950s"; }), "s", "2000s;1950s"},  // untouched
        {"memo", "", Fields([](TPageFields& f) { f.IDCombo = "m"; f.BigStringValue = "a\nb"; }), "m", "a\xC2\xB6" "b"},
        {"int", "500", Fields([](TPageFields& f) { f.IDCombo = "i"; f.NumberValue = "100"; }), "i", "500"},        // untouched: as it was
        {"float", "1.2345", Fields([](TPageFields& f) { f.IDCombo = "f"; f.NumberValue = "1.23"; }), "f", "1.2345"},
        {"float", "abc", Fields([](TPageFields& f) { f.IDCombo = "f"; f.NumberValue = "0.00"; }), "f", "abc"},
        {"float", "1.2345", Fields([](TPageFields& f) { f.IDCombo = "f"; f.NumberValue = "2.5"; f.NumberChanged = true; }), "f", "2.5"},
        {"user-tag", "v", Fields([](TPageFields& f) { f.IDCombo = "old"; f.TagValue = "renamed"; f.BigStringValue = "x\ny"; }), "renamed", "x\xC2\xB6y"},
        {"user-table", "", Fields([](TPageFields& f) { f.IDCombo = "old"; f.TagValue = "table2"; }), "table2", ""},
        {"container", "", Fields([](TPageFields& f) { f.IDCombo = "box"; f.TagValue = "other"; }), "box", ""},
        {"identifier", "keep", Fields([](TPageFields& f) { f.IDCombo = "id"; }), "id", "keep"},
        {"string-list", "", Fields([](TPageFields& f) { f.IDCombo = "l"; }), "l", ""},
    };
    for (const auto& c : cases) {
        TTagSpec record = SpecOf(c.format);
        record.Value = c.original;
        std::vector<std::string> csv = {"left over"};
        bOKClick(record, c.fields, "", "5", "5", csv);
        EXPECT_EQ(record.Name, c.name) << c.format;
        EXPECT_EQ(record.Value, c.value) << c.format;
        if (IsListType(TagTypeOf(record))) {
            EXPECT_TRUE(csv.empty()) << "an unchanged grid gives no rows";
        }
    }

    TTagSpec list = SpecOf("int", 3);
    list.Value = "1,2,3";
    std::vector<std::string> csv;
    bOKClick(list, Fields([](TPageFields& f) { f.NListValue = "1,2,4"; }), "", "", "", csv);
    EXPECT_EQ(list.Value, "1,2,3");
    bOKClick(list, Fields([](TPageFields& f) { f.NListValue = "1,2,4"; f.NListChanged = true; }), "", "", "", csv);
    EXPECT_EQ(list.Value, "1,2,4");
}

TEST(ValueRules, OkTranslationAndGridRows) {
    TTagSpec record = SpecOf("string", 1, true);
    std::vector<std::string> csv;
    bOKClick(record, Fields([](TPageFields& f) { f.IDCombo = "description"; f.TagValue = "description"; f.StringValue = "Hi"; f.BigTranslateValue = "Hallo\nWelt"; }),
             "de", "", "", csv);
    EXPECT_EQ(record.CompanionName, "description-de");
    EXPECT_EQ(record.CompanionValue, "Hallo\xC2\xB6Welt");

    bOKClick(record, Fields([](TPageFields& f) { f.TagValue = "description"; f.StringValue = "Hi"; f.TranslateValue = "Hallo"; }), "", "", "", csv);
    EXPECT_EQ(record.CompanionName, "");  // without a language there is no companion

    GridModel grid;
    ASSERT_EQ(grid.ShowTagList({"\"Tag\",\"Kuid\"", "\"0\",\"<kuid:1:2>\""}, 2), "");
    grid.SetCell(3, 1, "<kuid:1:3>");
    TTagSpec kl = SpecOf("kuid-list");
    bOKClick(kl, Fields([&grid](TPageFields& f) { f.IDCombo = "kuid-table"; f.GridModified = true; f.Grid = &grid; }), "", "", "", csv);
    EXPECT_EQ(csv, (std::vector<std::string>{"\"0\",\"<kuid:1:3>\""}));
}

}  // namespace
}  // namespace kelvarn
