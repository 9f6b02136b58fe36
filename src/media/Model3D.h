// The mesh viewer's model of an indexed mesh (".im", ".pm"): materials, objects with positions, texture
// coordinates, normals, tangents and triangles, the attachment points and the bounding box. Pure data:
// the renderer turns materials, textures and transforms into GL calls.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/TexturePlan.h"
#include "media/Vectors.h"

namespace kelvarn {

using TRGBA = std::array<float, 4>;

// The kind of a material from its (lower-case) name, later matches winning: "m.notex" 1, "m.onetex" 2,
// "m.reflect" 3, "m.gloss" 4, "m.tbumptex" 5, "m.tbumpgloss" 6, "m.tbumpenv" 7; otherwise 0.
int MaterialKind(std::string_view name);

class TMaterial {
public:
    bool AlphaFlag = false;  // the last texture this material loaded is RGBA
    std::shared_ptr<const TPreparedTexture> DiffuseTexture, BumpTexture, ReflectionTexture;
    bool TexGenT = false, TexGenS = false;  // sphere-map generation of T and S
    TRGBA Ambient{}, Emission{}, Specular{}, Diffuse{};
    float ReflectionAmount = 0;
    std::string Name;                                               // lower case
    std::string DiffuseFileName, BumpFileName, ReflectionFileName;  // lower-case file-name parts
    float Shininess = 0, Opacity = 0;
    float ScratchAmount = 0;  // the amount of the last entry that is no reflection
    std::uint32_t TextureCount = 0, CurrentSlot = 0;
    std::uint32_t Sides = 0;  // 1: both faces of each triangle are drawn
    int Kind = 0;

    bool DiffuseLoaded() const { return DiffuseTexture != nullptr; }
    bool BumpLoaded() const { return BumpTexture != nullptr; }
    bool ReflectionLoaded() const { return ReflectionTexture != nullptr; }

    // Copies what an object draws with: name, sides, alpha flag, the three textures with their file
    // names, the ambient, diffuse and specular colours, shininess and reflection amount (not the
    // emission colour).
    void Assign(const TMaterial& other);
};

struct TTransform {
    enum Kind { Rotate = 0, Translate = 1, Scale = 2 };
    Kind Type = Rotate;
    float Angle = 0, X = 0, Y = 0, Z = 0;
    bool Enabled = true;
};

// Transforms applied around an object's drawing (the renderer pushes and pops them).
struct TTransformList {
    bool Active = true;
    std::vector<TTransform> Items;
};

using TTexCoord = std::array<float, 2>;
using TTriangle = std::array<std::uint32_t, 3>;

class T3DObject {
public:
    enum DrawModes { dmTriangles = 0, dmLines = 1, dmPoints = 2 };

    bool Visible = true;
    bool AlphaFlag = false;  // drawn after the opaque objects
    TMaterial Material;
    std::uint32_t VertexCount = 0, HeaderField1 = 0, TriangleCount = 0, HeaderField2 = 0;
    int PickIndex = 0;  // 1-based position in the model
    int DrawMode = dmTriangles;
    TTransformList Transforms;
    std::string Name;      // "obj" and the index of the enclosing "CHNK" chunk
    std::string BoneName;  // from geometry version 200 on
    std::vector<TVector3> Positions;
    std::vector<TVector3> Normals;
    std::vector<TTexCoord> TexCoords;  // v already turned into 1 - v
    std::vector<TVector3> Tangents;    // empty, or one per vertex
    std::vector<TTriangle> Triangles;  // every index below VertexCount

    void SetDrawMode(int mode) { DrawMode = mode; }
};

struct TAttachmentPoint {
    float X = 0, Y = 0, Z = 0;
    float AngleX = 0, AngleY = 0, AngleZ = 0;  // degrees
    std::string Name;
};

struct TBoundingBox {
    TVector3 Min{}, Max{};
};

struct TModelLoadResult {
    bool Ok = false;
    std::string Error;      // why the load failed; empty on success and when a message box says why
    TMessageList Messages;  // to show in this order
};

class T3DModel {
public:
    T3DModel() = default;
    T3DModel(const T3DModel&) = delete;
    T3DModel& operator=(const T3DModel&) = delete;

    // Reads the file and loads it. Textures are looked up in the mesh's folder and made by `textures`
    // (none: every object is untextured).
    TModelLoadResult LoadFromFile(const std::string& path, ITextureSource* textures = nullptr);
    TModelLoadResult LoadFromFile(const std::string& path, ITextureFiles& files, ITextureSource* textures);
    // The load on bytes in memory. A damaged file loads what can be read before the damage; a chunk
    // version whose layout is unknown, a chunk read past its own size, and a file that yields no vertex
    // fail the load and leave the model empty.
    TModelLoadResult LoadFromBytes(std::string_view bytes, ITextureFiles& files, ITextureSource* textures);

    void Clear();  // no objects, points or box

    // The material list lives only during a load (each object keeps its own copy).
    int MaterialCount() const { return static_cast<int>(materials_.size()); }
    int ObjectCount() const { return static_cast<int>(objects_.size()); }
    TMaterial& AddMaterial();
    // Valid until the next AddObject.
    T3DObject& AddObject();
    const std::vector<T3DObject>& Objects() const { return objects_; }
    std::vector<T3DObject>& Objects() { return objects_; }

    // Every object's diffuse texture file name, in object order, duplicates kept.
    void ListTextures(std::vector<std::string>& list) const;
    // Moves the vertices of every object of that bone name: each is turned by the matrix (as a row
    // vector), then the position is added.
    void ApplyBone(std::string_view name, const TMatrix3& turn, const TVector3& position);
    // Adds to one vertex's position; nothing for an object or vertex that does not exist.
    void OffsetVertex(std::size_t object, std::uint64_t vertex, const TVector3& offset);

    // Set by the last load when any material's diffuse texture loaded (the renderer then draws unlit).
    bool HasTexturedMaterial() const { return hasTexturedMaterial_; }
    // Set by the last load when any bump texture loaded.
    bool BumpTexturePresent() const { return bumpTexturePresent_; }
    const std::vector<TAttachmentPoint>& Attachments() const { return attachments_; }
    // None when no object has a vertex.
    const std::optional<TBoundingBox>& Box() const { return box_; }

private:
    class TChunk;
    class Reader;
    friend class Reader;

    void ComputeBox();
    bool HasVertex() const;

    std::vector<TMaterial> materials_;
    std::vector<T3DObject> objects_;
    std::vector<TAttachmentPoint> attachments_;
    std::optional<TBoundingBox> box_;
    bool hasTexturedMaterial_ = false;
    bool bumpTexturePresent_ = false;
};

}  // namespace kelvarn
