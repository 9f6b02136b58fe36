// Display colours: the scheme colours of the "Colours" section, the hue/luminance/saturation scale
// of the colour selector (0 to 240), and the colour texts of config tags ("rgb", "rgba", "hls").
// Colour kinds: a settings text "#RRGGBB" and a TColor ($00BBGGRR) are different byte orders.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Strings.h"

namespace kelvarn {

class TMemIni;

enum TSchemeKind : int {
    skNormal = 0, skTagged, skSelected, skComment, skModified, skAlert, skPoint, skSelectedPoint
};
inline constexpr int kSchemeKindCount = 8;

// The kind's foreground (first part) or background (second part). A missing settings object, a
// missing key or an unreadable part gives that part of the kind's default. Kinds out of range are
// Normal.
TColor SchemeColour(const TMemIni* ini, int kind, bool foreground);

inline constexpr int kHlsMax = 240;
inline constexpr int kUndefinedHue = 160;  // the hue of greys

struct THls {
    int hue = kUndefinedHue, lum = 0, sat = 0;
};
struct TRgb {
    int red = 0, green = 0, blue = 0;
};
THls RgbToHls(const TRgb& rgb);
TRgb HlsToRgb(const THls& hls);
TColor RgbToColor(const TRgb& rgb);
TRgb ColorToRgb(TColor colour);

// A comma list of `count` numbers as config tags write them. Parts that are missing or no number are
// 0; numbers are clamped to 0..`max`. Never fails.
std::vector<int> ParseColourNumbers(std::string_view text, int count, int max);

// The colour history ("ColoursMRU"): `hex` goes to the head, an equal entry further down (ignoring
// case) is removed, and at most ten remain.
inline constexpr int kColourHistorySize = 10;
void PushColourHistory(std::vector<std::string>& history, const std::string& hex);
std::vector<std::string> LoadColourHistory(const TMemIni& ini);
void SaveColourHistory(TMemIni& ini, const std::vector<std::string>& history);

}  // namespace kelvarn
