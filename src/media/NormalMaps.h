// Bump mapping: whether the GL in use can do it, and the normalisation cube map it needs.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "media/Vectors.h"

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

}  // namespace kelvarn
