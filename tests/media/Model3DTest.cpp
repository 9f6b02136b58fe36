#include <gtest/gtest.h>

#include <cmath>

#include "media/MeshTestSupport.h"
#include "media/Model3D.h"
#include "shell/Mesh.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::kIdentity3;
using test::LoadModel;
using test::MeshBone;
using test::MeshFileBuilder;
using test::MeshGeometry;
using test::MeshInfluence;
using test::MeshInfluenceBone;
using test::MeshMaterial;
using test::MeshVertex;
using test::RecordingTextureSource;

void ExpectVector(const TVector3& v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v[0], x, tolerance);
    EXPECT_NEAR(v[1], y, tolerance);
    EXPECT_NEAR(v[2], z, tolerance);
}

MeshGeometry Triangle(std::uint32_t version = 102) {
    MeshGeometry g;
    g.Version = version;
    g.Vertices = {{0, 0, 0, 0, 0.25f}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}};
    g.Triangles = {{0, 1, 2}};
    return g;
}

// --- the container and the walk ---

TEST(ModelLoad, RefusalsAndTheCompressedMessage) {
    const MeshFileBuilder body = MeshFileBuilder().Info(102).Object(0, {}, Triangle());
    struct Case {
        const char* what;
        std::string bytes;
        bool ok;
        std::size_t messages;
    };
    const Case cases[] = {
        {"valid", body.Bytes(), true, 0},
        {"compressed", body.Bytes(0, "CFIL"), false, 1},
        {"other root tag", body.Bytes(0, "RIFF"), false, 0},
        {"other form", body.Bytes(0, "JIRF", "MMTF"), false, 0},
        {"no form", body.Bytes().substr(0, 10), false, 0},
        {"half a header", "JIRF", false, 0},
        {"length one short (lenient)", body.Bytes(-1), true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TModelLoadResult r;
        LoadModel(c.bytes, nullptr, &r);
        EXPECT_EQ(r.Ok, c.ok);
        ASSERT_EQ(r.Messages.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(r.Messages[0], (TMessageBoxText{"Cannot decode compressed content", "Info"}));
        }
    }
    T3DModel model;
    EXPECT_FALSE(model.LoadFromFile("/no/such/mesh.im").Ok);
}

// An INFO version below 102 ends the walk: such a file reads no geometry, and that fails the load.
TEST(ModelLoad, InfoVersionBelow102EndsTheWalk) {
    for (std::uint32_t version : {100u, 101u, 102u, 103u, 104u, 105u}) {
        SCOPED_TRACE(version);
        TModelLoadResult r;
        auto model = LoadModel(MeshFileBuilder().Info(version).Object(0, {}, Triangle()).Bytes(), nullptr, &r);
        EXPECT_EQ(r.Ok, version >= 102);
        EXPECT_EQ(r.Error, version >= 102 ? "" : "the mesh holds no geometry");
        EXPECT_EQ(model->ObjectCount(), version >= 102 ? 1 : 0);
    }
}

// A load that reads no vertex is a failure, whatever else it read; the model keeps nothing of it.
TEST(ModelLoad, NothingToDrawFailsTheLoad) {
    const std::string cases[] = {
        MeshFileBuilder().Bytes(),
        MeshFileBuilder().Info(104).Bytes(),
        MeshFileBuilder().Info(104).MaterialOnly(0, {}).Attachments({{"a.one", kIdentity3, {1, 2, 3}}}).Bytes(),
        MeshFileBuilder().Info(104).Object(0, {}, MeshGeometry{}).Bytes(),
    };
    for (const std::string& bytes : cases) {
        TModelLoadResult r;
        auto model = LoadModel(bytes, nullptr, &r);
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Error, "the mesh holds no geometry");
        EXPECT_EQ(model->ObjectCount(), 0);
        EXPECT_TRUE(model->Attachments().empty());
        EXPECT_FALSE(model->Box().has_value());
    }
}

// Chunk versions whose layout the reader does not know are refused by name, never read as garbage;
// a chunk whose fields run past its own size is refused too.
TEST(ModelLoad, UnknownVersionsAndOverrunChunksFailByName) {
    auto load = [](const std::string& bytes) {
        TModelLoadResult r;
        auto model = LoadModel(bytes, nullptr, &r);
        EXPECT_EQ(model->ObjectCount(), 0);
        EXPECT_FALSE(r.Ok);
        return r.Error;
    };
    for (std::uint32_t version : {0u, 102u, 104u, 0x67000000u}) {
        MeshMaterial m;
        m.Version = version;
        EXPECT_EQ(load(MeshFileBuilder().Info(104).Object(0, m, Triangle()).Bytes()),
                  "MATL chunk version " + std::to_string(version) + " is not supported");
    }
    for (std::uint32_t version : {0u, 99u, 103u, 199u, 202u, 300u}) {
        MeshGeometry g = Triangle();
        g.Version = version;
        // A good object first: a later refusal still fails the whole load.
        EXPECT_EQ(load(MeshFileBuilder().Info(104).Object(0, {}, Triangle()).Object(1, {}, g).Bytes()),
                  "GEOM chunk version " + std::to_string(version) + " is not supported");
    }
    // The geometry chunk's size one word short of its fields.
    std::string geom = MeshFileBuilder::GeometryChunk(Triangle());
    const std::uint32_t shortSize = static_cast<std::uint32_t>(geom.size() - 8 - 4);
    geom.replace(4, 4, test::ByteWriter().U32(shortSize).Str());
    EXPECT_EQ(load(MeshFileBuilder().Info(104).MaterialOnly(0, {}, geom).Bytes()),
              "GEOM chunk version 102 holds less than its geometry needs");
    // A material chunk too small for its material.
    std::string matl = test::ByteWriter().Chunk("MATL", MeshFileBuilder::MaterialBody({})).Take();
    matl.replace(4, 4, test::ByteWriter().U32(static_cast<std::uint32_t>(matl.size() - 8 - 4)).Str());
    const std::string chnk = test::ByteWriter().U32(100).U32(0).Bytes(matl).Bytes(MeshFileBuilder::GeometryChunk(Triangle())).Take();
    EXPECT_EQ(load(MeshFileBuilder().Info(104).Chunk("CHNK", chnk).Bytes()), "MATL chunk holds less than its material needs");
}

// Data a geometry chunk holds after the fields this reader knows is passed over.
TEST(ModelLoad, GeometryChunkLongerThanItsFieldsIsPassedOver) {
    std::string geom = MeshFileBuilder::GeometryChunk(Triangle());
    const std::uint32_t longer = static_cast<std::uint32_t>(geom.size() - 8 + 12);
    geom.replace(4, 4, test::ByteWriter().U32(longer).Str());
    geom += std::string(12, '\x7F');
    TModelLoadResult r;
    auto model = LoadModel(
        MeshFileBuilder().Info(104).MaterialOnly(0, {}, geom).Attachments({{"a.after", kIdentity3, {0, 0, 1}}}).Bytes(),
        nullptr, &r);
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(model->Objects()[0].Positions.size(), 3u);
    ASSERT_EQ(model->Attachments().size(), 1u);
}

TEST(ModelLoad, SkipsKnownChunksAndEndsAtUnknownOnes) {
    auto model = LoadModel(MeshFileBuilder()
                               .Info(102)
                               .Chunk("PMIN", "12345")
                               .Chunk("NINF", "")
                               .Chunk("BONE", "xyz")
                               .Object(3, {}, Triangle())
                               .Chunk("WXYZ", "")
                               .Object(4, {}, Triangle())
                               .Bytes());
    ASSERT_EQ(model->ObjectCount(), 1);
    EXPECT_EQ(model->Objects()[0].Name, "obj3");
    EXPECT_EQ(model->Objects()[0].PickIndex, 1);
}

TEST(ModelLoad, AMaterialWithoutGeometryLeavesTheNextChunkToTheWalk) {
    auto model = LoadModel(MeshFileBuilder()
                               .Info(102)
                               .MaterialOnly(1, {})
                               .Attachments({{"a.one", kIdentity3, {1, 2, 3}}})
                               .Object(2, {}, Triangle())
                               .Bytes());
    ASSERT_EQ(model->ObjectCount(), 2);
    EXPECT_EQ(model->Objects()[0].Name, "obj1");
    EXPECT_EQ(model->Objects()[0].VertexCount, 0u);
    EXPECT_EQ(model->Objects()[1].Name, "obj2");
    EXPECT_EQ(model->Objects()[1].PickIndex, 2);
    ASSERT_EQ(model->Attachments().size(), 1u);
    EXPECT_EQ(model->Attachments()[0].Name, "a.one");
}

TEST(ModelLoad, RootLengthPastTheFileEndsAtTheFile) {
    TModelLoadResult r;
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, {}, Triangle()).Bytes(1000), nullptr, &r);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(model->ObjectCount(), 1);
    // A root length that stops short ends the walk there.
    const std::string bytes = MeshFileBuilder().Info(102).Object(0, {}, Triangle()).Bytes();
    auto cut = LoadModel(MeshFileBuilder()
                             .Info(102)
                             .Object(0, {}, Triangle())
                             .Bytes(-static_cast<std::int64_t>(bytes.size() - 12 - 44)));
    EXPECT_EQ(cut->ObjectCount(), 0);
}

// --- geometry ---

TEST(ModelGeometry, EveryLayoutReadsBackExactly) {
    struct Case {
        std::uint32_t version, tangentFlag;
        bool headerFields, boneName, tangents;
    };
    const Case cases[] = {
        {100, 0, false, false, false}, {101, 0, true, false, false}, {102, 0, true, false, false},
        {200, 0, true, true, false},   {201, 0, true, true, false},  {201, 1, true, true, true},
        {201, 2, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " tangent flag " << c.tangentFlag);
        MeshGeometry g;
        g.Version = c.version;
        g.TangentFlag = c.tangentFlag;
        g.BoneName = "b.arm";
        g.HeaderField1 = 7;
        g.HeaderField2 = 9;
        g.Vertices = {{1, 2, 3, 0.5f, 0.25f}, {-4, 5, -6, 0, 1}, {7.5f, 8, 9, 1, 0}};
        g.Triangles = {{0, 1, 2}, {2, 1, 0}};
        g.Normals = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
        g.Tangents = {{1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
        // A chunk after the object shows that the reader ends exactly where the geometry ends.
        auto model = LoadModel(
            MeshFileBuilder().Info(102).Object(5, {}, g).Attachments({{"a.after", kIdentity3, {0, 0, 1}}}).Bytes());
        ASSERT_EQ(model->ObjectCount(), 1);
        const T3DObject& o = model->Objects()[0];
        EXPECT_EQ(o.VertexCount, 3u);
        EXPECT_EQ(o.TriangleCount, 2u);
        EXPECT_EQ(o.HeaderField1, c.headerFields ? 7u : 0u);
        EXPECT_EQ(o.HeaderField2, c.headerFields ? 9u : 0u);
        EXPECT_EQ(o.BoneName, c.boneName ? "b.arm" : "");
        EXPECT_EQ(o.Positions, (std::vector<TVector3>{{1, 2, 3}, {-4, 5, -6}, {7.5f, 8, 9}}));
        EXPECT_EQ(o.TexCoords, (std::vector<TTexCoord>{{0.5f, 0.75f}, {0, 0}, {1, 1}}));  // v is turned
        EXPECT_EQ(o.Normals, g.Normals);
        EXPECT_EQ(o.Tangents, c.tangents ? g.Tangents : std::vector<TVector3>{});
        EXPECT_EQ(o.Triangles, (std::vector<TTriangle>{{0, 1, 2}, {2, 1, 0}}));
        ASSERT_EQ(model->Attachments().size(), 1u);
        EXPECT_EQ(model->Attachments()[0].Name, "a.after");
    }
}

TEST(ModelGeometry, TrianglesNamingMissingVerticesAreDropped) {
    MeshGeometry g = Triangle();
    g.Triangles = {{0, 1, 2}, {0, 1, 3}, {65535, 0, 1}, {2, 2, 2}};
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, {}, g).Bytes());
    EXPECT_EQ(model->Objects()[0].Triangles, (std::vector<TTriangle>{{0, 1, 2}, {2, 2, 2}}));
    EXPECT_EQ(model->Objects()[0].TriangleCount, 2u);
}

TEST(ModelGeometry, BoxSpansEveryVertexAndSkipsAnEmptyFirstObject) {
    MeshGeometry a = Triangle(), b = Triangle();
    for (auto& v : a.Vertices)
        v.X += 5, v.Y += 5, v.Z += 5;
    for (auto& v : b.Vertices)
        v.X -= 2, v.Z += 10;
    auto model = LoadModel(MeshFileBuilder().Info(102).MaterialOnly(0, {}).Object(1, {}, a).Object(2, {}, b).Bytes());
    ASSERT_EQ(model->ObjectCount(), 3);
    ASSERT_TRUE(model->Box().has_value());
    ExpectVector(model->Box()->Min, -2, 0, 5);
    ExpectVector(model->Box()->Max, 6, 6, 10);

    auto empty = LoadModel(MeshFileBuilder().Info(102).MaterialOnly(0, {}).Bytes());
    EXPECT_EQ(empty->ObjectCount(), 0);
    EXPECT_FALSE(empty->Box().has_value());
}

// --- materials ---

TEST(ModelMaterial, KindFromTheNameLaterMatchesWinning) {
    const std::pair<const char*, int> cases[] = {
        {"plain", 0},
        {"body m.notex", 1},
        {"m.onetex", 2},
        {"x m.reflect", 3},
        {"m.gloss", 4},
        {"m.tbumptex", 5},
        {"m.tbumpgloss", 6},
        {"m.tbumpenv", 7},
        {"m.onetex m.reflect", 3},
        {"m.reflect m.onetex", 3},
        {"m.gloss m.notex", 4},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(MaterialKind(name), kind) << name;
}

TEST(ModelMaterial, BodyFieldsTexturesAndTheSharedMaterialOfAName) {
    MeshMaterial first;
    first.Name = "Body M.OneTex";  // names are kept in lower case
    first.Sides = 1;
    first.Opacity = 1;
    first.Ambient = {0.1f, 0.2f, 0.3f};
    first.Diffuse = {0.4f, 0.5f, 0.6f};
    first.Specular = {0.7f, 0.8f, 0.9f};
    first.Emission = {0.5f, 0.5f, 0.5f};
    first.Shininess = 12;
    first.Textures = {{3, "c:\\work\\unused.tga", 0.5f}, {1, "C:\\Work\\Body.TGA", 0.75f}, {9, "env.tga", 0.4f}};
    MeshMaterial second = first;
    second.Textures = {{1, "other.tga", 1}};

    RecordingTextureSource source;
    auto model = LoadModel(
        MeshFileBuilder().Info(102).Object(0, first, Triangle()).Object(1, second, Triangle()).Bytes(), &source);
    ASSERT_EQ(model->ObjectCount(), 2);
    EXPECT_EQ(model->MaterialCount(), 0);  // the list lives only during the load
    for (const T3DObject& o : model->Objects()) {
        SCOPED_TRACE(o.Name);
        // Both objects draw with the first material of the name.
        const TMaterial& m = o.Material;
        EXPECT_EQ(m.Name, "body m.onetex");
        EXPECT_EQ(m.Sides, 1u);
        EXPECT_EQ(m.Ambient, (TRGBA{0.1f, 0.2f, 0.3f, 1}));
        EXPECT_EQ(m.Diffuse, (TRGBA{0.4f, 0.5f, 0.6f, 1}));
        EXPECT_EQ(m.Specular, (TRGBA{0.7f, 0.8f, 0.9f, 1}));
        EXPECT_EQ(m.Emission, (TRGBA{0, 0, 0, 0}));  // not copied
        EXPECT_EQ(m.Shininess, 12);
        EXPECT_EQ(m.ReflectionAmount, 0.4f);
        EXPECT_EQ(m.DiffuseFileName, "body.tga");
        EXPECT_EQ(m.ReflectionFileName, "env.tga");
        EXPECT_TRUE(m.DiffuseLoaded());
        EXPECT_TRUE(m.ReflectionLoaded());
    }
    // Entries of other slots are read and dropped; every used entry was planned.
    ASSERT_EQ(source.plans.size(), 3u);
    EXPECT_EQ(source.plans[0].FileName, "body.tga");
    EXPECT_EQ(source.plans[1].FileName, "env.tga");
    EXPECT_EQ(source.plans[2].FileName, "other.tga");
    EXPECT_TRUE(model->HasTexturedMaterial());
    EXPECT_FALSE(model->BumpTexturePresent());

    std::vector<std::string> textures;
    model->ListTextures(textures);
    EXPECT_EQ(textures, (std::vector<std::string>{"body.tga", "body.tga"}));
}

TEST(ModelMaterial, AlphaFlagIsThisMaterialsLastLoadedTexture) {
    struct Case {
        const char* name;
        std::vector<std::string> textures;  // diffuse entries in order
        bool alpha;
    };
    const Case cases[] = {
        {"m1 m.onetex", {"alpha.tga"}, true},
        {"m2 m.onetex", {"missing.tga"}, false},  // nothing loaded: not the previous material's flag
        {"m3 m.onetex", {"alpha.tga", "plain.tga"}, false},
        {"m4 m.onetex", {"plain.tga", "alpha.tga"}, true},
        {"m5 m.onetex", {"alpha.tga", "missing.tga"}, true},
        {"m6 m.onetex", {}, false},
    };
    MeshFileBuilder b;
    b.Info(102);
    std::uint32_t index = 0;
    for (const Case& c : cases) {
        MeshMaterial m;
        m.Name = c.name;
        for (const auto& t : c.textures)
            m.Textures.push_back({1, t, 1});
        b.Object(index++, m, Triangle());
    }
    RecordingTextureSource source;
    source.withAlpha = {"alpha.tga"};
    source.failing = {"missing.tga"};
    TModelLoadResult r;
    auto model = LoadModel(b.Bytes(), &source, &r);
    ASSERT_EQ(model->ObjectCount(), 6);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(model->Objects()[i].Material.AlphaFlag, cases[i].alpha);
        EXPECT_EQ(model->Objects()[i].AlphaFlag, cases[i].alpha);
    }
    // The texture source's messages come back in load order.
    EXPECT_EQ(r.Messages, (TMessageList{{"cannot load missing.tga", "Info"}, {"cannot load missing.tga", "Info"}}));
}

TEST(ModelMaterial, ALaterEntryOfASlotReplacesTheEarlierOne) {
    MeshMaterial m;
    m.Textures = {{1, "first.tga", 1}, {1, "missing.tga", 1}};
    RecordingTextureSource source;
    source.failing = {"missing.tga"};
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, m, Triangle()).Bytes(), &source);
    const TMaterial& material = model->Objects()[0].Material;
    EXPECT_EQ(material.DiffuseFileName, "missing.tga");
    EXPECT_FALSE(material.DiffuseLoaded());  // not the first entry's texture under the second's name
    EXPECT_FALSE(model->HasTexturedMaterial());
}

TEST(ModelMaterial, BumpTexturesOnlyForBumpKindsAndTheirFlag) {
    for (const auto& [name, planned] :
         {std::pair{"m.onetex", false}, std::pair{"m.tbumptex", true}, std::pair{"m.tbumpenv", true}}) {
        SCOPED_TRACE(name);
        MeshMaterial m;
        m.Name = name;
        m.Textures = {{8, "Bump.TGA", 1}};
        RecordingTextureSource source;
        auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, m, Triangle()).Bytes(), &source);
        EXPECT_EQ(model->Objects()[0].Material.BumpFileName, "bump.tga");  // kept either way
        EXPECT_EQ(model->Objects()[0].Material.BumpLoaded(), planned);
        EXPECT_EQ(model->BumpTexturePresent(), planned);
        EXPECT_FALSE(model->HasTexturedMaterial());
        EXPECT_EQ(source.plans.size(), planned ? 1u : 0u);
    }
}

TEST(ModelMaterial, WithoutATextureSourceNothingLoads) {
    MeshMaterial m;
    m.Textures = {{1, "body.tga", 1}};
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, m, Triangle()).Bytes());
    EXPECT_EQ(model->Objects()[0].Material.DiffuseFileName, "body.tga");
    EXPECT_FALSE(model->Objects()[0].Material.DiffuseLoaded());
    EXPECT_FALSE(model->HasTexturedMaterial());
}

TEST(ModelMaterial, NameLengthWithTheHighFlag) {
    MeshMaterial m;
    m.Name = "skin m.onetex";
    std::string body = MeshFileBuilder::MaterialBody(m);
    body[4 + 3] = 0x40;  // after the version: length 16 (the name padded to whole words) + 0x40000000
    const std::string matl = test::ByteWriter().Chunk("MATL", body + MeshFileBuilder::GeometryChunk(Triangle())).Take();
    const std::string chnk = test::ByteWriter().U32(0).U32(0).Bytes(matl).Take();
    auto model = LoadModel(MeshFileBuilder().Info(102).Chunk("CHNK", chnk).Bytes());
    ASSERT_EQ(model->ObjectCount(), 1);
    EXPECT_EQ(model->Objects()[0].Material.Name, "skin m.onetex");
    EXPECT_EQ(model->Objects()[0].VertexCount, 3u);
}

// --- bones ---

TEST(ModelBones, SkeletonMovesTheVerticesOfMatchingBones) {
    const float s = std::sqrt(0.5f);
    MeshGeometry root = Triangle(200), child = Triangle(200), other = Triangle(200);
    root.BoneName = "b.root";
    child.BoneName = "b.child";
    other.BoneName = "b.none";
    MeshBone skeleton;
    skeleton.Name = "b.root";
    skeleton.Position = {0, 0, 5};
    skeleton.Rotation = {0, 0, s, s};  // a quarter turn about z
    MeshBone c;
    c.Name = "b.child";
    c.Position = {1, 0, 0};
    skeleton.Children = {c};
    auto model = LoadModel(MeshFileBuilder()
                               .Info(102)
                               .Object(0, {}, root)
                               .Object(1, {}, child)
                               .Object(2, {}, other)
                               .Skeleton(skeleton)
                               .Bytes());
    ASSERT_EQ(model->ObjectCount(), 3);
    // Root: each vertex turned by the bone's rotation, then moved to the bone: (1,0,0) -> (0,-1,5).
    ExpectVector(model->Objects()[0].Positions[1], 0, -1, 5);
    ExpectVector(model->Objects()[0].Positions[2], 1, 0, 5);
    // Child: its offset is turned by its parent's rotation and added to the parent's place.
    ExpectVector(model->Objects()[1].Positions[0], 0, -1, 5);
    ExpectVector(model->Objects()[1].Positions[1], 1, -1, 5);
    EXPECT_EQ(model->Objects()[2].Positions, (std::vector<TVector3>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
}

TEST(ModelBones, BonesOfOneNameMoveTheVerticesOneAfterTheOther) {
    const float s = std::sqrt(0.5f);
    MeshGeometry g = Triangle(200);
    g.BoneName = "b.twice";
    MeshBone first;
    first.Name = "b.twice";
    first.Position = {0, 0, 5};
    first.Rotation = {0, 0, s, s};
    MeshBone second;
    second.Name = "b.twice";
    second.Position = {1, 0, 0};
    first.Children = {second};
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, {}, g).Skeleton(first).Bytes());
    // (1,0,0): turned and moved by the first to (0,-1,5), then moved by the second's place (0,-1,5).
    ExpectVector(model->Objects()[0].Positions[1], 0, -2, 10);
    ExpectVector(model->Objects()[0].Positions[0], 0, -1, 10);
}

TEST(ModelBones, ARecordWithAnotherTagIsSkipped) {
    MeshGeometry g = Triangle(200);
    g.BoneName = "b.x";
    MeshBone skeleton;
    skeleton.Tag = "BONX";
    skeleton.Name = "b.x";
    skeleton.Position = {9, 9, 9};
    auto model = LoadModel(MeshFileBuilder().Info(102).Object(0, {}, g).Skeleton(skeleton).Bytes());
    EXPECT_EQ(model->Objects()[0].Positions[0], (TVector3{0, 0, 0}));
}

// Makers' tools write each vertex's final position into the geometry; the influences only repeat it
// as bone position plus offset. Adding them again would double the mesh.
TEST(ModelBones, InfluencesLeaveTheGeometryAsItIs) {
    MeshGeometry g;
    g.Vertices = {{1, 0, 1, 0, 0}, {0, 2, 2, 0, 0}, {0.5f, 0.5f, 3, 0, 0}};
    g.Triangles = {{0, 1, 2}};
    const std::vector<MeshInfluenceBone> bones = {
        {"b.r.main", "", {0, 0, 0}, kIdentity3, {{{0, {1, 0, 1}}}}},
        {"b.r.arm", "b.r.main", {0, 2, 2}, kIdentity3, {{{1, {0, 0, 0}}, {2, {0.5f, -1.5f, 1}}}}},
    };
    TModelLoadResult r;
    auto model = LoadModel(MeshFileBuilder()
                               .Info(104)
                               .Object(0, {}, g)
                               .Influences(bones)
                               .Attachments({{"a.after", kIdentity3, {0, 0, 1}}})
                               .Bytes(),
                           nullptr, &r);
    ASSERT_TRUE(r.Ok) << r.Error;
    const auto& p = model->Objects()[0].Positions;
    EXPECT_EQ(p, (std::vector<TVector3>{{1, 0, 1}, {0, 2, 2}, {0.5f, 0.5f, 3}}));
    ExpectVector(model->Box()->Max, 1, 2, 3);
    // The walk goes on after the influences.
    ASSERT_EQ(model->Attachments().size(), 1u);
    EXPECT_EQ(model->Attachments()[0].Name, "a.after");
}

TEST(ModelBones, OffsetVertexIgnoresWhatDoesNotExist) {
    T3DModel model;
    model.OffsetVertex(0, 0, {1, 1, 1});  // no objects
    T3DObject& o = model.AddObject();
    o.Positions = {{0, 0, 0}};
    model.OffsetVertex(0, 1, {1, 1, 1});
    model.OffsetVertex(1, 0, {1, 1, 1});
    model.OffsetVertex(0, 0, {1, 2, 3});
    EXPECT_EQ(model.Objects()[0].Positions[0], (TVector3{1, 2, 3}));
}

// --- attachment points ---

TEST(ModelAttachments, PositionsAnglesAndNames) {
    const test::Mat3 yUp = {0, 0, 1, 0, 1, 0, -1, 0, 0};  // m[0][2] = 1: y = 90, x = 0
    auto model = LoadModel(MeshFileBuilder()
                               .Info(102)
                               .Object(0, {}, Triangle())
                               .Attachments({{"a.front", kIdentity3, {1, 2, 3}}, {"a.up", yUp, {0, 0, -1}}})
                               .Bytes());
    const auto& points = model->Attachments();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].Name, "a.front");
    EXPECT_EQ(points[0].X, 1);
    EXPECT_EQ(points[0].Z, 3);
    EXPECT_EQ(points[0].AngleX, 0);
    EXPECT_EQ(points[0].AngleY, 0);
    EXPECT_EQ(points[0].AngleZ, 0);
    EXPECT_EQ(points[1].AngleX, 0);
    EXPECT_NEAR(points[1].AngleY, 90, 1e-4);
    // The model reader and the chunk reader agree on every point.
    TMesh mesh("m.im");
    ASSERT_EQ(mesh.LoadBytes(MeshFileBuilder().Attachments({{"a.up", yUp, {0, 0, -1}}}).Bytes()), "");
    const TATCH atch(mesh.GetChunk(0).Data);
    const auto angles = AttachmentEulerAngles(atch.GetEntry(0).Matrix);
    EXPECT_EQ(points[1].AngleY, static_cast<float>(angles[1]));
}

}  // namespace
}  // namespace kelvarn
