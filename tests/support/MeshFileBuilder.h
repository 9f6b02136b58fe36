// Builds indexed-mesh files (".im", ".pm") byte by byte for tests, fuzz seeds and benchmarks: the
// "JIRF"/"IDXM" container with "INFO", "CHNK"/"MATL"/"GEOM", "SKEL", "INFL", "ATCH" and any raw chunk,
// laid out as makers' tools write them: the data of "INFO", "CHNK", "MATL", "GEOM" and "INFL" starts
// with its version, a "CHNK" holds a "MATL" (the material alone) and then the "GEOM", and material,
// texture, bone and influence names are padded with NULs to whole words.
// Every count and length can be overridden to make damaged files. Needs nothing but the standard
// library, so benchmarks can use it without GoogleTest.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn::test {

// Little-endian values appended to a byte string.
class ByteWriter {
public:
    ByteWriter& U16(std::uint16_t v);
    ByteWriter& U32(std::uint32_t v);
    ByteWriter& F32(float v);
    ByteWriter& Floats(const float* v, std::size_t count);
    ByteWriter& Bytes(std::string_view bytes);
    // A counted name: u32 length (plus `lengthFlag`, e.g. 0x40000000) and the bytes.
    ByteWriter& Name(std::string_view name, std::uint32_t lengthFlag = 0);
    // A counted name padded with NULs to a multiple of four bytes, the length counting the padding.
    ByteWriter& PaddedName(std::string_view name);
    // A chunk: tag, u32 data size, data.
    ByteWriter& Chunk(std::string_view tag, std::string_view data);

    const std::string& Str() const { return bytes_; }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

using Vec3 = std::array<float, 3>;
using Mat3 = std::array<float, 9>;
inline constexpr Mat3 kIdentity3 = {1, 0, 0, 0, 1, 0, 0, 0, 1};

struct MeshTexture {
    std::uint32_t Slot = 1;  // 1 diffuse, 8 bump, 9 reflection; others are read and dropped
    std::string Name;
    float Amount = 1;
};

struct MeshMaterial {
    std::uint32_t Version = 103;  // the only material layout makers' tools write
    std::string Name = "m.onetex";
    std::uint32_t Sides = 0;
    float Opacity = 1;
    Vec3 Ambient{0.2f, 0.2f, 0.2f}, Diffuse{1, 1, 1}, Specular{0, 0, 0}, Emission{0, 0, 0};
    float Shininess = 0;
    std::vector<MeshTexture> Textures;
    std::optional<std::uint32_t> TextureCount;  // written instead of Textures.size()
};

struct MeshVertex {
    float X = 0, Y = 0, Z = 0, U = 0, V = 0;
};

struct MeshGeometry {
    std::uint32_t Version = 201;    // 100, 101, 102, 200, 201 are the layouts the reader knows
    std::uint32_t TangentFlag = 0;  // written from version 201
    std::string BoneName;           // written from version 200
    std::uint32_t HeaderField1 = 0, HeaderField2 = 0;
    // The header fields the reader passes over, in file order (the first always, the second from
    // version 101, the third from 102); makers' tools write 4, a float, and 0 or 1.
    std::array<std::uint32_t, 3> Unread{4, 0, 0};
    std::vector<MeshVertex> Vertices;
    std::vector<std::array<std::uint16_t, 3>> Triangles;
    std::vector<Vec3> Normals;      // empty: (0, 0, 1) for every vertex
    std::vector<Vec3> FaceRecords;  // the per-triangle record the reader skips; empty: (0, 0, 1) each
    std::vector<Vec3> Tangents;     // empty: (1, 0, 0) for every vertex (written only with the flag)
    std::optional<std::uint32_t> VertexCount, TriangleCount;  // written instead of the real counts
};

struct MeshPoint {
    std::string Name;
    Mat3 Matrix = kIdentity3;
    Vec3 Position{0, 0, 0};
};

struct MeshBone {
    std::string Tag = "BONE";
    std::string Name;
    Vec3 Position{0, 0, 0};
    std::array<float, 4> Rotation{0, 0, 0, 1};  // x, y, z, w
    std::vector<MeshBone> Children;
    std::optional<std::uint32_t> ChildCount;  // written instead of Children.size()
};

struct MeshInfluence {
    std::uint32_t Vertex = 0;
    Vec3 Offset{0, 0, 0};
};

struct MeshInfluenceBone {
    std::string Name, Parent;
    Vec3 Position{0, 0, 0};
    Mat3 Matrix = kIdentity3;
    std::vector<std::vector<MeshInfluence>> Groups;  // group g names vertices of object g
};

class MeshFileBuilder {
public:
    MeshFileBuilder& Info(std::uint32_t version = 104);
    // "CHNK" (u32 version 100, chunk index) holding "MATL" (the material body) and the "GEOM" chunk.
    MeshFileBuilder& Object(std::uint32_t chunkIndex, const MeshMaterial& material, const MeshGeometry& geometry);
    // "CHNK" holding a "MATL" followed by `afterBody` instead of a "GEOM" chunk.
    MeshFileBuilder& MaterialOnly(std::uint32_t chunkIndex, const MeshMaterial& material,
                                  std::string_view afterBody = {});
    MeshFileBuilder& Attachments(const std::vector<MeshPoint>& points, std::optional<std::uint32_t> count = {});
    MeshFileBuilder& Skeleton(const MeshBone& root);
    MeshFileBuilder& Influences(const std::vector<MeshInfluenceBone>& bones, std::optional<std::uint32_t> count = {});
    MeshFileBuilder& Chunk(std::string_view tag, std::string_view data);
    // Bytes appended as they are, without a chunk header.
    MeshFileBuilder& Raw(std::string_view bytes);

    // The file: root tag, u32 length (the size after the first 8 bytes, plus `lengthDelta`), form type,
    // then the chunks.
    std::string Bytes(std::int64_t lengthDelta = 0, std::string_view rootTag = "JIRF",
                      std::string_view form = "IDXM") const;

    static std::string InfoData(std::uint32_t version);
    static std::string MaterialBody(const MeshMaterial& material);
    static std::string GeometryChunk(const MeshGeometry& geometry);
    static std::string BoneRecord(const MeshBone& bone);
    static std::string AttachmentData(const std::vector<MeshPoint>& points, std::optional<std::uint32_t> count = {});

private:
    std::string body_;
};

// A flat grid of `cellsX` x `cellsY` quads (two triangles each) with texture coordinates, at height z.
MeshGeometry GridGeometry(int cellsX, int cellsY, float z = 0, std::uint32_t version = 201);
// A mesh of `objects` grid objects holding about `triangles` triangles in all, each with a textured
// material "m.onetex" and the texture "body<n>.tga", plus two attachment points.
std::string MakeGridMesh(int objects, int triangles);
// A small mesh with every kind of chunk the readers know and several geometry layouts: bump, reflection
// and diffuse textures, a skeleton with a child, influences, a skipped chunk and two points.
std::string MakeSampleMesh();

// Our groundplane template (resources/bin/groundplane_master.im): one textured quad strip of eight
// vertices, x = `back` for the first four and `front` for the last four; vertex k's x sits at byte
// 368 + 20k, where Add Groundplanes rewrites it.
std::string MakeGroundplaneMaster(float back = -1.0f, float front = 1.0f);

}  // namespace kelvarn::test
