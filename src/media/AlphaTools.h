// The image viewer's alpha operations and the grey levels they share with the texture repairs and the
// image dialogs. All work on the program's image (ARGB, rows from the top). Alpha kinds here are the
// viewer's: 0 none, 1 masked (only 0 and 255), 2 blended.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/Image32.h"

namespace kelvarn {

inline constexpr int kBlendToMaskThreshold = 127;

// A pixel's grey level: (61 R + 174 G + 21 B) div 256. The one intensity rule of the program.
inline std::uint8_t Intensity(std::uint32_t argb) {
    return static_cast<std::uint8_t>((61u * ((argb >> 16) & 0xFFu) + 174u * ((argb >> 8) & 0xFFu) + 21u * (argb & 0xFFu)) >> 8);
}
inline std::uint32_t GreyPixel(std::uint8_t level) {
    return 0xFF000000u | (std::uint32_t{level} << 16) | (std::uint32_t{level} << 8) | level;
}

// The viewer's alpha kind of a freshly loaded picture: 0 when the loader reported no alpha, else the
// kind of its alpha values, at least 1 (an opaque 32-bit file stays 32-bit).
int ViewerAlphaKind(int libraryAlphaKind, const Image32& image);

// The alpha layer: an opaque grey picture of the image's alpha values.
Image32 AlphaAsGrey(const Image32& image);
// Every alpha becomes the intensity of the grey picture's pixel (same size); returns the new kind.
int AlphaFromGrey(Image32& image, const Image32& grey);

void InvertAlpha(Image32& image);
// Every alpha 255; the kind is then 0.
void RemoveAlpha(Image32& image);
// Alpha up to `threshold` becomes 0, above it 255; the kind is then 1.
void BlendToMask(Image32& image, int threshold = kBlendToMaskThreshold);
// Softens a mask's edges (BoxBlur of the alpha layer, radius 1, 3 passes); the picture is 32-bit and
// of kind 2 (blended) after it.
int MaskToBlend(Image32& image);
// Per pass a horizontal then a vertical running-sum box filter of width 2 x radius + 1 over all four
// channels, edges clamped to the border pixel, rounded: a uniform picture stays as it is.
void BoxBlur(Image32& image, int radius, int passes);

// Where an imported alpha comes from (the merge dialog's modes).
enum class TMergeMode { AlphaChannel, RgbIntensity, ImageDefault };
// The grey picture that becomes the alpha: the other image's alpha, its intensity, or ("Image
// Default") its alpha when it has one, else its intensity; inverted on request.
Image32 MergeGrey(const Image32& other, bool otherHasAlpha, TMergeMode mode, bool invert);

// The alpha-from-image mask: 0 (255 when inverted) for every pixel whose three colour channels each
// lie within the key colour's channel +- tolerance, else 255 (0 when inverted). Opaque grey pixels.
Image32 MakeToleranceMask(const Image32& image, bool invert, int tolerance, std::uint32_t keyColour);

// Makes a uniform picture non-uniform so that the simulator keeps it: a picture 1 pixel wide or high
// is first resampled to 8 x its width by 8 x its height; then pixel (0, 0) takes its old colour with
// the green byte raised by one (255 becomes 254). A picture to be saved as JPEG would lose so small a
// change: `survivesJpeg` moves the green of the top-left 8 x 8 block by 8 levels instead (of its
// left half in a picture at most 8 wide).
void MakePixelsNonUniform(Image32& image, bool survivesJpeg = false);

// The refusal of "Make Non Uniform": empty when the file may be changed, else the message (interactive
// use shows the alert and goes on to the alpha import).
inline constexpr std::string_view kAlphaTextureAlert =
    "File is referenced in an alpha texture, use ImportAlpha before processing";
std::string NonUniformRefusal(std::string_view assetFolder, std::string_view path, bool interactive);

}  // namespace kelvarn
