// Damaged and hostile meshes: both readers must end cleanly with what they could read, and what the
// model holds must be safe to draw.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "media/MeshTestSupport.h"
#include "media/Model3D.h"
#include "shell/Mesh.h"
#include "support/MeshFileBuilder.h"

namespace kelvarn {
namespace {

using test::ByteWriter;
using test::kIdentity3;
using test::LoadModel;
using test::MeshBone;
using test::MeshFileBuilder;
using test::MeshGeometry;
using test::MeshMaterial;

// What the renderer relies on: per-vertex arrays of one length and triangles inside them.
void ExpectDrawable(const T3DModel& model) {
    for (const T3DObject& o : model.Objects()) {
        const std::size_t n = o.Positions.size();
        ASSERT_EQ(o.Normals.size(), n);
        ASSERT_EQ(o.TexCoords.size(), n);
        ASSERT_TRUE(o.Tangents.empty() || o.Tangents.size() == n);
        ASSERT_EQ(o.VertexCount, n);
        ASSERT_EQ(o.TriangleCount, o.Triangles.size());
        for (const TTriangle& t : o.Triangles)
            ASSERT_TRUE(t[0] < n && t[1] < n && t[2] < n);
    }
}

void ReadBoth(const std::string& bytes) {
    TMesh mesh("hostile.im");
    const std::string error = mesh.LoadBytes(bytes);
    if (error.empty()) {
        for (const TChunk& c : mesh.Chunks()) {
            if (c.GetTag() != "ATCH") continue;
            const TATCH atch(c.Data);
            for (const TATCHE& e : atch.Entries())
                (void)AttachmentCoords(e);
        }
    } else {
        ASSERT_EQ(error, "MESH001F file hostile.im is not a valid mesh");
        ASSERT_FALSE(mesh.Active());
    }
    test::RecordingTextureSource source;
    auto model = LoadModel(bytes, &source);
    ExpectDrawable(*model);
}

TEST(HostileMesh, EveryPrefix) {
    const std::string full = test::MakeSampleMesh();
    for (std::size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        ReadBoth(full.substr(0, n));
        if (HasFatalFailure()) return;
    }
}

TEST(HostileMesh, SeededByteFlips) {
    const std::string full = test::MakeSampleMesh();
    std::mt19937 rng(2011);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = full;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < flips; ++k)
            bytes[rng() % bytes.size()] ^= static_cast<char>(1 + rng() % 255);
        SCOPED_TRACE(round);
        ReadBoth(bytes);
        if (HasFatalFailure()) return;
    }
}

TEST(HostileMesh, HugeCountsEndTheWalkWithoutAllocating) {
    MeshGeometry tooMany = test::GridGeometry(1, 1);
    tooMany.VertexCount = 0xFFFFFFFFu;
    MeshGeometry tooManyTriangles = test::GridGeometry(1, 1);
    tooManyTriangles.TriangleCount = 0x7FFFFFFFu;
    MeshMaterial manyTextures;
    manyTextures.TextureCount = 0xFFFFFFFFu;
    MeshBone manyChildren;
    manyChildren.Name = "b";
    manyChildren.ChildCount = 0xFFFFFFFFu;
    const std::string manyInfluences = ByteWriter().U32(0).U32(0xFFFFFFFFu).Take();
    // One influence bone ("b", no parent, at the origin, any matrix) up to its group count.
    const std::string boneHead = ByteWriter().U32(0).U32(1).Name("b").Name("").U32(0).U32(0).U32(0).Take() +
                                 std::string(36, '\0');
    const std::string manyGroups = boneHead + ByteWriter().U32(0xFFFFFFFFu).Take();
    const std::string manyEntries = boneHead + ByteWriter().U32(1).U32(0).U32(0xFFFFFFFFu).Take();
    const std::string hugeName = ByteWriter().U32(0).U32(1).U32(0xBFFFFFFFu).Bytes(std::string(60, 'x')).Take();
    struct Case {
        const char* what;
        std::string bytes;
        int objects;
    };
    const Case cases[] = {
        {"vertex count", MeshFileBuilder().Info(102).Object(0, {}, tooMany).Bytes(), 0},
        {"triangle count", MeshFileBuilder().Info(102).Object(0, {}, tooManyTriangles).Bytes(), 1},
        {"texture count", MeshFileBuilder().Info(102).Object(0, manyTextures, test::GridGeometry(1, 1)).Bytes(), 0},
        {"bone children",
         MeshFileBuilder().Info(102).Object(0, {}, test::GridGeometry(1, 1)).Skeleton(manyChildren).Bytes(), 1},
        {"influence bones",
         MeshFileBuilder().Info(102).Object(0, {}, test::GridGeometry(1, 1)).Chunk("INFL", manyInfluences).Bytes(), 1},
        {"influence groups",
         MeshFileBuilder().Info(102).Object(0, {}, test::GridGeometry(1, 1)).Chunk("INFL", manyGroups).Bytes(), 1},
        {"influence entries",
         MeshFileBuilder().Info(102).Object(0, {}, test::GridGeometry(1, 1)).Chunk("INFL", manyEntries).Bytes(), 1},
        {"points", MeshFileBuilder().Info(102).Attachments({{"a", kIdentity3, {0, 0, 0}}}, 0xFFFFFFFFu).Bytes(), 0},
        {"name length", MeshFileBuilder().Info(102).Chunk("ATCH", hugeName).Bytes(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = std::chrono::steady_clock::now();
        TModelLoadResult r;
        auto model = LoadModel(c.bytes, nullptr, &r);
        // Nothing drawable read: the load fails.
        EXPECT_EQ(r.Ok, c.objects > 0);
        EXPECT_EQ(model->ObjectCount(), c.objects);
        ExpectDrawable(*model);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ReadBoth(c.bytes);
    }
}

TEST(HostileMesh, ManyBonesOfOneNameStayCheap) {
    // 40,000 sibling records of one name over an object of 10,000 vertices.
    MeshGeometry g = test::GridGeometry(99, 100, 0, 200);
    g.BoneName = "b";
    ByteWriter skel;
    const float position[3] = {0, 0, 0.5f}, rotation[4] = {0, 0, 0, 1};
    skel.U32(0).Bytes("BONE").U32(0).U32(0).Name("b").Floats(position, 3).Floats(rotation, 4).U32(40000);
    for (int i = 0; i < 40000; ++i)
        skel.Bytes("BONE").U32(0).U32(0).Name("b").Floats(position, 3).Floats(rotation, 4).U32(0);
    const auto start = std::chrono::steady_clock::now();
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, {}, g).Chunk("SKEL", skel.Str()).Bytes());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(model->Objects()[0].Positions[0], (TVector3{0, 0, 40000.5f}));  // each child sits 0.5 above the root
}

TEST(HostileMesh, DeepSkeletonStopsAt256Levels) {
    MeshGeometry shallow = test::GridGeometry(1, 1, 0, 200), deep = test::GridGeometry(1, 1, 0, 200);
    shallow.BoneName = "b200";
    deep.BoneName = "b300";
    // 10,000 nested records, each one level below the one before and one unit higher.
    ByteWriter skel;
    skel.U32(0);
    const int levels = 10000;
    for (int i = 0; i < levels; ++i) {
        const float position[3] = {0, 0, 1}, rotation[4] = {0, 0, 0, 1};
        skel.Bytes("BONE").U32(0).U32(0).Name("b" + std::to_string(i)).Floats(position, 3).Floats(rotation, 4);
        skel.U32(i + 1 < levels ? 1 : 0);
    }
    TModelLoadResult r;
    auto model = LoadModel(MeshFileBuilder()
                               .Info(102)
                               .Object(0, {}, shallow)
                               .Object(1, {}, deep)
                               .Chunk("SKEL", skel.Str())
                               .Attachments({{"a.after", kIdentity3, {0, 0, 0}}})
                               .Bytes(),
                           nullptr, &r);
    EXPECT_TRUE(r.Ok);
    ASSERT_EQ(model->ObjectCount(), 2);
    EXPECT_EQ(model->Objects()[0].Positions[0][2], 201);  // the bones above it added one unit each
    EXPECT_EQ(model->Objects()[1].Positions[0][2], 0);    // below the limit nothing is read
    EXPECT_TRUE(model->Attachments().empty());            // and the walk ends there
}

}  // namespace
}  // namespace kelvarn
