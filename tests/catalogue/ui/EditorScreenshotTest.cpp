// The editor window's pages as a user sees them, on a real display (Xvfb): one picture per page
// type, kept in the build tree for a person to look at. The test checks that every control of the
// page lies inside the window and that no caption is cut.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "EditorTestBed.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {
namespace {

// The visible buttons and labels whose text is wider than they are, and the visible controls that
// reach outside the window.
std::vector<std::string> Clipped(QWidget& window) {
    std::vector<std::string> out;
    const QRect inside = window.rect();
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->width() <= 0) continue;
        const QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (!inside.contains(r) && qobject_cast<QAbstractButton*>(w)) out.push_back("outside: " + w->objectName().toStdString());
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            if (button->sizeHint().width() > button->width() + 2) out.push_back("cut: " + button->text().toStdString());
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            if (box->sizeHint().width() > box->width() + 2) out.push_back("cut: " + box->text().toStdString());
        }
    }
    return out;
}

void Save(TEditor& editor, const std::string& name) {
    editor.show();
    QApplication::processEvents();
    QTest::qWait(50);
    const QString folder = QString(KELVARN_SCREENSHOTS);
    QDir().mkpath(folder);
    EXPECT_TRUE(editor.grab().save(folder + "/" + QString::fromStdString(name) + ".png")) << name;
    EXPECT_EQ(Clipped(editor), std::vector<std::string>{}) << name;
    editor.hide();
}

TTagSpec Spec(const std::string& format, const std::string& name) {
    TTagSpec spec;
    spec.Format = format;
    spec.Name = name;
    spec.Path = "config.txt\\" + name;
    spec.Source = ".";
    return spec;
}

TEST(EditorScreenshot, EveryPageType) {
    test::EditorBed bed;
    TEditor& e = *bed.editor;
    bed.state.Settings().WriteString("Options", "Language", "de");
    auto open = [&](TTagSpec spec, const std::string& value, const std::string& file) {
        e.Record = spec;
        e.TagEditor(spec.Path, spec.Name, value);
        Save(e, file);
    };
    open(Spec("container", "mesh-table"), "", "message");
    TTagSpec username = Spec("string", "username");
    username.Translate = true;
    username.CompanionValue = "Rote Scheune";
    username.Help = "The asset's name as Surveyor lists it";
    open(username, "Red barn", "string");
    TTagSpec description = Spec("memo", "description");
    description.Translate = true;
    description.CompanionValue = "Eine Scheune.";
    open(description, "A red barn.\xC2\xB6With a door.", "memo");
    open(Spec("kuid", "kuid"), "<kuid:123:456>", "kuid");
    open(Spec("bool", "nightmode-lighting"), "1", "bool");
    e.PreparedList = {"scenery", "building", "mesh"};
    open(Spec("enum", "kind"), "scenery", "enum");
    e.PreparedList = {"00 all regions", "AU Australia", "DE Germany", "UK United Kingdom", "US United States"};
    open(Spec("set", "category-region"), "AU;DE", "set");
    TTagSpec height = Spec("float", "height");
    height.Units = "m";
    height.Step = "0.1";
    open(height, "2.5", "number");
    TTagSpec offset = Spec("float", "offset");
    offset.Elements = 5;
    open(offset, "0.1,0.2,0.3,90,0", "number-list");
    bed.state.CsvList = {"\"Tag\",\"KUID\"", "\"0\",\"<kuid:123:1>\"", "\"1\",\"<kuid:123:2>\""};
    open(Spec("kuid-list", "kuid-table"), "", "table");
    open(Spec("user-tag", "my-note-123"), "a note", "user-tag");

    e.ChooserRecordOf = [](const std::string& name) {
        TTagSpec spec = Spec("string", name);
        spec.Value = name == "author" ? "A. Builder" : "";
        return spec;
    };
    e.MultiTagEditor("config.txt\\", "author", {"author", "contact-email", "license"}, "Insert Tag");
    Save(e, "chooser");

    test::WhenShown(e, [&] {
        QTest::qWait(50);
        QDir().mkpath(KELVARN_SCREENSHOTS);
        e.grab().save(QString(KELVARN_SCREENSHOTS) + "/input-line.png");
        EXPECT_EQ(Clipped(e), std::vector<std::string>{}) << "input-line";
        e.bCancel->click();
    });
    e.InputLine("Rename Asset Folder", "New Name:", "red-barn", "assets\\...\\red-barn\\");

    test::WhenShown(e, [&] {
        QTest::qWait(50);
        e.grab().save(QString(KELVARN_SCREENSHOTS) + "/show-text.png");
        e.bOK->click();
    });
    e.ShowText(640480, 1, {"Tool: TrainzUtil", "", "OK: 2 assets committed"}, "Tool Output");

    e.Outline().SetTagByPath("kind", "scenery");
    e.Outline().SetTagByPath("description", "batched");
    e.Outline().SetTagByPath("mesh-table\\default\\mesh", "barn.im");
    e.AcceptReject(640640, "Preview: assets/red-barn", "Replicated tags are shown in bold.");
    e.OutlineView().ExpandNode(e.Outline().Root());
    Save(e, "accept-reject");
}

}  // namespace
}  // namespace kelvarn
