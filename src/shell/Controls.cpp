#include "shell/Controls.h"

#include <algorithm>

#include "shell/Text.h"

namespace kelvarn {

TAlertSize AlertHeight(int lines, int lineHeight) {
    TAlertSize size;
    if (lines <= 0) return size;
    lineHeight = std::max(lineHeight, 1);
    const long long wanted = static_cast<long long>(lines) * lineHeight + 4;
    const long long most = static_cast<long long>(kAlertMaxLines) * lineHeight + 4;
    size.scrolls = wanted > most;
    size.height = static_cast<int>(std::max<long long>(std::min(wanted, most), kAlertMinHeight));
    return size;
}

bool CharAllowed(TCharType type, char32_t c) {
    if (c > 127) return false;
    if (c < 32 || c == 127) return true;
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    auto in = [c](std::string_view set) { return set.find(static_cast<char>(c)) != std::string_view::npos; };
    switch (type) {
        case ctStandard: return true;
        case ctNoSpaces: return c != ' ';
        case ctBool: return c == '0' || c == '1';
        case ctFloat: return digit || in("-.");
        case ctFloatList: return digit || in(",-.");
        case ctInteger: return digit || c == '-';
        case ctIntList: return digit || in(",-");
        case ctNumeric: return digit;
        case ctFilePath:
        case ctFileName: return digit || letter || in(" -./_");
        case ctKuid: return digit || in("-:<>diklnu");
        case ctPoint: return digit || letter || in("-.:_");
    }
    return false;
}

TFontSetting ParseFontSetting(std::string_view text, int defaultSize) {
    TFontSetting font;
    const std::size_t comma = text.find(',');
    font.name = Trim(text.substr(0, comma));
    font.pointSize = defaultSize;
    if (comma != std::string_view::npos) {
        long long size = 0;
        if (TryParseInt(Trim(text.substr(comma + 1)), size) && size > 0 && size <= 400)
            font.pointSize = static_cast<int>(size);
    }
    return font;
}

}  // namespace kelvarn
