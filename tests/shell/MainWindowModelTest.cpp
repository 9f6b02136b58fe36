// The main window's data and rules without a window: its menu table, layout and keys.
#include <gtest/gtest.h>

#include <set>

#include "shell/Layout.h"
#include "shell/MainMenuTable.h"
#include "shell/MemIni.h"

namespace kelvarn {
namespace {

TEST(MainMenuTable, EveryListedNumberIsKnown) {
    const std::vector<std::pair<int, int>> ranges = {
        {1003, 1012}, {1015, 1021}, {1101, 1114}, {1205, 1206}, {1208, 1217}, {1219, 1219}, {1221, 1224},
        {1301, 1302}, {1307, 1308}, {1320, 1323}, {1401, 1404}, {1501, 1505}, {1600, 1607}, {1701, 1717},
        {2101, 2112}, {2115, 2118}, {2150, 2157}, {2159, 2159}, {2201, 2224}, {2250, 2251}, {2301, 2319},
        {2325, 2330}, {2350, 2356}, {2359, 2361}, {2501, 2515}, {2650, 2666}, {2690, 2694}, {2700, 2712}};
    for (const auto& [first, last] : ranges)
        for (int n = first; n <= last; ++n) EXPECT_TRUE(IsKnownCommand(n)) << n;
    for (int n : {1000, 1001, 1002, 1013, 1014, 1022, 1099, 1201, 1207, 1218, 1220, 1500, 1608, 1718, 2113, 2158,
                  2225, 2320, 2401, 2405, 2516, 2667, 2713, 999, 3000})
        EXPECT_FALSE(IsKnownCommand(n)) << n;
}

TEST(MainMenuTable, NothingRowsAreTheSendersOwn) {
    for (int n : {1104, 1301, 1302, 1602, 1603, 1702, 1710, 1711, 1715, 2101, 2102, 2104, 2105, 2106, 2202, 2214,
                  2309, 2310, 2313, 2514, 2664, 2665, 2700})
        EXPECT_TRUE(IsNothingCommand(n)) << n;
    for (int n : {1008, 1600, 2103, 2201, 2215, 2701, 1218}) EXPECT_FALSE(IsNothingCommand(n)) << n;
}

TEST(MainMenuTable, RowsAreConsistent) {
    std::set<std::string_view> names, menus;
    for (const TTopMenu& menu : MainMenus()) menus.insert(menu.name);
    int images = 0;
    for (const TMenuRow& row : MainMenuRows()) {
        EXPECT_TRUE(names.insert(row.name).second) << "duplicate " << row.name;
        EXPECT_TRUE(menus.count(row.topMenu)) << row.name;
        if (row.flags & mfSubMenu) continue;
        EXPECT_EQ(row.number / 100 * 100, row.group) << row.name;
        if (row.parent == "mCreateNewImage") {
            ++images;
            EXPECT_EQ(row.number, 1020);
            EXPECT_TRUE(row.caption.ends_with(".tga"));
        }
    }
    EXPECT_EQ(images, 7);
    // Captions that other parts of the program and the user's habits rely on.
    EXPECT_EQ(FindMenuRow(1003)->caption, "&Add Assets...");
    EXPECT_EQ(FindMenuRow(1021)->caption, "Thumbnail from Image...");
    EXPECT_EQ(FindMenuRow(1320)->caption, "Meshwright (Trawl Mode)");
    EXPECT_EQ(FindMenuRow(1321)->caption, "Texwright (Trawl Mode)");
    EXPECT_EQ(FindMenuRow(1401)->caption, "Preferences...");
    EXPECT_EQ(FindMenuRow(1706)->caption, "Verify Files...");
    EXPECT_EQ(FindMenuRow(1223)->caption, "Repair Audio Files");
    EXPECT_EQ(FindMenuRow(1501)->shortcut, "F1");
    EXPECT_TRUE(FindMenuRow(1218)->flags & mfHidden);
    EXPECT_TRUE(FindMenuRow(1102)->flags & mfLeavesMaximised);
    EXPECT_TRUE(FindMenuRow(1701)->flags & mfLeavesMaximised);
    EXPECT_EQ(StripAccelerators("&Red"), "Red");
    EXPECT_EQ(StripAccelerators("Paths && &Files"), "Paths  Files");
}

TEST(LayoutSettings, BoundsFitTheScreen) {
    const TBounds screen{0, 0, 1280, 1024};
    EXPECT_EQ(FitToScreen({0, 0, 100000, 100000}, screen), screen);
    EXPECT_EQ(FitToScreen({100, 50, 3840, 2160}, screen), screen);
    EXPECT_EQ(FitToScreen({1000, 900, 800, 600}, screen), (TBounds{480, 424, 800, 600}));  // moved back on
    EXPECT_EQ(FitToScreen({-2147483647, 2147483647, 640, 480}, screen), (TBounds{0, 544, 640, 480}));
    EXPECT_EQ(FitToScreen({10, 20, 640, 480}, {1280, 0, 1920, 1080}), (TBounds{1280, 20, 640, 480}));  // second screen
}

TEST(LayoutSettings, FromThePositionSection) {
    TMemIni ini;
    // A first start: the layout is kept from now on, and starts from the fixed defaults.
    TLayoutSettings layout = ReadLayoutSettings(ini);
    EXPECT_TRUE(layout.restore);
    EXPECT_EQ(layout.left, 50);
    EXPECT_EQ(layout.width, 1024);
    EXPECT_EQ(layout.height, 768);
    EXPECT_EQ(layout.assetWidth, 297);
    EXPECT_EQ(layout.assetHeight, 250);
    EXPECT_EQ(layout.outlineHeight, 250);
    EXPECT_EQ(layout.mode, 0);

    ini.SetText("[Position]\nRestore=0\nAssetWidth=500\nMaxMode=2\n");
    EXPECT_EQ(ReadLayoutSettings(ini).assetWidth, 297);  // not read without Restore

    ini.SetText("[Position]\nRestore=1\nTop=10\nLeft=20\nWidth=900\nHeight=700\nAssetWidth=100\n"
                "AssetHeight=300\nOutlineHeight=320\nMaxMode=0\n");
    layout = ReadLayoutSettings(ini);
    EXPECT_EQ(layout.top, 10);
    EXPECT_EQ(layout.width, 900);
    EXPECT_EQ(layout.assetWidth, 297);  // never below
    EXPECT_EQ(layout.assetHeight, 300);
    EXPECT_EQ(layout.outlineHeight, 320);

    struct Case {
        int maxMode, mode, outlineHeight;
    };
    for (const Case& c : {Case{1, 1, 250}, Case{2, 2, 0}, Case{5, 0, 250}}) {
        ini.WriteInteger("Position", "MaxMode", c.maxMode);
        layout = ReadLayoutSettings(ini);
        EXPECT_EQ(layout.mode, c.mode) << c.maxMode;
        EXPECT_EQ(layout.outlineHeight, c.outlineHeight) << c.maxMode;
    }

    layout.mode = 2;
    layout.outlineHeight = 0;
    WriteLayoutSettings(ini, layout);
    EXPECT_EQ(ini.ReadInteger("Position", "MaxMode", -1), 2);
    EXPECT_EQ(ini.ReadInteger("Position", "AssetWidth", -1), 297);
}

TLayoutModel FreshSplit() {
    TLayoutModel m;
    m.clientHeight = 700;
    m.rightPaneHeight = 604;
    m.splitterHeight = 4;
    m.outlineHeight = 250;
    return m;
}

TEST(LayoutModel, MaximiseSequences) {
    TLayoutModel m = FreshSplit();
    m.ViewerMaximise(false);  // the text view's button: the viewer fills the pane
    EXPECT_EQ(m.mode, 2);
    EXPECT_EQ(m.outlineHeight, 0);
    EXPECT_TRUE(m.ViewerButtonsDown());
    EXPECT_FALSE(m.SplitterVisible());
    m.ViewerMaximise(false);  // again: back to the remembered split
    EXPECT_EQ(m.mode, 0);
    EXPECT_EQ(m.outlineHeight, 250);
    EXPECT_TRUE(m.SplitterVisible());

    m.ViewerMaximise(true);  // the outline's button: the outline fills the pane
    EXPECT_EQ(m.mode, 1);
    EXPECT_EQ(m.outlineHeight, 600);
    EXPECT_TRUE(m.OutlineButtonDown());
    m.ViewerMaximise(false);  // any button when full: back to the split
    EXPECT_EQ(m.mode, 0);
    EXPECT_EQ(m.outlineHeight, 250);

    m.ViewerMaximise(false);
    m.ViewerMaximise(true);  // the outline's button in mode 2 returns to the remembered height, not full
    EXPECT_EQ(m.mode, 0);
    EXPECT_EQ(m.outlineHeight, 250);

    TLayoutModel restored = FreshSplit();  // restored in mode 2: nothing remembered yet
    restored.mode = 2;
    restored.outlineHeight = 0;
    restored.ViewerMaximise(false);
    EXPECT_EQ(restored.mode, 0);
    EXPECT_EQ(restored.outlineHeight, 350);  // half the client height

    TLayoutModel leave = FreshSplit();
    EXPECT_FALSE(leave.LeaveViewerMaximised());
    leave.ViewerMaximise(false);
    EXPECT_TRUE(leave.LeaveViewerMaximised());
    EXPECT_EQ(leave.mode, 0);
    EXPECT_EQ(leave.outlineHeight, 250);
}

TEST(LayoutModel, ResizeKeepsEachModesHeight) {
    struct Case {
        int mode, outline, pane, expected;
    };
    const Case cases[] = {
        {0, 250, 300, 200},   // the viewer keeps 100 pixels
        {0, 150, 300, 150},   // fits already
        {0, 250, 80, 0},      // a pane under 100 leaves no outline, never a negative one
        {1, 100, 500, 496},   // outline maximised: the pane less the splitter
        {1, 100, 2, 0},
        {2, 0, 500, 0},
    };
    for (const Case& c : cases) {
        TLayoutModel m;
        m.mode = c.mode;
        m.outlineHeight = c.outline;
        m.FormResize(c.pane);
        EXPECT_EQ(m.outlineHeight, c.expected) << c.mode << " " << c.pane;
    }
}

TEST(Keys, FocusKeysByMode) {
    using T = TFocusTarget;
    struct Case {
        int key, mode;
        T target;
    };
    const Case cases[] = {{5, 2, T::AssetList}, {6, 1, T::FileList}, {7, 0, T::Outline}, {7, 1, T::Outline},
                          {7, 2, T::None},      {8, 0, T::ActiveViewer}, {8, 2, T::ActiveViewer}, {8, 1, T::None},
                          {9, 0, T::None}};
    for (const Case& c : cases) EXPECT_EQ(FocusKeyTarget(c.key, c.mode), c.target) << c.key << " " << c.mode;
}

TEST(Keys, EscapeCancelsTheBusiestFirstAndAlwaysAbortsScripts) {
    TEscapeFlags f = EscapeFlags(true, true);
    EXPECT_TRUE(f.programCancel);
    EXPECT_FALSE(f.outlineCancel);
    EXPECT_FALSE(f.scanCancel);
    EXPECT_TRUE(f.scriptAbort);
    f = EscapeFlags(false, true);
    EXPECT_TRUE(f.outlineCancel);
    EXPECT_FALSE(f.scanCancel);
    f = EscapeFlags(false, false);
    EXPECT_TRUE(f.scanCancel);
    EXPECT_TRUE(f.scriptAbort);
}

TEST(Keys, CtrlSFirstMatch) {
    using F = TFocusKind;
    using V = TFrameId;
    using S = TCtrlSTarget;
    struct Case {
        F focus;
        V active;
        S target;
    };
    const Case cases[] = {
        {F::TextMemo, V::TextureDescriptor, S::TextView},
        {F::OutlineTree, V::TextureDescriptor, S::TextureDescriptor},
        {F::OutlineTree, V::LevelOfDetail, S::LevelOfDetail},
        {F::OutlineTree, V::Image, S::Outline},
        {F::ImageView, V::Image, S::ImageQuickSave},
        {F::Other, V::Image, S::None},  // focus in the asset list with the image view in front
    };
    for (const Case& c : cases) EXPECT_EQ(CtrlSTarget(c.focus, c.active), c.target);
    EXPECT_TRUE(LockRequested("Lock"));
    EXPECT_FALSE(LockRequested("lock"));
    EXPECT_FALSE(LockRequested("Unlock"));
}

TEST(FrameOrders, EveryOrderNamesEachPaneOnce) {
    auto distinct = [](const auto& order) { return std::set<TFrameId>(order.begin(), order.end()).size(); };
    EXPECT_EQ(distinct(kInitOrder), 10u);
    EXPECT_EQ(distinct(kCloseQueryOrder), 10u);
    EXPECT_EQ(distinct(kCloseOrder), 10u);
    EXPECT_EQ(distinct(kClearAllOrder), 9u);
    EXPECT_EQ(kCloseQueryOrder.front(), TFrameId::Text);
    EXPECT_EQ(kCloseOrder[3], TFrameId::AssetList);
}

}  // namespace
}  // namespace kelvarn
