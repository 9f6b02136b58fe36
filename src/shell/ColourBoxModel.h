// The colour selector's working values without the dialog: the colour being edited in RGB and in
// HLS (0..240), alpha, the two stores of a text/background pair, the edit mode, and the texts the
// dialog hands back. The track bars run upside down: a bar's value is its maximum less its position.
#pragma once

#include <string>
#include <string_view>

#include "shell/Colours.h"

namespace kelvarn {

class IMessageSink;

enum TColourChannel : int { chRed = 1, chGreen, chBlue, chHue, chLum, chSat, chAlpha };

class TColourBoxModel {
public:
    int red = 0, green = 0, blue = 0;
    int hue = kUndefinedHue, lum = 0, sat = 0;
    int alpha = 255;
    int editMode = 1;  // 1 text colour, 2 background colour
    TColor textStore = 0, backgroundStore = 0xFFFFFF;
    bool busy = false;        // held while the controls are updated, so their events do not feed back
    bool showAlpha = false;
    bool showModeButtons = false;
    std::string caption;
    std::string sampleText;
    TColor original = 0;      // the colour before editing, for the "original" sample

    // Preparations (each begins a use of the dialog). Values from configs may be anything: parts
    // that are missing or unreadable are 0, numbers are clamped to their range.
    void PrepareColourPair(std::string_view caption, std::string_view sampleText, int alpha, TColor background,
                           TColor text);
    void PrepareHtmlColour(std::string_view caption, std::string_view hex);
    void PrepareRgbColour(std::string_view caption, std::string_view value);
    void PrepareRgbaColour(std::string_view caption, std::string_view value);
    void PrepareHlsColour(std::string_view caption, std::string_view value);

    // A channel set to a value: RGB recomputes HLS and the other way round.
    void SetChannel(int channel, int value);
    // A bar moved to a position; the hue bar wraps (above 240 is 0, below 0 is 240). Returns the
    // position the bar should take.
    int SetFromPosition(int channel, int position);
    static int ChannelMax(int channel);
    int ChannelValue(int channel) const;
    int PositionOf(int channel) const { return ChannelMax(channel) - ChannelValue(channel); }

    // A colour picked from the chart, the history or the screen goes into the colour being edited.
    void PickColour(TColor colour);
    void SetEditMode(int mode);
    // OK: the working values go into the current store.
    void Commit();

    TColor Current() const { return RgbToColor({red, green, blue}); }
    std::string CurrentHex() const { return ColorToHex(Current()); }
    // 1 the text colour, 2 the background, else `fallback`.
    TColor GetColour(int which, TColor fallback) const;
    // "HTMLPair", "rgb", "rgba", "hls"; another name says "ColourBox.GetColourString: Undefined case"
    // and gives an empty text.
    std::string GetColourString(std::string_view format, IMessageSink& messages) const;
    // "RGB [r,g,b]  HLS [h,l,s]  HTML [#RRGGBB]".
    std::string StatusLine() const;
    // The colour of a bar's channel at a value, the rest of the colour unchanged (the bar's ramp).
    TColor RampColour(int channel, int value) const;

private:
    void LoadStore();
};

}  // namespace kelvarn
