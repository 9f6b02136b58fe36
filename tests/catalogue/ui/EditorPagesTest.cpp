#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <map>

#include "EditorTestBed.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditing.h"
#include "catalogue/ui/EditorTagHost.h"
#include "media/GridModel.h"
#include "shell/MemIni.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {
namespace {

using test::EditorBed;
using test::WhenShown;

std::string Shown(const TEditor& editor) {
    std::string out;
    for (int s = 0; s < kEditorSections; ++s) {
        const int page = editor.ShownPage(s);
        if (page < 0) continue;
        if (!out.empty()) out += ' ';
        out += char('A' + s);
        out += std::to_string(page);
    }
    return out;
}

TTagSpec Spec(const std::string& format, const std::string& name = "tag") {
    TTagSpec spec;
    spec.Format = format;
    spec.Path = "config.txt\\" + name;
    spec.Name = name;
    return spec;
}

// Opens the tag's page, shown, for a test to look at and fill.
struct PageBed : EditorBed {
    void Open(const TTagSpec& spec, const std::string& value) {
        editor->Record = spec;
        editor->TagEditor(spec.Path, spec.Name, value);
        editor->show();
        QApplication::processEvents();
    }
    // OK as the user presses it, with what the page holds.
    TTagSpec Ok() {
        editor->hide();
        EXPECT_TRUE(editor->StoreRecord());
        return editor->Record;
    }
};

TEST(EditorPages, EachTypeOpensItsPageAndReturnsItsRecord) {
    struct Case {
        const char* format;
        const char* value;
        const char* pages;  // the sections shown
        int size;
        std::function<void(TEditor&)> edit;
        const char* expected;  // the record's value after OK
    };
    const Case cases[] = {
        {"string", "old", "A0 E3", 600155, [](TEditor& e) { e.StringValue->setText("new"); }, "new"},
        {"kuid", "<kuid:1:2>", "A0 E3", 600155, [](TEditor& e) { e.StringValue->setText("<kuid:3:4>"); }, "<kuid:3:4>"},
        {"floatlist", "1,2", "A0 E3", 600155, [](TEditor& e) { e.StringValue->setText("1,2,3"); }, "1,2,3"},
        {"bool", "0", "A0 C1 E3", 600155, [](TEditor& e) { e.StringCheck->click(); }, "1"},
        {"memo", "a\xC2\xB6" "b", "A0 E4", 600155,
         [](TEditor& e) { e.BigStringValue->setPlainText(e.BigStringValue->toPlainText() + "\nc"); },
         "a\xC2\xB6" "b\xC2\xB6" "c"},
        {"int", "5", "A0 D4", 600155, [](TEditor& e) { e.NumberValue->setValue(7); }, "7"},
        {"float", "1.5", "A0 D4", 600155, [](TEditor& e) { e.NumberValue->setValue(2.25); }, "2.25"},
        {"enum", "a", "A0 D6", 600155, [](TEditor&) {}, "a"},
        {"set", "b;a", "A0 D7", 600302, [](TEditor&) {}, "b;a"},  // untouched: as it was
        {"set", "b;a", "A0 D7", 600302, [](TEditor& e) { QTest::keyClicks(e.SetValue, ";c;a"); }, "a;b;c"},
        {"user-tag", "v", "A0 B1 E3", 600155, [](TEditor& e) { e.StringValue->setText("w"); }, "w"},
        {"user-table", "", "A0 B1", 600155, [](TEditor&) {}, ""},
    };
    for (const Case& c : cases) {
        PageBed bed;
        TTagSpec spec = Spec(c.format);
        spec.Source = ".";
        bed.Open(spec, c.value);
        EXPECT_EQ(Shown(*bed.editor), c.pages) << c.format;
        EXPECT_EQ(bed.editor->size(), QSize(c.size / 1000, c.size % 1000)) << c.format;
        EXPECT_EQ(bed.editor->PLabel->text().toStdString(), "tag") << c.format;
        c.edit(*bed.editor);
        const TTagSpec out = bed.Ok();
        EXPECT_EQ(out.Value, c.expected) << c.format;
        EXPECT_EQ(out.Name, "tag") << c.format;
    }
}

TEST(EditorPages, WhatCannotBeEditedShowsTheMessagePage) {
    struct Case { const char* format; const char* message; };
    for (const Case& c : {Case{"container", "Container name cannot be edited"},
                          Case{"identifier", "Editor.TagEditor NDF: identifier"},
                          Case{"thumbnail-list", "Editor.TagEditor NDF: thumbnail-list"},
                          Case{"no-such-type", "Editor.TagEditor NDF: no-such-type"},
                          Case{"rgb", "Colour tags shouldn't get here"}}) {
        PageBed bed;
        bed.Open(Spec(c.format), "x");
        EXPECT_EQ(Shown(*bed.editor), "A0 D0") << c.format;
        EXPECT_EQ(bed.editor->MessageLabel->text().toStdString(), c.message);
    }
}

TEST(EditorPages, IntCountChoosesTheSpinFields) {
    struct Case { int count; const char* pages; int visible; };
    for (const Case& c : {Case{1, "A0 D4", 0}, Case{3, "A0 D5", 3}, Case{6, "A0 D5", 6}, Case{7, "A0 E3", 0}}) {
        PageBed bed;
        TTagSpec spec = Spec("int");
        spec.Elements = c.count;
        bed.Open(spec, "1,2,3,4,5,6,7");
        EXPECT_EQ(Shown(*bed.editor), c.pages) << c.count;
        int visible = 0;
        for (QDoubleSpinBox* spin : bed.editor->NListElement) visible += spin->isVisibleTo(bed.editor.get());
        if (c.count > 1 && c.count <= 6) {
            EXPECT_EQ(visible, c.visible) << c.count;
        }
        if (c.count == 7) {
            EXPECT_EQ(bed.Ok().Value, "1,2,3,4,5,6,7") << "every element is kept as text";
        }
    }
}

TEST(EditorPages, TranslationFieldsOnlyWithALanguage) {
    for (const char* language : {"", "de"}) {
        PageBed bed;
        bed.state.Settings().WriteString("Options", "Language", language);
        TTagSpec spec = Spec("memo", "description");
        spec.Translate = true;
        spec.CompanionValue = "Hallo";
        bed.Open(spec, "Hello");
        const bool translated = *language != 0;
        EXPECT_EQ(bed.editor->BigTranslateValue->isVisibleTo(bed.editor.get()), translated) << language;
        EXPECT_EQ(bed.editor->size(), translated ? QSize(600, 270) : QSize(600, 155));
        if (translated) {
            EXPECT_EQ(bed.editor->BigTranslateLabel->text(), "description-de");
            EXPECT_EQ(bed.editor->BigTranslateValue->toPlainText(), "Hallo");
            bed.editor->BigTranslateValue->setPlainText("Guten Tag");
        }
        const TTagSpec out = bed.Ok();
        EXPECT_EQ(out.CompanionName, translated ? "description-de" : "");
        EXPECT_EQ(out.CompanionValue, translated ? "Guten Tag" : "");
    }
    // A string-table entry names where its translation goes.
    PageBed bed;
    bed.state.Settings().WriteString("Options", "Language", "de");
    TTagSpec entry = Spec("string", "string-table\\AddLabelText");
    entry.Name = "AddLabelText";
    entry.Translate = true;
    bed.Open(entry, "Add Label");
    EXPECT_EQ(bed.editor->TranslateLabel->text(), "string-table-de\\AddLabelText");
    EXPECT_EQ(bed.Ok().CompanionName, "string-table-de\\AddLabelText");
}

TEST(EditorPages, StatusLineShowsTheHelpTextWithoutItsLink) {
    for (const auto& [help, shown] : std::vector<std::pair<std::string, std::string>>{
             {"Mass in kilograms@KIND_Traincar#$", "Mass in kilograms"},
             {"@KIND_Traincar", "config.txt\\mass"},  // a link alone: the path
             {"", "config.txt\\mass"}}) {
        PageBed bed;
        TTagSpec spec = Spec("string", "mass");
        spec.Help = help;
        bed.Open(spec, "21500");
        EXPECT_EQ(bed.editor->HelpLabel->text().toStdString(), shown) << help;
    }
}

TEST(EditorPages, UntouchedNumbersKeepTheirText) {
    struct Case { const char* format; const char* value; const char* max; };
    for (const Case& c : {Case{"float", "1.2345", ""}, Case{"int", "500", "100"}, Case{"float", "abc", ""}}) {
        PageBed bed;
        TTagSpec spec = Spec(c.format);
        spec.Min = "0";
        spec.Max = c.max;
        bed.Open(spec, c.value);
        EXPECT_EQ(bed.Ok().Value, c.value) << c.value;
    }
}

TEST(EditorPages, StepLabelClicksChangeTheStepWithinItsLimits) {
    PageBed bed;
    TTagSpec spec = Spec("float");
    spec.Elements = 3;
    spec.Step = "0.01";
    bed.Open(spec, "1,2,3");
    QLabel* label = bed.editor->LabelE0_1;
    QTest::mouseClick(label, Qt::RightButton);
    EXPECT_DOUBLE_EQ(bed.editor->NListElement[0]->singleStep(), 0.001);
    QTest::mouseClick(label, Qt::RightButton);
    EXPECT_DOUBLE_EQ(bed.editor->NListElement[1]->singleStep(), 0.001) << "0.001 is the least";
    for (int i = 0; i < 8; ++i) QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(bed.editor->NListElement[2]->singleStep(), 1000) << "1000 is the most";
    EXPECT_DOUBLE_EQ(bed.editor->NumberValue->singleStep(), 1000);
    EXPECT_EQ(label->text(), "\xC2\xB1" "1000");
    // A changed element is written anew; the others keep their text.
    bed.editor->NListElement[1]->setValue(2.5);
    EXPECT_EQ(bed.Ok().Value, "1,2.5,3");
}

TEST(EditorPages, NumbersConfirmedUntouchedKeepTheirDigits) {
    struct Case {
        const char* format;
        int elements;
        const char* value;
    };
    for (const Case& c : {Case{"float", 1, "0.12345"}, Case{"float", 2, "1.23456,2"}, Case{"int", 3, "1,02,3"}}) {
        for (const bool enter : {false, true}) {
            PageBed bed;
            TTagSpec spec = Spec(c.format);
            spec.Elements = c.elements;
            bed.Open(spec, c.value);
            QDoubleSpinBox* spin = c.elements == 1 ? bed.editor->NumberValue : bed.editor->NListElement[0];
            if (enter) QTest::keyClick(spin, Qt::Key_Return);
            EXPECT_EQ(bed.Ok().Value, c.value) << c.value << (enter ? " after Enter" : " after OK");
        }
    }
    // One element changed: the element beside it keeps its digits.
    PageBed bed;
    TTagSpec spec = Spec("float");
    spec.Elements = 2;
    bed.Open(spec, "1.23456,2");
    bed.editor->NListElement[1]->setValue(3);
    EXPECT_EQ(bed.Ok().Value, "1.23456,3.0");
}

TEST(EditorPages, BoolFieldKeysAndCheckBox) {
    PageBed bed;
    bed.Open(Spec("bool"), "1");
    TEditor& e = *bed.editor;
    EXPECT_TRUE(e.StringCheck->isChecked());
    struct Step { Qt::Key key; const char* value; };
    for (const Step& s : {Step{Qt::Key_Space, "0"}, Step{Qt::Key_Space, "1"}, Step{Qt::Key_0, "0"}, Step{Qt::Key_1, "1"},
                          Step{Qt::Key_A, "1"}}) {
        QTest::keyClick(e.StringValue, s.key);
        EXPECT_EQ(e.StringValue->text().toStdString(), s.value);
        EXPECT_EQ(e.StringCheck->isChecked(), std::string(s.value) == "1") << "the box follows the field";
    }
    e.StringCheck->click();
    EXPECT_EQ(e.StringValue->text(), "0");
}

TEST(EditorPages, KuidFieldCompletesABareNumberForTheUsersOwnAsset) {
    struct Case { const char* user; const char* typed; const char* expected; };
    for (const Case& c : {Case{"123", "45", "<kuid:123:45>"}, Case{"999", "45", "45"}, Case{"123", "12a", "12a"}}) {
        PageBed bed;
        bed.state.Settings().WriteString("UserData", "UserID", c.user);
        bed.state.CurrentKuid = "123";
        bed.Open(Spec("kuid"), "");
        bed.editor->StringValue->setText(c.typed);
        EXPECT_EQ(bed.Ok().Value, c.expected) << c.user << " " << c.typed;
    }
}

TEST(EditorPages, EnumDropDownTakesTheChosenEntryCleaned) {
    PageBed bed;
    TTagSpec spec = Spec("enum");
    spec.Source = ".";
    bed.editor->PreparedList = {"b=second", "c third", "a"};
    bed.Open(spec, "x");
    TEnumCombo* combo = bed.editor->EnumCombo;
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentText(), "x") << "the value is the first entry";
    combo->showPopup();
    EXPECT_EQ(combo->count(), 3) << "the value leaves the list while it is open";
    EXPECT_EQ(combo->itemText(0), "a") << "sorted";
    QTest::keyClick(combo, Qt::Key_Escape);
    EXPECT_TRUE(combo->PopupOpen()) << "Escape is ignored while the list is open";
    const int entry = combo->findText("b=second");
    combo->setCurrentIndex(entry);
    emit combo->activated(entry);
    combo->hidePopup();
    EXPECT_EQ(combo->itemText(0), "b");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(bed.Ok().Value, "b");

    // Closed without a choice: the value stays.
    bed.Open(spec, "x");
    bed.editor->EnumCombo->showPopup();
    bed.editor->EnumCombo->hidePopup();
    EXPECT_EQ(bed.Ok().Value, "x");
}

TEST(EditorPages, PointAndFileEntriesAreCleaned) {
    struct Case { const char* format; bool ext; const char* entry; const char* expected; };
    for (const Case& c : {Case{"point", false, "a/b:c/cull", "c"}, Case{"file", false, "Foo.LM.TXT", "Foo"},
                          Case{"file", true, "Foo.LM.TXT", "Foo.lm"}, Case{"enum", false, "x y", "x"}}) {
        PageBed bed;
        TTagSpec spec = Spec(c.format);
        spec.Source = ".";
        spec.Ext = c.ext;
        bed.editor->PreparedList = {c.entry};
        bed.Open(spec, "");
        TEnumCombo* combo = bed.editor->EnumCombo;
        combo->showPopup();
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        combo->hidePopup();
        EXPECT_EQ(bed.Ok().Value, c.expected) << c.entry;
    }
}

TEST(EditorPages, SetChecksKeysAndIniUnion) {
    PageBed bed;
    bed.state.Settings().WriteString("Regions", "zz", "");
    TTagSpec spec = Spec("set", "category-region");
    spec.Source = "@Regions";
    bed.editor->PreparedList = {};
    bed.Open(spec, "b;a;b");
    TEditor& e = *bed.editor;
    ASSERT_EQ(e.SCheck->count(), 1);
    e.SetValue->setText("b;a;b");
    QTest::keyClick(e.SCheck, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(e.SetValue->text(), "00") << "the first item checked in category-region";
    QTest::keyClick(e.SCheck, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(e.SCheck->item(0)->checkState(), Qt::Unchecked);
    QTest::keyClick(e.SCheck, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(e.SCheck->item(0)->checkState(), Qt::Checked);
    e.SetValue->setText("b;a;b");
    e.cbSaveSet->setChecked(true);
    EXPECT_EQ(bed.Ok().Value, "a;b");
    TMemIni reread(bed.dir / "kelvarn.ini");
    for (const char* key : {"a", "b", "zz"}) EXPECT_TRUE(reread.ValueExists("Regions", key)) << key;
}

TEST(EditorPages, ListPageRoundTripsThroughTheRealGrid) {
    struct Case {
        const char* format;
        std::vector<std::string> lines;
        int editRow, editCol;  // -1: no edit
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"kuid-list", {"\"Tag\",\"KUID\"", "\"0\",\"<kuid:1:2>\"", "\"1\",\"<kuid:1:3>\""}, 1, 1,
         {"\"0\",\"<kuid:1:2>\"", "\"1\",\"edited\""}},
        {"string-list", {"\"Tag\",\"Text\"", "\"0\",\"a, b\"", "\"1\",\"say \"\"hi\"\"\""}, 0, 1,
         {"\"0\",\"edited\"", "\"1\",\"say \"\"hi\"\"\""}},
        // A camera-list row wider than its captions keeps every cell.
        {"camera-list", {"\"Tag\",\"X\"", "\"0\",\"1\",\"2\",\"3\",\"4\",\"5\""}, 0, 2,
         {"\"0\",\"1\",\"edited\",\"3\",\"4\",\"5\""}},
        {"string-list", {"\"Tag\",\"Text\"", "\"0\",\"a\""}, -1, -1, {}},
    };
    for (const Case& c : cases) {
        PageBed bed;
        bed.state.CsvList = c.lines;
        bed.Open(Spec(c.format), "");
        EXPECT_EQ(Shown(*bed.editor), "A0 E5") << c.format;
        if (c.editRow >= 0) {
            GridModel& grid = bed.table->Grid();
            grid.SetCell(GridModel::kFixedCols + c.editCol, GridModel::kFixedRows + c.editRow, "edited");
        }
        const TTagSpec out = bed.Ok();
        EXPECT_EQ(out.Value, "");
        EXPECT_EQ(bed.state.CsvList, c.expected) << c.format;
    }
}

TEST(EditorPages, ChooserOffersTheNamesAndOpensTheValuePageInPlace) {
    PageBed bed;
    TEditor& e = *bed.editor;
    e.ChooserRecordOf = [](const std::string& name) {
        TTagSpec spec;
        spec.Format = name == "count" ? "int" : "string";
        spec.Value = spec.Default = name == "count" ? "4" : "text";
        spec.Name = name;
        spec.Path = "config.txt\\" + name;
        return spec;
    };
    e.MultiTagEditor("config.txt\\", "count", {"name", "count"}, "Insert Tag");
    e.show();
    QApplication::processEvents();
    EXPECT_EQ(e.windowTitle(), "Insert Tag");
    EXPECT_EQ(e.IDCombo->count(), 2);
    EXPECT_EQ(e.IDCombo->currentText(), "count");
    EXPECT_EQ(Shown(e), "A1 D4");
    EXPECT_EQ(e.NumberValue->value(), 4) << "the value page starts at the default";
    const QPoint place = e.pos();
    e.IDCombo->setCurrentIndex(e.IDCombo->findText("name"));
    emit e.IDCombo->activated(e.IDCombo->currentIndex());
    QApplication::processEvents();
    EXPECT_EQ(Shown(e), "A1 E3");
    EXPECT_EQ(e.StringValue->text(), "text");
    EXPECT_EQ(e.pos(), place) << "the chooser stays in place";
    EXPECT_EQ(e.windowTitle(), "Insert Tag");
    const TTagSpec out = bed.Ok();
    EXPECT_EQ(out.Name, "name");
    EXPECT_EQ(out.Value, "text");
    EXPECT_EQ(out.Path, "config.txt\\name");
}

TEST(EditorPages, HostReturnsTheRecordOnOkAndNothingOnCancel) {
    EditorBed bed;
    TOutlineDocument document(bed.state);
    TEditorTagHost host(bed.state, *bed.editor, document);
    TTagSpec record = Spec("string");
    record.Value = "old";
    std::vector<std::string> csv;
    bool modified = true;
    WhenShown(*bed.editor, [&] {
        bed.editor->StringValue->setText("new");
        bed.editor->bOK->click();
    });
    EXPECT_TRUE(host.EditRecord(record, csv, modified));
    EXPECT_EQ(record.Value, "new");
    EXPECT_FALSE(modified);
    WhenShown(*bed.editor, [&] {
        bed.editor->StringValue->setText("other");
        bed.editor->bCancel->click();
    });
    EXPECT_FALSE(host.EditRecord(record, csv, modified));
    EXPECT_EQ(record.Value, "new");
    // The message page edits nothing, even on OK.
    TTagSpec container = Spec("container");
    WhenShown(*bed.editor, [&] { bed.editor->bOK->click(); });
    EXPECT_FALSE(host.EditRecord(container, csv, modified));
}

// --- Edit Tag through the real pages, on a document

// Tag definitions by config path.
struct DefinedHooks : IOutlineHooks {
    std::map<std::string, TTagSpec> specs;
    TTagSpec FindSpecNode(std::string_view path, bool& found) override {
        const auto it = specs.find(std::string(path));
        found = it != specs.end();
        return found ? it->second : DefaultTagSpec();
    }
};

struct DocumentBed : EditorBed {
    DefinedHooks hooks;
    TOutlineDocument doc{state};
    TEditorTagHost host{state, *editor, doc};
    void Load(const std::string& text) {
        test::WriteBytes(dir / "asset/config.txt", text);
        doc.SetHooks(&hooks);
        ASSERT_EQ(doc.LoadConfig(dir / "asset"), "");
    }
    void Define(const std::string& path, TTagSpec spec) { hooks.specs[path] = std::move(spec); }
    // Edit Tag on the tag at the path: `act` fills the page, then OK or Enter on the page's field.
    void Edit(const std::string& path, bool enter, const std::function<void()>& act = nullptr) {
        WhenShown(*editor, [this, enter, act] {
            if (act) act();
            if (!enter) {
                editor->bOK->click();
                return;
            }
            // Enter goes where the window put the focus once it is active.
            editor->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
            QWidget* field = editor->focusWidget();
            ASSERT_NE(field, nullptr);
            QTest::keyClick(field, Qt::Key_Return);
            EXPECT_FALSE(editor->isVisible()) << "Enter confirms the page";
        });
        EditTag(doc, doc.FindNodeByPath(path), host);
    }
};

// OK or Enter on a page nobody touched writes nothing: a set keeps its items in their own order, a
// number the digits it has beyond those the page shows.
TEST(EditorPagesOnADocument, UntouchedSetAndNumberPagesWriteNothing) {
    for (const bool enter : {false, true}) {
        DocumentBed bed;
        bed.state.Settings().WriteString("Eras", "1950s", "");
        bed.state.Settings().WriteString("Eras", "2000s", "");
        TTagSpec era = Spec("set", "category-era");
        era.Source = "@Eras";
        bed.Define("config.txt\\category-era", era);
        TTagSpec keyword = Spec("set", "category-keyword");
        bed.Define("config.txt\\category-keyword", keyword);
        TTagSpec fog = Spec("float", "fog");
        fog.ValueKind = vkBare;
        bed.Define("config.txt\\fog", fog);
        TTagSpec offset = Spec("float", "offset");
        offset.Elements = 3;
        offset.ValueKind = vkBare;
        bed.Define("config.txt\\offset", offset);
        bed.Load("kind \"scenery\"\r\ncategory-era \"2000s;1950s\"\r\ncategory-keyword \"trees;Bush\"\r\n"
                 "fog 0.12345\r\noffset 1.23456,2,3\r\n");
        const std::string before = bed.doc.ConfigFileText();
        for (const char* path : {"category-era", "category-keyword", "fog", "offset"}) {
            bed.Edit(path, enter);
            EXPECT_EQ(bed.doc.ConfigFileText(), before) << path << (enter ? " after Enter" : " after OK");
        }
        EXPECT_FALSE(bed.doc.Modified());
        EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);
    }
}

// A number typed is stored as typed, also one that reads as the value shown (0.12 for 0.12345).
TEST(EditorPagesOnADocument, ATypedNumberIsStoredAsTyped) {
    for (const bool enter : {false, true}) {
        DocumentBed bed;
        TTagSpec fog = Spec("float", "fog");
        fog.ValueKind = vkBare;
        bed.Define("config.txt\\fog", fog);
        TTagSpec offset = Spec("float", "offset");
        offset.Elements = 2;
        offset.Precision = "2";
        offset.ValueKind = vkBare;
        bed.Define("config.txt\\offset", offset);
        bed.Load("kind \"scenery\"\r\nfog 0.12345\r\noffset 1.23456,2\r\n");
        const auto type = [](QDoubleSpinBox* spin, const char* text) {
            QLineEdit* field = spin->findChild<QLineEdit*>();
            field->selectAll();
            QTest::keyClicks(field, text);
        };
        bed.Edit("fog", enter, [&] {
            ASSERT_EQ(bed.editor->NumberValue->text(), "0.12");
            type(bed.editor->NumberValue, "0.12");
        });
        EXPECT_EQ(bed.doc.FindNodeByPath("fog")->Text(), "fog 0.12") << (enter ? "Enter" : "OK");
        bed.Edit("offset", enter, [&] { type(bed.editor->NListElement[0], "1.23"); });
        EXPECT_EQ(bed.doc.FindNodeByPath("offset")->Text(), "offset 1.23,2") << (enter ? "Enter" : "OK");
    }
}

// OK on table rows that cannot be written keeps the page open with the rows as typed; corrected,
// they go in. The placeholder KUID a new entry starts with is a KUID the page takes.
TEST(EditorPagesOnADocument, RefusedTableRowsStayOnThePage) {
    DocumentBed bed;
    bed.Define("config.txt\\kuid-table", Spec("kuid-list", "kuid-table"));
    bed.hooks.specs["config.txt\\kuid-table"].Captions = "Tag,KUID";
    bed.Load("kind \"scenery\"\r\nkuid-table\r\n{\r\n  0 <kuid:1:2>\r\n  MyRule <nullkuid>\r\n}\r\n");
    bool stayed = false;
    WhenShown(*bed.editor, [&] {
        GridModel& grid = bed.table->Grid();
        const int kuid = GridModel::kFixedCols + 1;
        grid.SetCell(kuid, GridModel::kFixedRows, "zero");
        bed.editor->bOK->click();
        stayed = bed.editor->isVisible();
        EXPECT_EQ(bed.messages.messages, std::vector<std::string>{"Row 1 (0) is not a KUID: zero"});
        EXPECT_EQ(grid.Cell(kuid, GridModel::kFixedRows), "zero") << "the row as typed";
        grid.SetCell(kuid, GridModel::kFixedRows, "<kuid:1:3>");
        bed.editor->bOK->click();
        EXPECT_FALSE(bed.editor->isVisible());
    });
    EditTag(bed.doc, bed.doc.FindNodeByPath("kuid-table"), bed.host);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(bed.doc.GetValueByPath("kuid-table\\0"), "<kuid:1:3>");
    EXPECT_EQ(bed.doc.GetValueByPath("kuid-table\\myrule"), "<nullkuid>");
    EXPECT_EQ(bed.messages.messages.size(), 1u);
}

}  // namespace
}  // namespace kelvarn
