#include "support/MeshFileBuilder.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace kelvarn::test {

ByteWriter& ByteWriter::U16(std::uint16_t v) {
    bytes_.push_back(static_cast<char>(v & 0xFF));
    bytes_.push_back(static_cast<char>(v >> 8));
    return *this;
}

ByteWriter& ByteWriter::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
}

ByteWriter& ByteWriter::F32(float v) { return U32(std::bit_cast<std::uint32_t>(v)); }

ByteWriter& ByteWriter::Floats(const float* v, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        F32(v[i]);
    return *this;
}

ByteWriter& ByteWriter::Bytes(std::string_view bytes) {
    bytes_.append(bytes);
    return *this;
}

ByteWriter& ByteWriter::Name(std::string_view name, std::uint32_t lengthFlag) {
    return U32(static_cast<std::uint32_t>(name.size()) + lengthFlag).Bytes(name);
}

ByteWriter& ByteWriter::PaddedName(std::string_view name) {
    std::string padded(name);
    padded.resize((padded.size() + 3) / 4 * 4, '\0');
    return Name(padded);
}

ByteWriter& ByteWriter::Chunk(std::string_view tag, std::string_view data) {
    return Bytes(tag.substr(0, 4)).U32(static_cast<std::uint32_t>(data.size())).Bytes(data);
}

std::string MeshFileBuilder::InfoData(std::uint32_t version) {
    ByteWriter w;
    w.U32(version).Bytes(std::string(28, '\0')).U32(0);
    if (version >= 102) w.Bytes(std::string(8, '\0'));
    if (version >= 104) w.Bytes(std::string(24, '\0'));
    return w.Take();
}

std::string MeshFileBuilder::MaterialBody(const MeshMaterial& m) {
    ByteWriter w;
    w.U32(m.Version).PaddedName(m.Name).U32(0).U32(m.Sides).F32(m.Opacity);
    for (const Vec3* c : {&m.Ambient, &m.Diffuse, &m.Specular, &m.Emission})
        w.Floats(c->data(), 3);
    w.F32(m.Shininess).U32(m.TextureCount.value_or(static_cast<std::uint32_t>(m.Textures.size())));
    for (const MeshTexture& t : m.Textures)
        w.U32(t.Slot).PaddedName(t.Name).F32(t.Amount);
    return w.Take();
}

std::string MeshFileBuilder::GeometryChunk(const MeshGeometry& g) {
    const auto vertexCount = static_cast<std::uint32_t>(g.Vertices.size());
    const auto triangleCount = static_cast<std::uint32_t>(g.Triangles.size());
    ByteWriter w;
    w.U32(g.Version);
    if (g.Version >= 101) {
        w.U32(g.Unread[0]);
        if (g.Version >= 201) w.U32(g.TangentFlag);
        w.U32(g.Unread[1]).U32(g.VertexCount.value_or(vertexCount)).U32(g.TriangleCount.value_or(triangleCount));
        w.U32(g.HeaderField1).U32(g.HeaderField2);
        if (g.Version >= 102) w.U32(g.Unread[2]);
    } else {
        w.U32(g.Unread[0]).U32(g.VertexCount.value_or(vertexCount)).U32(g.TriangleCount.value_or(triangleCount));
    }
    if (g.Version >= 200) w.PaddedName(g.BoneName);
    for (const MeshVertex& v : g.Vertices)
        w.F32(v.X).F32(v.Y).F32(v.Z).F32(v.U).F32(v.V);
    for (const auto& t : g.Triangles)
        w.U16(t[0]).U16(t[1]).U16(t[2]);
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
        const Vec3 n = i < g.Normals.size() ? g.Normals[i] : Vec3{0, 0, 1};
        w.Floats(n.data(), 3);
    }
    for (std::uint32_t i = 0; i < triangleCount; ++i) {
        const Vec3 f = i < g.FaceRecords.size() ? g.FaceRecords[i] : Vec3{0, 0, 1};
        w.Floats(f.data(), 3);
    }
    if (g.Version >= 201 && g.TangentFlag >= 1) {
        for (std::uint32_t i = 0; i < vertexCount; ++i) {
            const Vec3 t = i < g.Tangents.size() ? g.Tangents[i] : Vec3{1, 0, 0};
            w.Floats(t.data(), 3);
        }
    }
    ByteWriter chunk;
    chunk.Chunk("GEOM", w.Str());
    return chunk.Take();
}

std::string MeshFileBuilder::BoneRecord(const MeshBone& bone) {
    ByteWriter rest;
    rest.Name(bone.Name).Floats(bone.Position.data(), 3).Floats(bone.Rotation.data(), 4);
    rest.U32(bone.ChildCount.value_or(static_cast<std::uint32_t>(bone.Children.size())));
    for (const MeshBone& child : bone.Children)
        rest.Bytes(BoneRecord(child));
    ByteWriter w;
    w.Bytes(bone.Tag.substr(0, 4)).U32(static_cast<std::uint32_t>(rest.Str().size())).U32(0).Bytes(rest.Str());
    return w.Take();
}

std::string MeshFileBuilder::AttachmentData(const std::vector<MeshPoint>& points, std::optional<std::uint32_t> count) {
    ByteWriter w;
    w.U32(0).U32(count.value_or(static_cast<std::uint32_t>(points.size())));
    for (const MeshPoint& p : points)
        w.Name(p.Name).Floats(p.Matrix.data(), 9).Floats(p.Position.data(), 3);
    return w.Take();
}

MeshFileBuilder& MeshFileBuilder::Info(std::uint32_t version) { return Chunk("INFO", InfoData(version)); }

MeshFileBuilder& MeshFileBuilder::Object(std::uint32_t chunkIndex, const MeshMaterial& material,
                                         const MeshGeometry& geometry) {
    return MaterialOnly(chunkIndex, material, GeometryChunk(geometry));
}

MeshFileBuilder& MeshFileBuilder::MaterialOnly(std::uint32_t chunkIndex, const MeshMaterial& material,
                                               std::string_view afterBody) {
    ByteWriter chnk;
    chnk.U32(100).U32(chunkIndex).Chunk("MATL", MaterialBody(material)).Bytes(afterBody);
    return Chunk("CHNK", chnk.Str());
}

MeshFileBuilder& MeshFileBuilder::Attachments(const std::vector<MeshPoint>& points,
                                              std::optional<std::uint32_t> count) {
    return Chunk("ATCH", AttachmentData(points, count));
}

MeshFileBuilder& MeshFileBuilder::Skeleton(const MeshBone& root) {
    ByteWriter w;
    w.U32(0).Bytes(BoneRecord(root));
    return Chunk("SKEL", w.Str());
}

MeshFileBuilder& MeshFileBuilder::Influences(const std::vector<MeshInfluenceBone>& bones,
                                             std::optional<std::uint32_t> count) {
    ByteWriter w;
    w.U32(100).U32(count.value_or(static_cast<std::uint32_t>(bones.size())));
    for (const MeshInfluenceBone& b : bones) {
        w.PaddedName(b.Name).PaddedName(b.Parent).Floats(b.Position.data(), 3).Floats(b.Matrix.data(), 9);
        w.U32(static_cast<std::uint32_t>(b.Groups.size()));
        for (const auto& group : b.Groups) {
            w.U32(0).U32(static_cast<std::uint32_t>(group.size()));
            for (const MeshInfluence& e : group)
                w.U32(e.Vertex).F32(1).Floats(e.Offset.data(), 3);
        }
    }
    return Chunk("INFL", w.Str());
}

MeshFileBuilder& MeshFileBuilder::Chunk(std::string_view tag, std::string_view data) {
    ByteWriter w;
    w.Chunk(tag, data);
    body_ += w.Str();
    return *this;
}

MeshFileBuilder& MeshFileBuilder::Raw(std::string_view bytes) {
    body_ += bytes;
    return *this;
}

std::string MeshFileBuilder::Bytes(std::int64_t lengthDelta, std::string_view rootTag, std::string_view form) const {
    const std::int64_t length = static_cast<std::int64_t>(body_.size()) + 4 + lengthDelta;
    ByteWriter w;
    w.Bytes(rootTag.substr(0, 4)).U32(static_cast<std::uint32_t>(length)).Bytes(form.substr(0, 4)).Bytes(body_);
    return w.Take();
}

MeshGeometry GridGeometry(int cellsX, int cellsY, float z, std::uint32_t version) {
    MeshGeometry g;
    g.Version = version;
    if (version >= 201) g.TangentFlag = 1;
    const int columns = cellsX + 1;
    for (int y = 0; y <= cellsY; ++y)
        for (int x = 0; x <= cellsX; ++x)
            g.Vertices.push_back({static_cast<float>(x), static_cast<float>(y), z,
                                  static_cast<float>(x) / static_cast<float>(cellsX),
                                  static_cast<float>(y) / static_cast<float>(cellsY)});
    for (int y = 0; y < cellsY; ++y)
        for (int x = 0; x < cellsX; ++x) {
            const auto a = static_cast<std::uint16_t>(y * columns + x);
            const auto b = static_cast<std::uint16_t>(a + 1);
            const auto c = static_cast<std::uint16_t>(a + columns);
            const auto d = static_cast<std::uint16_t>(c + 1);
            g.Triangles.push_back({a, b, d});
            g.Triangles.push_back({a, d, c});
        }
    return g;
}

std::string MakeGridMesh(int objects, int triangles) {
    MeshFileBuilder b;
    b.Info(104);
    const int quads = std::max(1, triangles / std::max(1, objects) / 2);
    const int cellsX = std::max(1, static_cast<int>(std::sqrt(quads / 2.0)));
    const int cellsY = std::max(1, quads / cellsX);
    for (int i = 0; i < objects; ++i) {
        MeshMaterial m;
        m.Name = "body" + std::to_string(i) + " m.onetex";
        m.Textures = {{1, "textures\\body" + std::to_string(i) + ".tga", 1}};
        b.Object(static_cast<std::uint32_t>(i), m, GridGeometry(cellsX, cellsY, static_cast<float>(i), 201));
    }
    b.Attachments({{"a.front", kIdentity3, {0, 0, 1}}, {"a.back", kIdentity3, {0, 0, -1}}});
    return b.Bytes();
}

std::string MakeSampleMesh() {
    MeshMaterial m;
    m.Name = "body m.tbumptex";
    m.Textures = {{1, "body.tga", 1}, {8, "bump.tga", 1}, {9, "env.tga", 0.5f}};
    MeshGeometry a = GridGeometry(2, 2, 0, 201), b = GridGeometry(1, 3, 1, 200), c = GridGeometry(2, 1, 2, 100);
    a.BoneName = "b.root";
    b.BoneName = "b.child";
    MeshBone bone;
    bone.Name = "b.root";
    bone.Position = {0, 0, 1};
    MeshBone child;
    child.Name = "b.child";
    bone.Children = {child};
    const std::vector<MeshInfluenceBone> influences = {
        {"b.root", "", {1, 0, 0}, kIdentity3, {{{0, {0, 0, 1}}}, {{1, {1, 1, 1}}}}},
        {"b.child", "b.root", {0, 1, 0}, kIdentity3, {{{2, {0, 0, 0}}}}}};
    return MeshFileBuilder()
        .Info(104)
        .Object(0, m, a)
        .Object(1, m, b)
        .Object(2, {}, c)
        .Chunk("PMIN", "1234")
        .Skeleton(bone)
        .Influences(influences)
        .Attachments({{"a.one", kIdentity3, {1, 2, 3}}, {"a.two", {0, 0, 1, 0, 1, 0, -1, 0, 0}, {0, 0, 0}}})
        .Bytes();
}

std::string MakeGroundplaneMaster(float back, float front) {
    MeshMaterial material;
    material.Name = "kelvarn_groundplane_master.m.onetex";
    material.Ambient = {0, 0, 0};
    material.Diffuse = {0, 0, 0};
    // The texture as makers' tools write it: the full path it had on the maker's machine.
    material.Textures = {{1, "C:\\Kelvarn\\resources\\bin\\source\\groundplane\\textures\\groundplane-groundplane.texture", 1}};
    MeshGeometry geometry;
    // Four across the width at the back, the same four at the front; three quads between them.
    const float widths[4] = {-1.8f, -0.6f, 0.6f, 1.8f};
    for (int end = 0; end < 2; ++end)
        for (int i = 0; i < 4; ++i)
            geometry.Vertices.push_back({end == 0 ? back : front, widths[i], 0.02f, static_cast<float>(i) / 3.0f,
                                         static_cast<float>(end)});
    for (std::uint16_t i = 0; i < 3; ++i) {
        geometry.Triangles.push_back({i, static_cast<std::uint16_t>(i + 4), static_cast<std::uint16_t>(i + 5)});
        geometry.Triangles.push_back({i, static_cast<std::uint16_t>(i + 5), static_cast<std::uint16_t>(i + 1)});
    }
    MeshFileBuilder builder;
    builder.Info().Object(0, material, geometry);
    return builder.Bytes();
}

}  // namespace kelvarn::test
