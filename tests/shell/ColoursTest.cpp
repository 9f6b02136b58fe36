#include <gtest/gtest.h>

#include "shell/ColourBoxModel.h"
#include "shell/Colours.h"
#include "shell/MemIni.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

TEST(SchemeColour, DefaultsAndBadValues) {
    EXPECT_EQ(SchemeColour(nullptr, skComment, true), 0x000080u);   // dark red "#800000"
    EXPECT_EQ(SchemeColour(nullptr, skComment, false), 0xFFFFFFu);  // white
    TMemIni ini;
    EXPECT_EQ(SchemeColour(&ini, skComment, true), 0x000080u);
    struct Case {
        const char* value;
        TColor fg, bg;
    };
    const Case cases[] = {
        {"#00FF00;#0000FF", 0x00FF00, 0xFF0000},  // ";" separates too
        {"#123456", 0x563412, 0xFFFFFF},          // one part: the background is the default's
        {"zz,#000000", 0x000080, 0x000000},       // a bad part takes the default's part
        {"", 0x000080, 0xFFFFFF},
        {" #FF0000 , #00FF00 ", 0x0000FF, 0x00FF00},
    };
    for (const Case& c : cases) {
        ini.WriteString("Colours", "Comment", c.value);
        EXPECT_EQ(SchemeColour(&ini, skComment, true), c.fg) << c.value;
        EXPECT_EQ(SchemeColour(&ini, skComment, false), c.bg) << c.value;
    }
    EXPECT_EQ(SchemeColour(nullptr, 42, true), SchemeColour(nullptr, skNormal, true));
}

TEST(Hls, PrimariesAndGreys) {
    struct Case {
        TRgb rgb;
        THls hls;
    };
    const Case cases[] = {
        {{255, 0, 0}, {0, 120, 240}},     {{0, 255, 0}, {80, 120, 240}}, {{0, 0, 255}, {160, 120, 240}},
        {{128, 128, 128}, {160, 120, 0}}, {{0, 0, 0}, {160, 0, 0}},     {{255, 255, 255}, {160, 240, 0}},
    };
    for (const Case& c : cases) {
        const THls h = RgbToHls(c.rgb);
        EXPECT_EQ(h.hue, c.hls.hue);
        EXPECT_EQ(h.lum, c.hls.lum);
        EXPECT_EQ(h.sat, c.hls.sat);
        const TRgb back = HlsToRgb(c.hls);
        EXPECT_NEAR(back.red, c.rgb.red, 1);
        EXPECT_NEAR(back.green, c.rgb.green, 1);
        EXPECT_NEAR(back.blue, c.rgb.blue, 1);
    }
}

TEST(Hls, RoundTripWithinOneStep) {
    // Where HLS is well resolved (mid luminance, some saturation), HLS -> RGB -> HLS moves each value
    // by at most one step; hue compares round the circle.
    for (int h = 0; h < 240; h += 4)
        for (int l = 80; l <= 160; l += 8)
            for (int s = 80; s <= 240; s += 8) {
                const THls back = RgbToHls(HlsToRgb({h, l, s}));
                const int dh = std::min((back.hue - h + 240) % 240, (h - back.hue + 240) % 240);
                ASSERT_LE(dh, 1) << h << "," << l << "," << s;
                ASSERT_NEAR(back.lum, l, 1);
                ASSERT_NEAR(back.sat, s, 1);
            }
}

TEST(ColourTexts, ConfigValuesNeverFail) {
    struct Case {
        const char* text;
        int count, max;
        std::vector<int> numbers;
    };
    const Case cases[] = {
        {"10,20,30", 3, 255, {10, 20, 30}}, {"255,abc", 3, 255, {255, 0, 0}}, {"300,0,0", 3, 255, {255, 0, 0}},
        {"-5,7", 3, 255, {0, 7, 0}},        {"", 4, 255, {0, 0, 0, 0}},      {"250,250,250", 3, 240, {240, 240, 240}},
        {" 1 , 2 ,3,4,5", 3, 255, {1, 2, 3}}, {"1.6,2,3", 3, 255, {1, 2, 3}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseColourNumbers(c.text, c.count, c.max), c.numbers) << c.text;
}

TEST(ColourHistory, MostRecentFirstAtMostTen) {
    std::vector<std::string> history = {"#000001", "#000002", "#00000A", "#000004"};
    PushColourHistory(history, "#00000a");  // third-ish entry, other case: moves to the head
    EXPECT_EQ(history, (std::vector<std::string>{"#00000a", "#000001", "#000002", "#000004"}));
    for (int i = 0; i < 20; ++i) PushColourHistory(history, "#1000" + std::to_string(10 + i));
    EXPECT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "#100029");

    TMemIni ini;
    EXPECT_EQ(LoadColourHistory(ini), std::vector<std::string>(10, "#FFFFFF"));
    SaveColourHistory(ini, history);
    EXPECT_EQ(LoadColourHistory(ini), history);
}

TEST(ColourBoxModel, PreparedValuesComeBackUnchanged) {
    test::RecordingMessageSink messages;
    TColourBoxModel box;
    box.PrepareRgbaColour("Colour", "10,20,30,40");
    EXPECT_TRUE(box.showAlpha);
    EXPECT_EQ(box.GetColourString("rgba", messages), "10,20,30,40");
    box.PrepareRgbColour("Colour", "1,2,3");
    EXPECT_FALSE(box.showAlpha);
    EXPECT_EQ(box.GetColourString("rgb", messages), "1,2,3");
    box.PrepareHlsColour("Colour", "100,120,200");
    EXPECT_EQ(box.GetColourString("hls", messages), "100,120,200");
    box.PrepareHlsColour("Colour", "300,x");  // clamped and defaulted, no failure
    EXPECT_EQ(box.GetColourString("hls", messages), "240,0,0");
    box.PrepareHtmlColour("Colour", "#FF8000");
    EXPECT_EQ(box.CurrentHex(), "#FF8000");
    EXPECT_FALSE(box.showModeButtons);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(box.GetColourString("cmyk", messages), "");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"ColourBox.GetColourString: Undefined case"});
}

TEST(ColourBoxModel, BarsRunUpsideDownAndHueWraps) {
    TColourBoxModel box;
    box.PrepareHtmlColour("c", "#000000");
    EXPECT_EQ(box.SetFromPosition(chRed, 55), 55);
    EXPECT_EQ(box.red, 200);
    EXPECT_EQ(box.PositionOf(chRed), 55);
    EXPECT_EQ(box.hue, 0);  // HLS follows RGB
    EXPECT_GT(box.sat, 0);
    EXPECT_EQ(box.SetFromPosition(chHue, -1), 240);  // dragged past the top
    EXPECT_EQ(box.hue, 0);
    EXPECT_EQ(box.SetFromPosition(chHue, 241), 0);
    EXPECT_EQ(box.hue, 240);
    box.SetFromPosition(chHue, 160);  // hue 80: green, RGB follows HLS
    EXPECT_GT(box.green, box.red);
    box.SetFromPosition(chAlpha, 255);
    EXPECT_EQ(box.alpha, 0);
    EXPECT_EQ(box.StatusLine().substr(0, 4), "RGB ");
}

TEST(ColourBoxModel, PairStoresFollowTheEditMode) {
    test::RecordingMessageSink messages;
    TColourBoxModel box;
    box.PrepareColourPair("Comment", "Sample", 255, 0xFFFFFF, 0x000080);
    EXPECT_TRUE(box.showModeButtons);
    EXPECT_EQ(box.CurrentHex(), "#800000");
    box.PickColour(0x00FF00);
    box.SetEditMode(2);  // the text colour is stored, the background loaded
    EXPECT_EQ(box.CurrentHex(), "#FFFFFF");
    box.PickColour(0x404040);
    box.Commit();
    EXPECT_EQ(box.GetColourString("HTMLPair", messages), "#00FF00,#404040");
    EXPECT_EQ(box.GetColour(1, 7), 0x00FF00u);
    EXPECT_EQ(box.GetColour(2, 7), 0x404040u);
    EXPECT_EQ(box.GetColour(3, 7), 7u);
}

}  // namespace
}  // namespace kelvarn
