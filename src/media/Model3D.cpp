#include "media/Model3D.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "shell/ByteReader.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// The smallest record of each repeated kind, to refuse a count the rest of the file cannot hold
// before anything is allocated or looped over.
constexpr std::uint64_t kMinTextureEntry = 4 + 4 + 4;          // slot, empty name, amount
constexpr std::uint64_t kMinPoint = 4 + 12 * 4;                // empty name, matrix, position
constexpr std::uint64_t kMinBone = 4 + 4 + 4 + 4 + 7 * 4 + 4;  // tag, two u32, empty name, 7 floats, children
constexpr std::uint64_t kVertexBytes = 5 * 4;
constexpr std::uint64_t kTriangleBytes = 3 * 2;
constexpr std::uint64_t kFaceRecordBytes = 3 * 4;
// Skeletons nest one record per level; a damaged file must not nest without end.
constexpr int kMaxBoneDepth = 256;
// The material chunk's version, written before each material's name, in the files makers' tools write.
constexpr std::uint32_t kMaterialVersion = 103;

// The geometry layouts this reader knows; any other version would be read as garbage.
bool KnownGeometryVersion(std::uint32_t version) {
    return version == 100 || version == 101 || version == 102 || version == 200 || version == 201;
}

std::string ChunkVersionError(std::string_view tag, std::uint32_t version) {
    return std::string(tag) + " chunk version " + std::to_string(version) + " is not supported";
}

bool TagIs(const std::array<char, 4>& tag, std::string_view text) { return std::string_view(tag.data(), 4) == text; }

bool ReadVector(ByteReader& r, TVector3& v) { return r.ReadF32Array(v.data(), 3); }

// The floats of a vector array, to fill it in one copy.
float* FloatsOf(std::vector<TVector3>& vectors) { return reinterpret_cast<float*>(vectors.data()); }
static_assert(sizeof(TVector3) == 3 * sizeof(float));

}  // namespace

int MaterialKind(std::string_view name) {
    static constexpr std::string_view kKinds[] = {"m.notex",    "m.onetex",     "m.reflect", "m.gloss",
                                                  "m.tbumptex", "m.tbumpgloss", "m.tbumpenv"};
    int kind = 0;
    for (int i = 0; i < 7; ++i)
        if (name.find(kKinds[i]) != std::string_view::npos) kind = i + 1;
    return kind;
}

void TMaterial::Assign(const TMaterial& other) {
    Name = other.Name;
    Sides = other.Sides;
    AlphaFlag = other.AlphaFlag;
    DiffuseTexture = other.DiffuseTexture;
    BumpTexture = other.BumpTexture;
    ReflectionTexture = other.ReflectionTexture;
    DiffuseFileName = other.DiffuseFileName;
    BumpFileName = other.BumpFileName;
    ReflectionFileName = other.ReflectionFileName;
    Ambient = other.Ambient;
    Diffuse = other.Diffuse;
    Specular = other.Specular;
    Shininess = other.Shininess;
    ReflectionAmount = other.ReflectionAmount;
}

// The reader's view of one chunk header.
class T3DModel::TChunk {
public:
    std::array<char, 4> Tag{};
    std::uint32_t Length = 0;
    std::uint32_t BytesRead = 0;

    bool ReadHeader(ByteReader& r) {
        if (!r.Fits(1, 8)) return false;
        r.ReadTag(Tag);
        r.ReadU32(Length);
        BytesRead = 8;
        return true;
    }
    bool Is(std::string_view tag) const { return TagIs(Tag, tag); }
};

// One load: walks the chunks in file order. Every reader returns false when the walk must end (the
// file ends, or a count or length does not fit in what is left); what was read before stays.
class T3DModel::Reader {
public:
    Reader(T3DModel& model, std::string_view bytes, ITextureFiles& files, ITextureSource* textures,
           TMessageList& messages)
        : model_(model), r_(bytes), files_(files), textures_(textures), messages_(messages) {}

    // Why the walk had to stop in a way that makes the whole load fail; empty otherwise.
    const std::string& Error() const { return error_; }

    // Walks from `start` (after the file's header) while the position is below `end`.
    void Walk(std::uint64_t start, std::uint64_t end) {
        r_.Seek(start);
        while (r_.Position() < end) {
            TChunk chunk;
            if (!chunk.ReadHeader(r_)) return;
            bool goOn = true;
            if (chunk.Is("INFO"))
                goOn = ReadInfo();
            else if (chunk.Is("CHNK"))
                goOn = ReadChunkIndex();
            else if (chunk.Is("MATL"))
                goOn = ReadMaterial(chunk) && ReadGeometry(model_.AddObject());
            else if (chunk.Is("SKEL"))
                goOn = ReadSkeleton();
            else if (chunk.Is("INFL"))
                goOn = r_.Skip(chunk.Length);  // the geometry's positions are already final: nothing to move
            else if (chunk.Is("ATCH"))
                goOn = ReadAttachments();
            else if (chunk.Is("PMIN") || chunk.Is("NINF") || chunk.Is("BONE"))
                goOn = r_.Skip(chunk.Length);
            else
                goOn = false;  // an unknown chunk ends the walk
            if (!goOn) return;
        }
    }

private:
    bool ReadInfo() {
        std::uint32_t version = 0, unused = 0;
        r_.ReadU32(version);
        r_.Skip(28);
        r_.ReadU32(unused);
        if (version >= 102) r_.Skip(8);
        if (version >= 104) r_.Skip(24);
        return version >= 102;  // older files hold nothing this reader draws
    }

    bool ReadChunkIndex() {
        std::uint32_t unused = 0;
        r_.ReadU32(unused);
        return r_.ReadU32(chunkIndex_);
    }

    bool ReadMaterial(const TChunk& chunk) {
        const std::uint64_t end = r_.Position() + chunk.Length;
        std::uint32_t version = 0;
        if (!r_.ReadU32(version)) return false;
        if (version != kMaterialVersion) return Fail(ChunkVersionError("MATL", version));
        std::string name;
        if (!ReadCountedName(r_, name)) return false;
        TMaterial& m = model_.AddMaterial();
        m.Name = LowerCase(name);
        firstMaterialOfName_.emplace(m.Name, model_.materials_.size() - 1);
        m.Kind = MaterialKind(m.Name);
        std::uint32_t unused = 0;
        r_.ReadU32(unused);
        r_.ReadU32(m.Sides);
        r_.ReadF32(m.Opacity);
        for (TRGBA* colour : {&m.Ambient, &m.Diffuse, &m.Specular, &m.Emission}) {
            r_.ReadF32Array(colour->data(), 3);
            (*colour)[3] = m.Opacity;
        }
        r_.ReadF32(m.Shininess);
        bool goOn = r_.ReadU32(m.TextureCount) && r_.Fits(m.TextureCount, kMinTextureEntry);
        bool lastHasAlpha = false;
        for (std::uint32_t i = 0; goOn && i < m.TextureCount; ++i) {
            std::uint32_t slot = 0;
            float amount = 0;
            std::string textureName;
            r_.ReadU32(slot);
            if (!ReadCountedName(r_, textureName)) {
                goOn = false;
                break;
            }
            r_.ReadF32(amount);
            m.CurrentSlot = slot;
            if (slot == tsReflection)
                m.ReflectionAmount = amount;
            else
                m.ScratchAmount = amount;
            if (auto texture = LoadTexture(m, slot, textureName)) lastHasAlpha = texture->HasAlpha;
        }
        m.AlphaFlag = lastHasAlpha;
        if (m.DiffuseLoaded()) model_.hasTexturedMaterial_ = true;
        if (m.BumpLoaded()) model_.bumpTexturePresent_ = true;
        if (goOn && r_.Position() > end) return Fail("MATL chunk holds less than its material needs");
        return goOn;
    }

    bool Fail(std::string error) {
        error_ = std::move(error);
        return false;
    }

    // The slot now names this entry's file: keeps the name and loads what the plan names.
    std::shared_ptr<const TPreparedTexture> LoadTexture(TMaterial& m, std::uint32_t slot, std::string_view name) {
        std::string* fileName = nullptr;
        std::shared_ptr<const TPreparedTexture>* target = nullptr;
        switch (slot) {
            case tsDiffuse:
                fileName = &m.DiffuseFileName;
                target = &m.DiffuseTexture;
                break;
            case tsBump:
                fileName = &m.BumpFileName;
                target = &m.BumpTexture;
                break;
            case tsReflection:
                fileName = &m.ReflectionFileName;
                target = &m.ReflectionTexture;
                break;
            default: return nullptr;
        }
        *fileName = TextureFileName(name);
        target->reset();
        if (!textures_) return nullptr;
        const auto plan = PlanTexture(slot, name, m.Kind, m.Opacity, files_);
        if (!plan) return nullptr;
        *target = textures_->Prepare(*plan, messages_);
        return *target;
    }

    // The "GEOM" chunk right after a material body; another chunk there is left for the walk.
    bool ReadGeometry(T3DObject& object) {
        object.Name = "obj" + std::to_string(chunkIndex_);
        const std::uint64_t start = r_.Position();
        TChunk chunk;
        if (!chunk.ReadHeader(r_)) return true;  // the walk ends at its own header read
        if (!chunk.Is("GEOM")) {
            r_.Seek(start);
            return true;
        }
        const std::uint64_t end = r_.Position() + chunk.Length;
        std::uint32_t version = 0;
        if (!r_.ReadU32(version)) return false;
        if (!KnownGeometryVersion(version)) return Fail(ChunkVersionError("GEOM", version));
        bool complete = ReadGeometryBody(object, version);
        SetMaterial(object);
        if (complete && r_.Position() > end)
            return Fail("GEOM chunk version " + std::to_string(version) + " holds less than its geometry needs");
        // Data after the fields this reader knows is left unread.
        if (complete) r_.Seek(end);
        return complete;
    }

    bool ReadGeometryBody(T3DObject& o, std::uint32_t version) {
        std::uint32_t unused = 0, tangentFlag = 0, vertexCount = 0, triangleCount = 0;
        if (version >= 101) {
            r_.ReadU32(unused);
            if (version >= 201) r_.ReadU32(tangentFlag);
            r_.ReadU32(unused);
            r_.ReadU32(vertexCount);
            r_.ReadU32(triangleCount);
            r_.ReadU32(o.HeaderField1);
            r_.ReadU32(o.HeaderField2);
            if (version >= 102) r_.ReadU32(unused);
        } else {
            r_.ReadU32(unused);
            r_.ReadU32(vertexCount);
            r_.ReadU32(triangleCount);
        }
        if (version >= 200 && !ReadCountedName(r_, o.BoneName)) return false;

        std::string_view block;
        if (!r_.Fits(vertexCount, kVertexBytes) || !r_.ReadBytes(vertexCount * kVertexBytes, block)) return false;
        o.VertexCount = vertexCount;
        o.Positions.resize(vertexCount);
        o.TexCoords.resize(vertexCount);
        o.Normals.resize(vertexCount);
        for (std::size_t i = 0; i < vertexCount; ++i) {
            const char* p = block.data() + i * kVertexBytes;
            o.Positions[i] = {ByteReader::Decode<float>(p), ByteReader::Decode<float>(p + 4),
                              ByteReader::Decode<float>(p + 8)};
            o.TexCoords[i] = {ByteReader::Decode<float>(p + 12), 1.0f - ByteReader::Decode<float>(p + 16)};
        }

        if (!r_.Fits(triangleCount, kTriangleBytes) || !r_.ReadBytes(triangleCount * kTriangleBytes, block))
            return false;
        o.Triangles.reserve(triangleCount);
        for (std::size_t i = 0; i < triangleCount; ++i) {
            const char* p = block.data() + i * kTriangleBytes;
            const TTriangle t = {ByteReader::Decode<std::uint16_t>(p), ByteReader::Decode<std::uint16_t>(p + 2),
                                 ByteReader::Decode<std::uint16_t>(p + 4)};
            // A corner naming a vertex that does not exist would make the renderer read past its arrays.
            if (t[0] < vertexCount && t[1] < vertexCount && t[2] < vertexCount) o.Triangles.push_back(t);
        }
        o.TriangleCount = static_cast<std::uint32_t>(o.Triangles.size());

        if (!r_.ReadF32Array(FloatsOf(o.Normals), std::uint64_t{vertexCount} * 3)) return false;
        if (!r_.Fits(triangleCount, kFaceRecordBytes) || !r_.Skip(triangleCount * kFaceRecordBytes)) return false;
        if (version >= 201 && tangentFlag >= 1) {
            if (!r_.Fits(vertexCount, 12)) return false;
            o.Tangents.resize(vertexCount);
            r_.ReadF32Array(FloatsOf(o.Tangents), std::uint64_t{vertexCount} * 3);
        }
        return true;
    }

    // The object draws with the first material of the name just read, copied.
    void SetMaterial(T3DObject& object) {
        if (model_.materials_.empty()) return;
        const TMaterial& first = model_.materials_[firstMaterialOfName_.at(model_.materials_.back().Name)];
        object.Material.Assign(first);
        object.AlphaFlag = object.Material.AlphaFlag;
    }

    enum class BoneRead { Done, NotABone, End };

    // A bone's move of its vertices: turned by M, then T added.
    struct BoneMove {
        TMatrix3 M = kIdentityMatrix;
        TVector3 T{0, 0, 0};
    };

    // The bones' moves are gathered per bone name and applied once at the end, so that a damaged file
    // with thousands of records of one name does not move every vertex thousands of times.
    bool ReadSkeleton() {
        std::uint32_t unused = 0;
        r_.ReadU32(unused);
        boneMoves_.clear();
        const bool goOn = ReadBone({0, 0, 0}, TQuaternion{}, 0) != BoneRead::End;
        for (const auto& [name, move] : boneMoves_) model_.ApplyBone(name, move.M, move.T);
        return goOn;
    }

    // One "BONE" record and its children. A child's position is turned by its parent bone's rotation.
    BoneRead ReadBone(const TVector3& parentPosition, const TQuaternion& parentRotation, int depth) {
        if (depth >= kMaxBoneDepth) return BoneRead::End;
        std::array<char, 4> tag{};
        if (!r_.ReadTag(tag)) return BoneRead::End;
        if (!TagIs(tag, "BONE")) return BoneRead::NotABone;
        std::uint32_t unused = 0, childCount = 0;
        std::string name;
        TVector3 position{};
        TQuaternion rotation;
        if (!r_.ReadU32(unused) || !r_.ReadU32(unused) || !ReadCountedName(r_, name)) return BoneRead::End;
        if (!ReadVector(r_, position) || !r_.ReadF32(rotation.X) || !r_.ReadF32(rotation.Y) ||
            !r_.ReadF32(rotation.Z) || !r_.ReadF32(rotation.W))
            return BoneRead::End;
        const TVector3 absolute =
            AddVectors(VectorTimesMatrix(position, QuaternionToMatrix(parentRotation)), parentPosition);
        // Each vertex is turned by the bone's rotation and moved to the bone's place; after earlier
        // bones of the name: (v M + T) R + P = v (M R) + (T R + P).
        const TMatrix3 turn = QuaternionToMatrix(rotation);
        BoneMove& move = boneMoves_[name];
        move.M = MatrixTimesMatrix(move.M, turn);
        move.T = AddVectors(VectorTimesMatrix(move.T, turn), absolute);
        if (!r_.ReadU32(childCount) || !r_.Fits(childCount, kMinBone)) return BoneRead::End;
        for (std::uint32_t i = 0; i < childCount; ++i)
            if (ReadBone(absolute, rotation, depth + 1) == BoneRead::End) return BoneRead::End;
        return BoneRead::Done;
    }

    bool ReadAttachments() {
        std::uint32_t unused = 0, count = 0;
        r_.ReadU32(unused);
        if (!r_.ReadU32(count) || !r_.Fits(count, kMinPoint)) return false;
        std::vector<TAttachmentPoint> points;
        points.reserve(count);
        bool goOn = true;
        for (std::uint32_t i = 0; i < count; ++i) {
            TATCHE e;
            if (!ReadCountedName(r_, e.Name) || !r_.ReadF32Array(e.Matrix.data(), 9) || !r_.ReadF32(e.X) ||
                !r_.ReadF32(e.Y) || !r_.ReadF32(e.Z)) {
                goOn = false;
                break;
            }
            const auto angles = AttachmentEulerAngles(e.Matrix);
            points.push_back({e.X, e.Y, e.Z, static_cast<float>(angles[0]), static_cast<float>(angles[1]),
                              static_cast<float>(angles[2]), std::move(e.Name)});
        }
        model_.attachments_ = std::move(points);
        return goOn;
    }

    T3DModel& model_;
    ByteReader r_;
    ITextureFiles& files_;
    ITextureSource* textures_;
    TMessageList& messages_;
    std::uint32_t chunkIndex_ = 0;
    std::string error_;
    std::map<std::string, BoneMove, std::less<>> boneMoves_;
    std::unordered_map<std::string, std::size_t> firstMaterialOfName_;
};

void T3DModel::Clear() {
    objects_.clear();
    attachments_.clear();
    box_.reset();
}

TMaterial& T3DModel::AddMaterial() { return materials_.emplace_back(); }

T3DObject& T3DModel::AddObject() {
    T3DObject& o = objects_.emplace_back();
    o.PickIndex = static_cast<int>(objects_.size());
    return o;
}

void T3DModel::ListTextures(std::vector<std::string>& list) const {
    for (const T3DObject& o : objects_)
        list.push_back(o.Material.DiffuseFileName);
}

void T3DModel::ApplyBone(std::string_view name, const TMatrix3& turn, const TVector3& position) {
    for (T3DObject& o : objects_) {
        if (o.BoneName != name) continue;
        for (TVector3& v : o.Positions)
            v = AddVectors(VectorTimesMatrix(v, turn), position);
    }
}

void T3DModel::OffsetVertex(std::size_t object, std::uint64_t vertex, const TVector3& offset) {
    if (object >= objects_.size()) return;
    auto& positions = objects_[object].Positions;
    if (vertex >= positions.size()) return;
    positions[static_cast<std::size_t>(vertex)] = AddVectors(positions[static_cast<std::size_t>(vertex)], offset);
}

bool T3DModel::HasVertex() const {
    return std::any_of(objects_.begin(), objects_.end(), [](const T3DObject& o) { return !o.Positions.empty(); });
}

void T3DModel::ComputeBox() {
    box_.reset();
    for (const T3DObject& o : objects_) {
        for (const TVector3& v : o.Positions) {
            if (!box_) {
                box_ = TBoundingBox{v, v};
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                box_->Min[k] = std::min(box_->Min[k], v[k]);
                box_->Max[k] = std::max(box_->Max[k], v[k]);
            }
        }
    }
}

TModelLoadResult T3DModel::LoadFromFile(const std::string& path, ITextureSource* textures) {
    TMeshFolderFiles files(ExtractFileDir(path));
    return LoadFromFile(path, files, textures);
}

TModelLoadResult T3DModel::LoadFromFile(const std::string& path, ITextureFiles& files, ITextureSource* textures) {
    std::string bytes;
    if (std::string error = ReadFileBytes(path, bytes); !error.empty()) {
        bumpTexturePresent_ = false;
        hasTexturedMaterial_ = false;
        Clear();
        TModelLoadResult result;
        result.Error = std::move(error);
        return result;
    }
    return LoadFromBytes(bytes, files, textures);
}

TModelLoadResult T3DModel::LoadFromBytes(std::string_view bytes, ITextureFiles& files, ITextureSource* textures) {
    TModelLoadResult result;
    bumpTexturePresent_ = false;
    hasTexturedMaterial_ = false;
    Clear();
    ByteReader header(bytes);
    TChunk root;
    std::array<char, 4> form{};
    const bool headerRead = root.ReadHeader(header);
    if (headerRead && root.Is("CFIL")) {
        result.Messages.push_back({"Cannot decode compressed content", "Info"});
        return result;
    }
    if (!headerRead || !root.Is("JIRF") || !header.ReadTag(form) || !TagIs(form, "IDXM")) {
        result.Error = "not an indexed mesh";
        return result;
    }
    // The root length counts from after its own header; a length past the file ends at the file.
    const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{root.Length} + 8, bytes.size());

    Reader reader(*this, bytes, files, textures, result.Messages);
    reader.Walk(header.Position(), end);
    materials_.clear();
    result.Error = reader.Error();
    if (result.Error.empty() && !HasVertex()) result.Error = "the mesh holds no geometry";
    if (!result.Error.empty()) {
        // Half a model would show as if it were the mesh.
        Clear();
        hasTexturedMaterial_ = bumpTexturePresent_ = false;
        return result;
    }
    ComputeBox();
    result.Ok = true;
    return result;
}

}  // namespace kelvarn
