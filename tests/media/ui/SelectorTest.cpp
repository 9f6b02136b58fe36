// The point selector with a recording bus: which entry it chooses as it opens, what it sends, and the
// lock it holds on the left panes while shown.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "media/ui/Selector.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using Sent = std::vector<std::pair<int, std::string>>;

class Selector : public ::testing::Test {
protected:
    Selector() {
        selector.SetCommandTarget(&bus);
        selector.SetOpener("bTextureList");
    }
    void Show() {
        selector.show();
        QApplication::processEvents();
    }

    QApplication& app = test::TestApp();  // before any widget
    test::RecordingCommandBus bus;
    TSelector selector;
};

TEST(SelectorRules, KeptEntryPerListFallsBackToTheFirst) {
    TSelectorModel model;
    EXPECT_EQ(model.ShowIndex(0), -1);
    EXPECT_EQ(model.ShowIndex(3), 0);
    model.Keep(2);
    model.Mode = smTextures;
    EXPECT_EQ(model.ShowIndex(3), 0) << "each list keeps its own entry";
    model.Keep(5);
    EXPECT_EQ(model.ShowIndex(3), 0);
    EXPECT_EQ(model.ShowIndex(6), 5);
    EXPECT_EQ(model.SelectionCode(), ccShowTexture);
    EXPECT_FALSE(model.PointControlsVisible());
    model.Mode = smPoints;
    EXPECT_EQ(model.ShowIndex(3), 2);
    EXPECT_EQ(model.SelectionCode(), ccShowPoint);
    model.ResetKept();
    EXPECT_EQ(model.Kept(smPoints), 0);
    EXPECT_EQ(model.Kept(smTextures), 0);
}

TEST_F(Selector, AKeptEntryPastTheListChoosesTheFirst) {
    selector.SetMode(smTextures);
    selector.Model().Keep(5);
    selector.SetItems({"roof.tga", "Body.tga", "wheels.tga"});
    Show();
    EXPECT_EQ(bus.sent, (Sent{{ccLock, "Lock"}, {ccShowTexture, "Body.tga"}}));  // sorted, ignoring case
    EXPECT_EQ(selector.ListBox()->currentRow(), 0);
    EXPECT_EQ(selector.Model().Kept(smTextures), 0);
}

TEST_F(Selector, AnEmptyListChoosesNothing) {
    selector.SetMode(smPoints);
    selector.SetItems({});
    Show();
    EXPECT_EQ(bus.sent, (Sent{{ccLock, "Lock"}}));
    EXPECT_EQ(selector.ListBox()->currentRow(), -1);
}

TEST_F(Selector, PointControlsOnlyForThePointList) {
    selector.SetMode(smTextures);
    Show();
    EXPECT_FALSE(selector.ShowAllBox()->isVisible());
    EXPECT_FALSE(selector.PointSizer()->isVisible());
    EXPECT_FALSE(selector.PointBoundsButton()->isVisible());
    EXPECT_TRUE(selector.LineColourBar()->isVisible());
    selector.hide();
    selector.SetMode(smPoints);
    Show();
    EXPECT_TRUE(selector.ShowAllBox()->isVisible());
    EXPECT_TRUE(selector.PointSizer()->isVisible());
    EXPECT_TRUE(selector.PointBoundsButton()->isVisible());
}

TEST_F(Selector, EveryHideUnlocks) {
    Show();
    selector.hide();
    Show();
    selector.close();
    Show();
    selector.reject();  // Esc
    EXPECT_EQ(bus.sent, (Sent{{ccLock, "Lock"},
                              {ccLock, "Unlock"},
                              {ccLock, "Lock"},
                              {ccLock, "Unlock"},
                              {ccLock, "Lock"},
                              {ccLock, "Unlock"}}));
}

TEST_F(Selector, ChoosingKeepsTheEntryForTheNextShow) {
    selector.SetMode(smPoints);
    selector.SetItems({"a.one", "a.two", "a.three"});
    Show();
    bus.sent.clear();
    const QRect second = selector.ListBox()->visualItemRect(selector.ListBox()->item(2));
    QTest::mouseClick(selector.ListBox()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(bus.sent, (Sent{{ccShowPoint, "a.two"}}));  // one message for one click
    QTest::keyClick(selector.ListBox(), Qt::Key_Up);
    EXPECT_EQ(bus.sent.back(), (std::pair<int, std::string>{ccShowPoint, "a.three"}));
    selector.hide();
    bus.sent.clear();
    Show();
    EXPECT_EQ(bus.sent, (Sent{{ccLock, "Lock"}, {ccShowPoint, "a.three"}}));
}

TEST_F(Selector, ControlsSendTheirTagWithTheOpenersName) {
    selector.SetMode(smPoints);
    Show();
    bus.sent.clear();
    selector.SetPointSize(9);  // set by the view: nothing sent
    selector.SetLineColour(20);
    EXPECT_TRUE(bus.sent.empty());
    selector.PointSizer()->setValue(11);
    selector.LineColourBar()->setValue(70);
    selector.ShowAllBox()->click();
    selector.PointBoundsButton()->click();
    selector.CloseButton()->click();
    EXPECT_EQ(bus.sent, (Sent{{2693, "bTextureList"},
                              {2694, "bTextureList"},
                              {2692, "bTextureList"},
                              {2666, "bTextureList"},
                              {2690, "bTextureList"}}));
    EXPECT_EQ(selector.PointSize(), 11);
    EXPECT_EQ(selector.LineColour(), 70);
    EXPECT_TRUE(selector.ShowAllChecked());
    EXPECT_TRUE(selector.isVisible()) << "Close asks the main window, which hides it";
}

}  // namespace
}  // namespace kelvarn
