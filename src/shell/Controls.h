// The rules of the small shared controls, apart from their widgets: how tall the alert strip grows,
// which characters a filtered edit box takes, and how a font setting reads.
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

// The alert strip's height for `lines` wrapped lines of `lineHeight` pixels: lines × height + 4, at
// least 28, at most 8 lines (then it scrolls); 0 without text.
inline constexpr int kAlertMinHeight = 28;
inline constexpr int kAlertMaxLines = 8;
struct TAlertSize {
    int height = 0;
    bool scrolls = false;  // capped: a scroll bar, and the last line in view
};
TAlertSize AlertHeight(int lines, int lineHeight);

// The kinds of a filtered edit box. Every kind also takes the control characters 0-31 and 127 so
// editing keys pass; characters above 127 are refused by every kind.
enum TCharType {
    ctStandard, ctNoSpaces, ctBool, ctFloat, ctFloatList, ctInteger, ctIntList, ctNumeric, ctFilePath, ctFileName,
    ctKuid, ctPoint
};
bool CharAllowed(TCharType type, char32_t c);

// A "Fonts" setting: the name before ",", the size in points after it. A size that is no positive
// number gives `defaultSize`.
struct TFontSetting {
    std::string name;
    int pointSize = 10;
};
TFontSetting ParseFontSetting(std::string_view text, int defaultSize = 10);

}  // namespace kelvarn
