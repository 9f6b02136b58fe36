#include <gtest/gtest.h>

#include <cmath>

#include "media/GlContext.h"
#include "media/NormalMaps.h"
#include "media/Vectors.h"

namespace kelvarn {
namespace {

TEST(CubeMap, TexelsNextToTheCentreOfEachFace) {
    const auto faces = GenerateNormalisationCubeMap();
    auto texel = [&](int face, int i, int j) {
        const auto& f = faces[static_cast<std::size_t>(face)];
        const std::size_t at = (static_cast<std::size_t>(j) * kCubeMapSize + static_cast<std::size_t>(i)) * 3;
        return std::array<int, 3>{f[at], f[at + 1], f[at + 2]};
    };
    for (const auto& f : faces)
        EXPECT_EQ(f.size(), 3072u);
    // i = j = 15: a = b = -0.5.
    EXPECT_EQ(texel(0, 15, 15), (std::array<int, 3>{254, 131, 131}));  // +X (16, 0.5, 0.5)
    EXPECT_EQ(texel(1, 15, 15), (std::array<int, 3>{0, 131, 123}));    // -X (-16, 0.5, -0.5)
    EXPECT_EQ(texel(2, 15, 15), (std::array<int, 3>{123, 254, 123}));  // +Y (-0.5, 16, -0.5)
    EXPECT_EQ(texel(3, 15, 15), (std::array<int, 3>{123, 0, 131}));    // -Y (-0.5, -16, 0.5)
    EXPECT_EQ(texel(4, 15, 15), (std::array<int, 3>{123, 131, 254}));  // +Z (-0.5, 0.5, 16)
    EXPECT_EQ(texel(5, 15, 15), (std::array<int, 3>{131, 131, 0}));    // -Z (0.5, 0.5, -16)
    // A corner texel leans towards the corner.
    EXPECT_EQ(texel(0, 0, 0), (std::array<int, 3>{202, 200, 200}));  // (16, 15.5, 15.5)
}

TEST(CubeMap, PackNormal) {
    EXPECT_EQ(PackNormal({1, 0, -1}), (std::array<std::uint8_t, 3>{255, 127, 0}));
    EXPECT_EQ(PackNormal({0.5f, -0.5f, 0}), (std::array<std::uint8_t, 3>{191, 63, 127}));
}

TEST(BumpFlag, NeedsMultitextureAndAllThreeExtensions) {
    const std::string all =
        "GL_ARB_multitexture GL_EXT_texture_cube_map GL_ARB_texture_env_combine GL_ARB_texture_env_dot3";
    EXPECT_TRUE(BumpMapSupport(all));
    EXPECT_TRUE(BumpMapSupport(
        "GL_ARB_texture_env_dot3 GL_ARB_texture_env_combine GL_EXT_texture_cube_map GL_ARB_multitexture"));
    for (const char* missing :
         {"GL_ARB_multitexture", "GL_EXT_texture_cube_map", "GL_ARB_texture_env_combine", "GL_ARB_texture_env_dot3"}) {
        std::string text = all;
        text.erase(text.find(missing), std::string(missing).size());
        EXPECT_FALSE(BumpMapSupport(text)) << "without " << missing;
    }
    EXPECT_FALSE(BumpMapSupport(""));
    EXPECT_FALSE(BumpMapSupport(
        "gl_arb_multitexture gl_ext_texture_cube_map gl_arb_texture_env_combine gl_arb_texture_env_dot3"));
}

TEST(Vectors, Arithmetic) {
    EXPECT_FLOAT_EQ(VectorLength({3, 4, 0}), 5);
    TVector3 v{0, 3, 4};
    EXPECT_FLOAT_EQ(NormaliseVector(v), 5);
    EXPECT_EQ(v, (TVector3{0, 0.6f, 0.8f}));
    TVector3 zero{0, 0, 0};
    EXPECT_EQ(NormaliseVector(zero), 0);
    EXPECT_EQ(zero, (TVector3{0, 0, 0}));
    EXPECT_EQ(SubtractVectors({1, 2, 3}, {3, 2, 1}), (TVector3{-2, 0, 2}));
    const TMatrix3 m = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(VectorTimesMatrix({1, 0, 0}, m), (TVector3{1, 2, 3}));  // the row vector picks rows
    EXPECT_EQ(VectorTimesMatrix({1, 1, 1}, m), (TVector3{12, 15, 18}));
    EXPECT_EQ(TransposeMatrix(m), (TMatrix3{1, 4, 7, 2, 5, 8, 3, 6, 9}));
    EXPECT_EQ(MatrixTimesMatrix(m, TransposeMatrix(m)), (TMatrix3{14, 32, 50, 32, 77, 122, 50, 122, 194}));
    EXPECT_EQ(MatrixTimesMatrix(kIdentityMatrix, m), m);
    // Turning by a then by b is turning by a * b.
    const TMatrix3 b = {0, 1, 0, -1, 0, 0, 0, 0, 2};
    EXPECT_EQ(VectorTimesMatrix(VectorTimesMatrix({1, 2, 3}, m), b), VectorTimesMatrix({1, 2, 3}, MatrixTimesMatrix(m, b)));
}

TEST(Vectors, QuaternionToMatrixIsTheTransposedFormula) {
    EXPECT_EQ(QuaternionToMatrix({0, 0, 0, 1}), kIdentityMatrix);
    const float s = std::sqrt(0.5f);
    const TMatrix3 z = QuaternionToMatrix({0, 0, s, s});
    const TMatrix3 expected = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(z[i], expected[i], 1e-6) << i;
    const TMatrix3 x = QuaternionToMatrix({1, 0, 0, 0});  // a half turn about x
    const TMatrix3 half = {1, 0, 0, 0, -1, 0, 0, 0, -1};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(x[i], half[i], 1e-6) << i;
}

TEST(GlState, ClearColourAndAspect) {
    const std::pair<TColor, std::array<float, 4>> colours[] = {
        {0, {0.5f, 0.5f, 0.55f, 0}},  // no colour: the default
        {0x0000FF, {1, 0, 0, 0}},     // pure red sits in the low byte
        {0xFF0000, {0, 0, 1, 0}},
        {0x808080, {128 / 255.0f, 128 / 255.0f, 128 / 255.0f, 0}},
    };
    for (const auto& [colour, clear] : colours)
        EXPECT_EQ(ClearColour(colour), clear) << colour;
    EXPECT_EQ(ViewAspect(240, 180), 240.0f / 180.0f);
    EXPECT_EQ(ViewAspect(100, 0), 1);
    EXPECT_EQ(ViewAspect(0, 100), 1);
    EXPECT_EQ(ViewAspect(-5, 100), 1);
}

}  // namespace
}  // namespace kelvarn
