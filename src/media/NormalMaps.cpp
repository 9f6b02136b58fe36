#include "media/NormalMaps.h"

#include "shell/Text.h"

namespace kelvarn {

bool BumpMapSupport(std::string_view extensionText) {
    return ContainsStr(extensionText, "GL_ARB_multitexture") && ContainsStr(extensionText, "GL_EXT_texture_cube_map") &&
           ContainsStr(extensionText, "GL_ARB_texture_env_combine") &&
           ContainsStr(extensionText, "GL_ARB_texture_env_dot3");
}

std::array<std::uint8_t, 3> PackNormal(const TVector3& unit) {
    std::array<std::uint8_t, 3> out{};
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<std::uint8_t>(255.0f * (unit[k] / 2 + 0.5f));
    return out;
}

std::array<std::vector<std::uint8_t>, 6> GenerateNormalisationCubeMap() {
    constexpr float kOffset = 0.5f;
    constexpr float kHalf = kCubeMapSize / 2.0f;
    std::array<std::vector<std::uint8_t>, 6> faces;
    for (int face = 0; face < 6; ++face) {
        std::vector<std::uint8_t>& buffer = faces[face];
        buffer.resize(kCubeFaceBytes);
        for (int j = 0; j < kCubeMapSize; ++j) {
            for (int i = 0; i < kCubeMapSize; ++i) {
                const float a = static_cast<float>(i) + kOffset - kHalf;
                const float b = static_cast<float>(j) + kOffset - kHalf;
                TVector3 v{};
                switch (face) {
                    case 0: v = {kHalf, -b, -a}; break;
                    case 1: v = {-kHalf, -b, a}; break;
                    case 2: v = {a, kHalf, b}; break;
                    case 3: v = {a, -kHalf, -b}; break;
                    case 4: v = {a, -b, kHalf}; break;
                    default: v = {-a, -b, -kHalf}; break;
                }
                NormaliseVector(v);
                const auto packed = PackNormal(v);
                const std::size_t at = (static_cast<std::size_t>(j) * kCubeMapSize + static_cast<std::size_t>(i)) * 3;
                buffer[at] = packed[0];
                buffer[at + 1] = packed[1];
                buffer[at + 2] = packed[2];
            }
        }
    }
    return faces;
}

}  // namespace kelvarn
