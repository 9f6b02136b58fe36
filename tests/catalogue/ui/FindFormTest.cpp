#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "OutlineTestBed.h"
#include "catalogue/ui/FindForm.h"

namespace kelvarn {
namespace {

struct FindBed : test::OutlineBed {
    TFindForm form{state, *view, view.get()};
    FindBed() {
        view->SetFindForm(&form);
        Load(Fixture("boxcar"));
    }
    void Type(QComboBox* box, const char* text) { box->setCurrentText(text); }
};

TEST(FindForm, OpeningTakesASnapshotAndTheSelectedText) {
    FindBed bed;
    bed.Select("description");
    bed.view->ExecuteCommand(ocFindReplace);  // from the context menu: the node stays selected
    EXPECT_TRUE(bed.form.isVisible());
    EXPECT_EQ(bed.form.windowTitle(), "Find & Replace");
    EXPECT_EQ(bed.form.FindBox()->currentText(), "description \"A plain red boxcar\"");
    EXPECT_EQ(bed.document.UndoStack().Depth(), 1);
    EXPECT_FALSE(bed.form.NotMatched()->isVisible());
    bed.form.close();
    bed.view->ExecuteCommand(ocFindText);  // the header's button: from the root, nothing to find yet
    EXPECT_EQ(bed.view->Selected(), bed.document.Root());
    EXPECT_EQ(bed.form.FindBox()->currentText(), "");
    EXPECT_FALSE(bed.form.FindButton()->isEnabled());
    // No in-place editing while the form is shown.
    bed.Select("kind");
    QTest::keyClick(bed.Tree(), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(bed.Tree()->viewport()->findChild<QLineEdit*>(), nullptr);
}

TEST(FindForm, ButtonsFollowTheTexts) {
    FindBed bed;
    bed.view->OpenFindReplace(false);
    struct Case {
        const char *find, *replace;
        bool findOn, replaceOn;
    };
    for (const Case& c : {Case{"", "x", false, false}, Case{"a", "", true, false}, Case{"a", "a", true, false},
                          Case{"a", "b", true, true}}) {
        bed.Type(bed.form.FindBox(), c.find);
        bed.Type(bed.form.ReplaceBox(), c.replace);
        EXPECT_EQ(bed.form.FindButton()->isEnabled(), c.findOn) << c.find << "/" << c.replace;
        EXPECT_EQ(bed.form.ReplaceButton()->isEnabled(), c.replaceOn) << c.find << "/" << c.replace;
    }
}

TEST(FindForm, FindsReplacesAndRemembersEachTextOnce) {
    FindBed bed;
    bed.view->OpenFindReplace(false);
    bed.Type(bed.form.FindBox(), "BOXCAR");
    QTest::mouseClick(bed.form.FindButton(), Qt::LeftButton);
    EXPECT_EQ(bed.view->Selected(), bed.Node("username"));
    QTest::mouseClick(bed.form.FindButton(), Qt::LeftButton);
    EXPECT_EQ(bed.view->Selected(), bed.Node("mesh-table\\default\\mesh"));
    EXPECT_TRUE(bed.view->IsVisibleRow(bed.Node("mesh-table\\default\\mesh")));  // made visible
    EXPECT_EQ(bed.form.FindBox()->count(), 1);
    // Case sensitive: the capitals match nothing.
    bed.form.CaseSensitiveBox()->setChecked(true);
    QTest::mouseClick(bed.form.FindButton(), Qt::LeftButton);
    EXPECT_EQ(bed.messages.beeps, 1);
    EXPECT_TRUE(bed.form.NotMatched()->isVisible());
    EXPECT_EQ(bed.form.NotMatched()->text(), "No Further Matches");
    EXPECT_EQ(bed.view->Selected(), bed.Node("mesh-table\\default\\mesh"));
    bed.form.CaseSensitiveBox()->setChecked(false);

    // Replace on the selected match, then on to the next.
    bed.Type(bed.form.FindBox(), "boxcar");
    bed.Type(bed.form.ReplaceBox(), "van");
    QTest::mouseClick(bed.form.ReplaceButton(), Qt::LeftButton);
    EXPECT_EQ(bed.Node("mesh-table\\default\\mesh")->Text(), "mesh \"van.im\"");
    EXPECT_EQ(bed.view->Selected(), bed.Node("description"));
    EXPECT_TRUE(bed.document.Modified());
    QTest::mouseClick(bed.form.ReplaceButton(), Qt::LeftButton);
    EXPECT_EQ(bed.Node("description")->Text(), "description \"A plain red van\"");
    // Each button remembers its own box's text.
    EXPECT_EQ(bed.form.ReplaceBox()->count(), 1);
    EXPECT_EQ(bed.form.FindBox()->count(), 1);

    // F3 in the tree finds on; Escape closes the form.
    bed.view->Tree()->setFocus();
    QTest::keyClick(bed.Tree(), Qt::Key_F3);
    EXPECT_EQ(bed.view->Selected(), bed.Node("username"));
    EXPECT_EQ(bed.form.FindBox()->count(), 2);
    QTest::keyClick(bed.Tree(), Qt::Key_Escape);
    EXPECT_FALSE(bed.form.isVisible());
    // F opens it again (from the root).
    QTest::keyClick(bed.Tree(), Qt::Key_F);
    EXPECT_TRUE(bed.form.isVisible());
    EXPECT_EQ(bed.view->Selected(), bed.document.Root());
}

TEST(FindForm, AnotherAssetLoadedMeanwhile) {
    FindBed bed;
    bed.view->OpenFindReplace(false);
    bed.Type(bed.form.FindBox(), "height");
    QTest::mouseClick(bed.form.FindButton(), Qt::LeftButton);
    ASSERT_EQ(bed.view->Selected(), bed.Node("thumbnails\\0\\height"));
    ASSERT_EQ(bed.form.CurrentRow(), 15u);
    // A shorter config replaces the tree (and the selection) while the form stays open.
    bed.Load(bed.Asset("small", "kind scenery\nheight 4\n"));
    bed.Tree()->selectionModel()->clearCurrentIndex();
    QTest::mouseClick(bed.form.FindButton(), Qt::LeftButton);
    EXPECT_EQ(bed.view->Selected(), bed.Node("height"));
    bed.view->ClearOutline();
    QTest::mouseClick(bed.form.FindButton(), Qt::LeftButton);
    QTest::mouseClick(bed.form.ReplaceButton(), Qt::LeftButton);
    EXPECT_EQ(bed.view->Selected(), nullptr);
}

}  // namespace
}  // namespace kelvarn
