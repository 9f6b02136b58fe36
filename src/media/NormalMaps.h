// Bump mapping: whether the GL in use can do it, the normalisation cube map it needs, and the normal
// maps the image viewer and the scripts make from a height image.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "media/Vectors.h"
#include "shell/Image32.h"

namespace kelvarn {

// The bump flag: the extension text names multitexturing and all three of cube maps, texture
// combiners and DOT3 combining.
bool BumpMapSupport(std::string_view extensionText);

// A unit vector's components as bytes: trunc(255 * (c / 2 + 0.5)).
std::array<std::uint8_t, 3> PackNormal(const TVector3& unit);

inline constexpr int kCubeMapSize = 32;
inline constexpr std::size_t kCubeFaceBytes = kCubeMapSize * kCubeMapSize * 3;

// The six faces in upload order +X, -X, +Y, -Y, +Z, -Z, each 32 x 32 RGB texels (row j, column i at
// byte (j * 32 + i) * 3) holding the packed direction from the cube's centre through the texel.
std::array<std::vector<std::uint8_t>, 6> GenerateNormalisationCubeMap();

// One component of a unit normal as a byte: round((v + 1) / 2 x 255). It rounds, unlike PackNormal.
std::uint8_t EncodeNormalByte(double v);

// The normal map of a height field. The height of a pixel is its first byte in memory (blue) / 255;
// neighbours wrap around the edges. Each result has x in red, y in green, z in blue and the source
// pixel's alpha: a flat field gives (128, 128, 255). The buffers hold width x height ARGB pixels,
// rows from the top, and must not overlap.
void GenerateNormalMap(int width, int height, const std::uint32_t* source, std::uint32_t* destination);

// Every pixel's red, green and blue become (R + G + B) div 3; alpha is kept; the image becomes 32-bit.
void MakeGreyscale(Image32& bitmap);
// The image becomes its normal map (32-bit, alpha kept).
void MakeNormalMap(Image32& bitmap);
// The viewer's command: greyscale, then the normal map.
void CreateNormalMap(Image32& bitmap);

}  // namespace kelvarn
