// The choices of the image dialogs (resize, merge, alpha from image), apart from their pages: the
// size steps and checks, the tolerance swatches, and which images may be merged.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

inline constexpr int kMaxStepSize = 2048;
inline constexpr std::string_view kRatioHint = "Max image size ratio 8:1";

// One press of a size field's spin button.
struct TSizeStep {
    int Value = 0;               // the field's value afterwards
    bool Beep = false;           // refused: the system beeps
    std::string Help;            // "Max image size ratio 8:1" when the ratio refused it
    bool ClearThumbnail = false; // the field changed: the thumbnail box is cleared
};
// Up: the next power of two above (below 2 gives 2); at 2048 or more it beeps. Down: the next power
// of two below (above 2048 gives 2048); below 3 it beeps. A new width more than 8 times the height
// (or the reverse) beeps and keeps the field.
TSizeStep IncImageSize(int value, int otherSide, bool isWidth);
TSizeStep DecImageSize(int value, int otherSide, bool isWidth);
bool SizeRatioRefused(long long width, long long height);

// What the resize page shows after a size field changed.
struct TSizeState {
    bool Thumbnail = false;  // the fields hold "240" and "180"
    bool OkEnabled = false;  // whole numbers >= 1 within the pixel cap, differing from the image
    std::string Help;        // "Valid as Thumbnail only", "Invalid as texture size" or empty
};
TSizeState SizeChange(std::string_view widthText, std::string_view heightText, int imageWidth, int imageHeight);
// A size field's text as a usable side, or 0.
int ParseImageSide(std::string_view text);

// The tolerance label and the swatches beside the key colour (ARGB; each channel clamped).
struct TToleranceView {
    std::string Label;
    std::uint32_t Minimum = 0, Maximum = 0;
};
TToleranceView ShowTolerance(std::uint32_t keyColour, int tolerance);
inline int ClampByte(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Images that can be merged into one of `width` x `height`: every picture below the asset folder
// ("*.texture;*.tga;*.bmp;*.jpg;*.gif;*.png;*.tif;*.psd;*.psp"), not a ".texture.txt" and not the
// shown file, whose size (`sizeOf`, false when it does not load) matches; sorted by relative path.
struct TMergeCandidate {
    std::string Relative;  // shown in the list, "/" separators
    std::string Path;
};
using TImageSizeOf = std::function<bool(const std::string& path, int& width, int& height)>;
std::vector<TMergeCandidate> ListMergeCandidates(std::string_view assetFolder, std::string_view shownFile, int width,
                                                 int height, const TImageSizeOf& sizeOf);
inline constexpr std::string_view kNoMergeFiles = "No suitable files";

}  // namespace kelvarn
