// Real meshes, as makers' tools write them, through both mesh readers and the view: what a user sees
// of each (objects, vertices, materials, textures, size, points), and the test builder writing the
// same bytes as a real file.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>

#include "CorpusSupport.h"
#include "media/MeshTestSupport.h"
#include "media/MeshViewState.h"
#include "media/Model3D.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;
using test::CorpusFile;
using test::CorpusFolder;
using test::MeshFileBuilder;

struct RealMesh {
    const char* file;
    std::uint32_t vertices, triangles, tangents;
    const char* material;
    const char* texture;  // the diffuse texture's file-name part as the texture list shows it
    TVector3 min, max;
};

const RealMesh kRealMeshes[] = {
    {"basemap-maker/Assets/basemap.im", 4, 2, 0, "material.001.m.onetex", "basemap-basemap.texture",
     {-250, -250, 0.2f}, {250, 250, 0.2f}},
    {"basemap-maker/variants/basemap.2db1fc8.im", 4, 2, 0, "material.001.m.onetex", "basemap-basemap.texture",
     {-250, -250, 0.2f}, {250, 250, 0.2f}},
    {"basemap-maker/variants/basemapFirstVersion.im", 4, 2, 0, "material.001.m.onetex", "basemap-basemap.texture",
     {-250, -250, 0.2f}, {250, 250, 0.2f}},
    {"jos-scanner/arrow.im", 18, 12, 18, "arrow.m.onetex", "dm.texture", {-0.9401f, -3.4350f, 0.6659f},
     {0.9433f, -0.9840f, 0.6659f}},
    // Skinned: the geometry holds the final positions, which the influences only repeat.
    {"jos-scanner/trig.im", 293, 342, 0, "mmdd.m.onetex", "dm-dm.texture", {-0.3320f, -1.4558f, 0.3035f},
     {0.3486f, 1.3440f, 3.0570f}},
};

std::vector<std::string> CorpusMeshes() {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder())) {
        const std::string name = PathString(entry.path());
        if (entry.is_regular_file() && (EndsWithText(name, ".im") || EndsWithText(name, ".pm"))) found.push_back(name);
    }
    return found;
}

TEST(CorpusMeshes, EveryMeshLoadsInBothReaders) {
    KELVARN_NEED_CORPUS();
    const std::vector<std::string> meshes = CorpusMeshes();
    EXPECT_GE(meshes.size(), std::size(kRealMeshes));
    for (const std::string& path : meshes) {
        SCOPED_TRACE(path);
        TMesh mesh(path);
        EXPECT_EQ(mesh.SetActive(true), "");
        EXPECT_GT(mesh.Count(), 0);
        T3DModel model;
        const TModelLoadResult r = model.LoadFromFile(path);
        ASSERT_TRUE(r.Ok) << r.Error;
        EXPECT_GT(model.ObjectCount(), 0);
        ASSERT_TRUE(model.Box().has_value());
    }
}

TEST(CorpusMeshes, ObjectsMaterialsTexturesSizeAndPoints) {
    KELVARN_NEED_CORPUS();
    for (const RealMesh& real : kRealMeshes) {
        SCOPED_TRACE(real.file);
        const std::string path = CorpusFile(real.file);
        T3DModel model;
        const TModelLoadResult r = model.LoadFromFile(path);
        ASSERT_TRUE(r.Ok) << r.Error;
        ASSERT_EQ(model.ObjectCount(), 1);
        const T3DObject& o = model.Objects()[0];
        EXPECT_EQ(o.Name, "obj0");
        EXPECT_EQ(o.VertexCount, real.vertices);
        EXPECT_EQ(o.Positions.size(), real.vertices);
        EXPECT_EQ(o.TriangleCount, real.triangles);
        EXPECT_EQ(o.Tangents.size(), real.tangents);
        EXPECT_EQ(o.HeaderField1, 3 * real.triangles);  // the index count
        EXPECT_EQ(o.HeaderField2, real.triangles);
        EXPECT_EQ(o.Material.Name, real.material);
        std::vector<std::string> textures;
        model.ListTextures(textures);
        EXPECT_EQ(textures, std::vector<std::string>{real.texture});
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(model.Box()->Min[k], real.min[k], 1e-4f) << k;
            EXPECT_NEAR(model.Box()->Max[k], real.max[k], 1e-4f) << k;
        }
        EXPECT_TRUE(model.Attachments().empty());  // none of these meshes has points

        // The chunk reader: the selector's lists.
        TMesh mesh(path);
        ASSERT_EQ(mesh.SetActive(true), "");
        EXPECT_EQ(mesh.GetChunk(0).GetTag(), "INFO");
        EXPECT_EQ(mesh.GetChunk(1).GetTag(), "CHNK");
        EXPECT_EQ(MeshTextureNames(mesh), std::vector<std::string>{real.texture});
        EXPECT_TRUE(MeshAttachmentNames(mesh).empty());

        // The view: its extents are the mesh's true size.
        TMeshViewState view;
        TMessageList messages;
        EXPECT_EQ(view.ShowMesh(path, nullptr, messages), "");
        EXPECT_TRUE(view.Loaded);
        EXPECT_NEAR(view.MeshExtents.Size[2], real.max[2] - real.min[2], 1e-4f);
    }
}

// The arrow names "dm.texture", which is not there: its descriptor "dm.texture.txt" names the JPEG.
TEST(CorpusMeshes, TexturesAreFoundThroughTheirDescriptors) {
    KELVARN_NEED_CORPUS();
    test::RecordingTextureSource source;
    T3DModel model;
    TMeshFolderFiles files(CorpusFile("jos-scanner"));
    ASSERT_TRUE(model.LoadFromFile(CorpusFile("jos-scanner/arrow.im"), files, &source).Ok);
    ASSERT_EQ(source.plans.size(), 1u);
    EXPECT_EQ(source.plans[0].FileName, "dm.texture");
    EXPECT_EQ(ExtractFileName(source.plans[0].Path), "dm.jpg");
    EXPECT_TRUE(model.Objects()[0].Material.DiffuseLoaded());
    EXPECT_TRUE(model.HasTexturedMaterial());
}

// basemap.im rebuilt with the builder, from the values a maker set: the same bytes, read the same way.
TEST(CorpusMeshes, TheBuilderWritesTheRealLayout) {
    KELVARN_NEED_CORPUS();
    const std::string real = test::ReadBytes(CorpusFile("basemap-maker/Assets/basemap.im"));
    ASSERT_EQ(real.size(), 508u);

    test::MeshMaterial m;
    m.Name = "material.001.m.onetex";
    m.Sides = 0;
    m.Opacity = 1;
    m.Ambient = m.Diffuse = {0.6f, 0.6f, 0.6f};
    m.Specular = m.Emission = {0, 0, 0};
    m.Shininess = std::bit_cast<float>(0x4119C290u);
    m.Textures = {{1, "C:\\Users\\Ignacy\\Documents\\VS\\TrainzBasemapMaker\\basemap-basemap.texture", 1}};
    test::MeshGeometry g;
    g.Version = 201;
    g.Unread = {4, 0x48742400u, 0};
    g.HeaderField1 = 6;
    g.HeaderField2 = 2;
    g.Vertices = {{250, -250, 0.2f, 0, 1}, {250, 250, 0.2f, 1, 1}, {-250, 250, 0.2f, 1, 0}, {-250, -250, 0.2f, 0, 0}};
    g.Triangles = {{0, 1, 2}, {0, 2, 3}};
    g.FaceRecords = {{-0.0f, -0.0f, 1}, {-0.0f, -0.0f, 1}};
    // The INFO chunk (the exporter's box and settings) is taken as it stands.
    const std::string info = real.substr(12 + 8, 68);
    const std::string built = MeshFileBuilder().Chunk("INFO", info).Object(0, m, g).Bytes();
    EXPECT_EQ(built, real);

    auto fromBuilder = test::LoadModel(built);
    auto fromFile = test::LoadModel(real);
    ASSERT_EQ(fromBuilder->ObjectCount(), 1);
    ASSERT_EQ(fromFile->ObjectCount(), 1);
    const T3DObject &a = fromBuilder->Objects()[0], &b = fromFile->Objects()[0];
    EXPECT_EQ(a.Positions, b.Positions);
    EXPECT_EQ(a.TexCoords, b.TexCoords);
    EXPECT_EQ(a.Normals, b.Normals);
    EXPECT_EQ(a.Triangles, b.Triangles);
    EXPECT_EQ(a.Material.Name, b.Material.Name);
    EXPECT_EQ(a.Material.DiffuseFileName, b.Material.DiffuseFileName);
    EXPECT_EQ(a.Material.Diffuse, b.Material.Diffuse);
    EXPECT_EQ(a.Material.Shininess, b.Material.Shininess);

    // The arrow's material chunk, with a version before the name and the name padded to whole words.
    test::MeshMaterial arrow;
    arrow.Name = "arrow.m.onetex";
    arrow.Sides = 1;
    arrow.Ambient = arrow.Diffuse = {1, 1, 1};
    arrow.Specular = {0.5f, 0.5f, 0.5f};
    arrow.Shininess = 64;
    arrow.Textures = {{1, "I:\\Mentahan Project\\JOS V2\\dm.texture", 1}};
    const std::string arrowFile = test::ReadBytes(CorpusFile("jos-scanner/arrow.im"));
    EXPECT_EQ(test::ByteWriter().Chunk("MATL", MeshFileBuilder::MaterialBody(arrow)).Str(), arrowFile.substr(0x68, 8 + 0x90));
}

}  // namespace
}  // namespace kelvarn
