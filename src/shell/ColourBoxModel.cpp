#include "shell/ColourBoxModel.h"

#include <algorithm>

#include "shell/MessageSink.h"

namespace kelvarn {

void TColourBoxModel::PrepareColourPair(std::string_view newCaption, std::string_view newSample, int newAlpha,
                                        TColor background, TColor text) {
    caption = std::string(newCaption);
    sampleText = std::string(newSample);
    showModeButtons = !sampleText.empty();
    alpha = std::clamp(newAlpha, 0, 255);
    textStore = text;
    backgroundStore = background;
    editMode = 1;
    original = text;
    LoadStore();
}

void TColourBoxModel::PrepareHtmlColour(std::string_view newCaption, std::string_view hex) {
    showAlpha = false;
    PrepareColourPair(newCaption, {}, 255, 0xFFFFFF, HexToColor(hex).value_or(0));
}

void TColourBoxModel::PrepareRgbColour(std::string_view newCaption, std::string_view value) {
    const auto n = ParseColourNumbers(value, 3, 255);
    showAlpha = false;
    PrepareColourPair(newCaption, {}, 255, 0xFFFFFF, RgbToColor({n[0], n[1], n[2]}));
}

void TColourBoxModel::PrepareRgbaColour(std::string_view newCaption, std::string_view value) {
    const auto n = ParseColourNumbers(value, 4, 255);
    showAlpha = true;
    PrepareColourPair(newCaption, {}, n[3], 0xFFFFFF, RgbToColor({n[0], n[1], n[2]}));
}

void TColourBoxModel::PrepareHlsColour(std::string_view newCaption, std::string_view value) {
    const auto n = ParseColourNumbers(value, 3, kHlsMax);
    const THls hls{n[0], n[1], n[2]};
    showAlpha = false;
    PrepareColourPair(newCaption, {}, 255, 0xFFFFFF, RgbToColor(HlsToRgb(hls)));
    // Keep the value as given: an unchanged colour gives back the same text.
    hue = hls.hue;
    lum = hls.lum;
    sat = hls.sat;
}

int TColourBoxModel::ChannelMax(int channel) {
    switch (channel) {
        case chHue: case chLum: case chSat: return kHlsMax;
        default: return 255;
    }
}

int TColourBoxModel::ChannelValue(int channel) const {
    switch (channel) {
        case chRed: return red;
        case chGreen: return green;
        case chBlue: return blue;
        case chHue: return hue;
        case chLum: return lum;
        case chSat: return sat;
        case chAlpha: return alpha;
        default: return 0;
    }
}

void TColourBoxModel::SetChannel(int channel, int value) {
    value = std::clamp(value, 0, ChannelMax(channel));
    switch (channel) {
        case chRed: red = value; break;
        case chGreen: green = value; break;
        case chBlue: blue = value; break;
        case chHue: hue = value; break;
        case chLum: lum = value; break;
        case chSat: sat = value; break;
        case chAlpha: alpha = value; return;
        default: return;
    }
    if (channel <= chBlue) {
        const THls hls = RgbToHls({red, green, blue});
        hue = hls.hue;
        lum = hls.lum;
        sat = hls.sat;
    } else {
        const TRgb rgb = HlsToRgb({hue, lum, sat});
        red = rgb.red;
        green = rgb.green;
        blue = rgb.blue;
    }
}

int TColourBoxModel::SetFromPosition(int channel, int position) {
    if (channel == chHue) {
        if (position > kHlsMax) position = 0;
        if (position < 0) position = kHlsMax;
    }
    position = std::clamp(position, 0, ChannelMax(channel));
    SetChannel(channel, ChannelMax(channel) - position);
    return position;
}

void TColourBoxModel::PickColour(TColor colour) {
    const TRgb rgb = ColorToRgb(colour);
    red = rgb.red;
    green = rgb.green;
    blue = rgb.blue;
    const THls hls = RgbToHls(rgb);
    hue = hls.hue;
    lum = hls.lum;
    sat = hls.sat;
}

void TColourBoxModel::Commit() {
    if (editMode == 2)
        backgroundStore = Current();
    else
        textStore = Current();
}

void TColourBoxModel::SetEditMode(int mode) {
    Commit();
    editMode = mode == 2 ? 2 : 1;
    LoadStore();
}

void TColourBoxModel::LoadStore() { PickColour(editMode == 2 ? backgroundStore : textStore); }

TColor TColourBoxModel::GetColour(int which, TColor fallback) const {
    if (which == 1) return textStore;
    if (which == 2) return backgroundStore;
    return fallback;
}

std::string TColourBoxModel::GetColourString(std::string_view format, IMessageSink& messages) const {
    auto join = [](std::initializer_list<int> values) {
        std::string s;
        for (int v : values) s += (s.empty() ? "" : ",") + std::to_string(v);
        return s;
    };
    if (format == "HTMLPair") return ColorToHex(textStore) + "," + ColorToHex(backgroundStore);
    if (format == "rgb") return join({red, green, blue});
    if (format == "rgba") return join({red, green, blue, alpha});
    if (format == "hls") return join({hue, lum, sat});
    messages.ShowMessage("ColourBox.GetColourString: Undefined case");
    return {};
}

std::string TColourBoxModel::StatusLine() const {
    return "RGB [" + std::to_string(red) + "," + std::to_string(green) + "," + std::to_string(blue) + "]  HLS [" +
           std::to_string(hue) + "," + std::to_string(lum) + "," + std::to_string(sat) + "]  HTML [" + CurrentHex() +
           "]";
}

TColor TColourBoxModel::RampColour(int channel, int value) const {
    switch (channel) {
        case chRed: return RgbToColor({value, green, blue});
        case chGreen: return RgbToColor({red, value, blue});
        case chBlue: return RgbToColor({red, green, value});
        case chHue: return RgbToColor(HlsToRgb({value, lum, sat}));
        case chLum: return RgbToColor(HlsToRgb({hue, value, sat}));
        case chSat: return RgbToColor(HlsToRgb({hue, lum, value}));
        default: return Current();
    }
}

}  // namespace kelvarn
