// The fuzz seeds of the mesh readers are builder meshes and real ones; this keeps the committed corpus
// in step with the builder and the real asset folders (run with KELVARN_WRITE_MESH_SEEDS=1 to rewrite
// it). Also checks the shipped placeholder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "CorpusSupport.h"
#include "media/MeshTestSupport.h"
#include "shell/Mesh.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ByteWriter;
using test::kIdentity3;
using test::MeshFileBuilder;
using test::MeshGeometry;
using test::MeshMaterial;

using Seeds = std::map<std::string, std::string>;

Seeds ChunkSeeds() {
    const MeshFileBuilder points = MeshFileBuilder().Info(102).Attachments(
        {{"a.front", kIdentity3, {1, 2, 3}}, {"a.turned", {0, -1, 0, 1, 0, 0, 0, 0, 1}, {-1, 0, 0.5f}}});
    const std::string flagged =
        ByteWriter().U32(0).U32(1).Name("a.flagged", 0x40000000u).Bytes(std::string(48, '\0')).Take();
    return {
        {"header-only.im", MeshFileBuilder().Bytes()},
        {"info-101.im", MeshFileBuilder().Info(101).Bytes()},
        {"points.im", points.Bytes()},
        {"points-length-short.im", points.Bytes(-1)},
        {"flagged-name.im", MeshFileBuilder().Chunk("ATCH", flagged).Bytes()},
        {"chunk-past-end.im", MeshFileBuilder().Raw(std::string("ATCH\x40\0\0\0abcd", 12)).Bytes()},
        {"sample.im", test::MakeSampleMesh()},
    };
}

Seeds ModelSeeds() {
    Seeds seeds = {{"sample.im", test::MakeSampleMesh()},
                   {"compressed.im", MeshFileBuilder().Info(102).Bytes(0, "CFIL")}};
    for (std::uint32_t version : {100u, 101u, 102u, 200u, 201u}) {
        MeshGeometry g = test::GridGeometry(2, 1, 0, version);
        g.BoneName = "b.bone";
        g.Triangles.push_back({0, 1, 99});  // a corner past the vertices
        MeshMaterial m;
        m.Name = "m.tbumpgloss";
        m.Opacity = 0.25f;
        m.Textures = {{1, "C:\\work\\Body.TGA", 1}, {8, "bump.texture", 1}};
        seeds["geom-" + std::to_string(version) + ".im"] =
            MeshFileBuilder().Info(102).Object(version, m, g).MaterialOnly(7, {}).Object(8, {}, g).Bytes(+100);
    }
    test::MeshBone chain;
    test::MeshBone* at = &chain;
    for (int i = 0; i < 20; ++i) {
        at->Name = "b" + std::to_string(i);
        at->Position = {0, 0, 1};
        at->Rotation = {0, 0.6f, 0, 0.8f};
        at->Children.resize(1);
        at = &at->Children[0];
    }
    MeshGeometry boned = test::GridGeometry(1, 1, 0, 200);
    boned.BoneName = "b5";
    seeds["skeleton.im"] = MeshFileBuilder().Info(102).Object(0, {}, boned).Skeleton(chain).Bytes();
    return seeds;
}

// Real meshes start both targets, so that mutations explore the layout makers' tools write.
const std::pair<const char*, const char*> kRealSeeds[] = {
    {"real-arrow.im", "jos-scanner/arrow.im"},
    {"real-trig.im", "jos-scanner/trig.im"},
    {"real-basemap.im", "basemap-maker/Assets/basemap.im"},
    {"real-basemap-first.im", "basemap-maker/variants/basemapFirstVersion.im"},
};

TEST(MeshFuzzSeeds, RealMeshesSeedBothTargets) {
    KELVARN_NEED_CORPUS();
    const bool write = std::getenv("KELVARN_WRITE_MESH_SEEDS") != nullptr;
    for (const char* target : {"mesh_chunks", "mesh_model"})
        for (const auto& [seed, real] : kRealSeeds) {
            const std::string path = std::string(KELVARN_SOURCE_DIR) + "/fuzz/corpus/" + target + "/" + seed;
            const std::string bytes = test::ReadBytes(test::CorpusFile(real));
            ASSERT_FALSE(bytes.empty()) << real;
            if (write) test::WriteBytes(path, bytes);
            EXPECT_EQ(test::ReadBytes(path), bytes) << path << " differs from " << real;
        }
}

TEST(MeshFuzzSeeds, CorpusMatchesTheBuilder) {
    const bool write = std::getenv("KELVARN_WRITE_MESH_SEEDS") != nullptr;
    for (const auto& [target, seeds] :
         {std::pair{"mesh_chunks", ChunkSeeds()}, std::pair{"mesh_model", ModelSeeds()}}) {
        for (const auto& [name, bytes] : seeds) {
            const std::string path = std::string(KELVARN_SOURCE_DIR) + "/fuzz/corpus/" + target + "/" + name;
            if (write) test::WriteBytes(path, bytes);
            EXPECT_EQ(test::ReadBytes(path), bytes) << path << " differs from the builder's";
        }
    }
}

// The placeholder draws nothing: the chunk reader takes it, the model reader reads no geometry from it.
TEST(ShippedFiles, PlaceholderMeshHoldsNothingToDraw) {
    const std::string path = std::string(KELVARN_SOURCE_DIR) + "/resources/bin/invisible.im";
    TMesh mesh(path);
    ASSERT_EQ(mesh.SetActive(true), "");
    ASSERT_EQ(mesh.Count(), 1);
    EXPECT_EQ(mesh.GetChunk(0).GetTag(), "INFO");
    EXPECT_EQ(mesh.GetChunk(0).Data.substr(0, 4), std::string("\x65\0\0\0", 4));  // version 101
    T3DModel model;
    EXPECT_EQ(model.LoadFromFile(path).Error, "the mesh holds no geometry");
    EXPECT_EQ(model.ObjectCount(), 0);
    EXPECT_FALSE(model.Box().has_value());
}

}  // namespace
}  // namespace kelvarn
