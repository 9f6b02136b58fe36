#include "shell/Colours.h"

#include <algorithm>
#include <cmath>

#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

const std::array<const SettingKey*, kSchemeKindCount> kSchemeKeys = {
    &keys::ColourNormal, &keys::ColourTagged, &keys::ColourSelected, &keys::ColourComment,
    &keys::ColourModified, &keys::ColourAlert, &keys::ColourPoint, &keys::ColourSelectedPoint};

std::string SchemePart(std::string_view text, bool foreground) {
    TTokens tokens;
    const int count = SplitByCharSet(text, tokens, ",;");
    if (foreground) return Trim(tokens[0]);
    return count > 1 ? Trim(tokens[1]) : std::string();
}

}  // namespace

TColor SchemeColour(const TMemIni* ini, int kind, bool foreground) {
    if (kind < 0 || kind >= kSchemeKindCount) kind = skNormal;
    const SettingKey& key = *kSchemeKeys[static_cast<std::size_t>(kind)];
    const TColor fallback = *HexToColor(SchemePart(key.def, foreground));
    if (!ini) return fallback;
    const std::string part = SchemePart(ReadSetting(*ini, key), foreground);
    return HexToColor(part).value_or(fallback);
}

THls RgbToHls(const TRgb& rgb) {
    const double r = rgb.red / 255.0, g = rgb.green / 255.0, b = rgb.blue / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    THls hls;
    hls.lum = static_cast<int>(std::lround(l * kHlsMax));
    if (mx == mn) return hls;  // grey: undefined hue, no saturation
    const double d = mx - mn;
    const double s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    double h;
    if (mx == r)
        h = std::fmod((g - b) / d + 6.0, 6.0);
    else if (mx == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    hls.hue = static_cast<int>(std::lround(h * kHlsMax / 6.0)) % kHlsMax;
    hls.sat = static_cast<int>(std::lround(s * kHlsMax));
    return hls;
}

TRgb HlsToRgb(const THls& hls) {
    const double l = std::clamp(hls.lum, 0, kHlsMax) / double(kHlsMax);
    const double s = std::clamp(hls.sat, 0, kHlsMax) / double(kHlsMax);
    auto channel = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    if (hls.sat <= 0) {
        const int v = channel(l);
        return {v, v, v};
    }
    const double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    auto part = [&](double t) {
        t -= std::floor(t);
        if (t < 1.0 / 6) return p + (q - p) * 6 * t;
        if (t < 0.5) return q;
        if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    const double h = std::clamp(hls.hue, 0, kHlsMax) / double(kHlsMax);
    return {channel(part(h + 1.0 / 3)), channel(part(h)), channel(part(h - 1.0 / 3))};
}

TColor RgbToColor(const TRgb& rgb) {
    auto c = [](int v) { return static_cast<TColor>(std::clamp(v, 0, 255)); };
    return c(rgb.red) | (c(rgb.green) << 8) | (c(rgb.blue) << 16);
}

TRgb ColorToRgb(TColor colour) {
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

std::vector<int> ParseColourNumbers(std::string_view text, int count, int max) {
    std::vector<int> numbers(static_cast<std::size_t>(std::max(count, 0)), 0);
    TTokens tokens;
    const int found = SplitByCharSet(text, tokens, ",");
    for (int i = 0; i < count && i < found && i < kMaxTokens; ++i) {
        long long v = 0;
        double d = 0;
        const std::string part = Trim(tokens[static_cast<std::size_t>(i)]);
        if (TryParseInt(part, v)) {
        } else if (TryParseDouble(part, d) && std::isfinite(d)) {
            v = static_cast<long long>(std::clamp(d, -1e9, 1e9));
        } else {
            v = 0;
        }
        numbers[static_cast<std::size_t>(i)] = static_cast<int>(std::clamp<long long>(v, 0, max));
    }
    return numbers;
}

void PushColourHistory(std::vector<std::string>& history, const std::string& hex) {
    history.erase(std::remove_if(history.begin(), history.end(),
                                 [&](const std::string& entry) { return SameText(entry, hex); }),
                  history.end());
    history.insert(history.begin(), hex);
    if (history.size() > kColourHistorySize) history.resize(kColourHistorySize);
}

std::vector<std::string> LoadColourHistory(const TMemIni& ini) {
    std::vector<std::string> history;
    for (int i = 1; i <= kColourHistorySize; ++i)
        history.push_back(ini.ReadString(sections::ColoursMRU, std::to_string(i), "#FFFFFF"));
    return history;
}

void SaveColourHistory(TMemIni& ini, const std::vector<std::string>& history) {
    WriteNumberedList(ini, sections::ColoursMRU, history);
}

}  // namespace kelvarn
