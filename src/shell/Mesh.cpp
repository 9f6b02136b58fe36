#include "shell/Mesh.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <set>

#include "shell/ByteReader.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/TextCodec.h"

namespace kelvarn {

namespace {

constexpr std::uint32_t kLengthFlag = 0x40000000u;
constexpr std::size_t kMaxNameBytes = 255;
// The smallest attachment point: an empty name's length, then 12 floats.
constexpr std::uint64_t kMinPointBytes = 4 + 12 * 4;
constexpr std::uint32_t kDiffuseSlot = 1;
// The material chunk's version, written before each material's name; other versions lay the material
// out in ways this reader does not know.
constexpr std::uint32_t kMaterialVersion = 103;

bool HasTag(std::string_view bytes, std::size_t at, std::string_view tag) {
    return bytes.size() >= at + 4 && bytes.substr(at, 4) == tag;
}

double Degrees(double radians) { return radians * 180.0 / std::numbers::pi; }

// A fixed-point number without a sign in front of a zero ("-0.000" would read as a real value).
std::string FormatFixed(double value, int decimals) {
    std::string text = FormatDouble(value, decimals);
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

}  // namespace

bool ReadCountedName(ByteReader& reader, std::string& name) {
    const std::uint64_t start = reader.Position();
    std::uint32_t length = 0;
    std::string_view raw;
    if (!reader.ReadU32(length)) return false;
    if (length >= kLengthFlag) length -= kLengthFlag;
    if (!reader.ReadBytes(length, raw)) {
        reader.Seek(start);
        return false;
    }
    // Most names fit and hold no zero byte but the padding at their end, and are decoded straight from
    // the file's bytes.
    std::string kept;
    std::string_view text = raw.substr(0, raw.find('\0'));
    if (text.size() > kMaxNameBytes || raw.find_first_not_of('\0', text.size()) != std::string_view::npos) {
        kept.reserve(std::min<std::size_t>(raw.size(), kMaxNameBytes));
        for (char c : raw) {
            if (c == '\0') continue;
            if (kept.size() == kMaxNameBytes) break;
            kept.push_back(c);
        }
        text = kept;
    }
    std::string storage;  // used only by names that are not UTF-8
    name.assign(DecodeTextView(TrimView(text), storage).text);
    return true;
}

void TMesh::SetFileName(std::string_view name) {
    if (name == fileName_) return;
    Deactivate();
    fileName_ = name;
    size_ = 0;
}

void TMesh::Deactivate() {
    active_ = false;
    chunks_.clear();
    bytes_.reset();
}

std::string TMesh::InvalidMesh() const { return "MESH001F file " + fileName_ + " is not a valid mesh"; }

std::string TMesh::SetActive(bool active) {
    if (active == active_) return {};
    if (!active) {
        Deactivate();
        return {};
    }
    std::string bytes;
    if (std::string error = ReadFileBytes(fileName_, bytes); !error.empty()) {
        size_ = 0;
        return error;
    }
    return LoadBytes(std::move(bytes));
}

std::string TMesh::LoadBytes(std::string bytes) {
    Deactivate();
    size_ = 0;
    // Header: "JIRF", the size of what follows it, "IDXM"; the length must match the file exactly.
    if (bytes.size() < 12 || bytes.size() > 0xFFFFFFFFull || !HasTag(bytes, 0, "JIRF") || !HasTag(bytes, 8, "IDXM"))
        return InvalidMesh();
    const std::uint64_t length = ByteReader::Decode<std::uint32_t>(bytes.data() + 4);
    if (length + 8 != bytes.size()) return InvalidMesh();

    auto owned = std::make_unique<const std::string>(std::move(bytes));
    ByteReader reader(*owned);
    reader.Seek(12);
    std::vector<TChunk> chunks;
    while (!reader.AtEnd()) {
        TChunk chunk;
        chunk.Offset = static_cast<std::uint32_t>(reader.Position());
        // A header or data running past the end is a damaged file, not a short chunk.
        if (!reader.ReadTag(chunk.Tag) || !reader.ReadU32(chunk.Size) || !reader.ReadBytes(chunk.Size, chunk.Data))
            return InvalidMesh();
        chunks.push_back(chunk);
    }
    size_ = static_cast<std::uint32_t>(owned->size());
    bytes_ = std::move(owned);
    chunks_ = std::move(chunks);
    active_ = true;
    return {};
}

void TATCH::ReadEntries(std::string_view data) {
    ByteReader reader(data);
    std::uint32_t unused = 0, count = 0;
    count_ = 0;
    if (!reader.ReadU32(unused) || !reader.ReadU32(count)) return;
    // Never reserve more than the data could hold.
    entries_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, reader.Remaining() / kMinPointBytes)));
    for (std::uint32_t i = 0; i < count; ++i) {
        TATCHE entry;
        if (!ReadCountedName(reader, entry.Name) || !reader.Fits(12, 4)) break;
        reader.ReadF32Array(entry.Matrix.data(), 9);
        reader.ReadF32(entry.X);
        reader.ReadF32(entry.Y);
        reader.ReadF32(entry.Z);
        entries_.push_back(std::move(entry));
    }
    count_ = static_cast<int>(entries_.size());
}

std::array<double, 3> AttachmentEulerAngles(const std::array<float, 9>& m) {
    // In double throughout: a float atan2 rounds a half turn above 180 degrees, which would then wrap.
    auto at = [&m](int i) { return static_cast<double>(m[static_cast<std::size_t>(i)]); };
    std::array<double, 3> angles{};
    const double y = std::asin(std::clamp(at(2), -1.0, 1.0));
    angles[1] = Degrees(y);
    if (std::fabs(std::cos(y)) <= 0.005) {
        angles[0] = 0;
        angles[2] = Degrees(std::atan2(at(3), at(4)));
    } else {
        angles[0] = Degrees(std::atan2(-at(5), at(8)));
        angles[2] = Degrees(std::atan2(-at(1), at(0)));
    }
    for (double& a : angles) {
        if (a < -180)
            a += 360;
        else if (a > 180)
            a -= 360;
    }
    return angles;
}

std::string AttachmentCoords(const TATCHE& entry) {
    const auto angles = AttachmentEulerAngles(entry.Matrix);
    return FormatFixed(entry.X, 3) + "," + FormatFixed(entry.Y, 3) + "," + FormatFixed(entry.Z, 3) + "," +
           FormatFixed(angles[0], 1) + "," + FormatFixed(angles[1], 1) + "," + FormatFixed(angles[2], 1);
}

std::string AttachmentToCsv(const TATCHE& entry) { return "\"" + entry.Name + "\"," + AttachmentCoords(entry); }

std::string CheckMeshHeader(std::string_view head, std::uint64_t fileSize) {
    if (fileSize < 4 || head.size() < 4) return "*** File is empty ***";
    if (head.substr(0, 4) != "JIRF") return "Not a valid mesh file";
    // A "JIRF" file too short to hold its length field cannot be whole.
    if (fileSize < 8 || head.size() < 8) return "Mesh file is corrupt";
    const std::uint64_t length = ByteReader::Decode<std::uint32_t>(head.data() + 4);
    if (length + 8 != fileSize) return "Mesh file is corrupt";
    return {};
}

std::string CheckMeshFile(std::string_view path) {
    if (!FileExists(path)) return {};
    const std::uint64_t size = FileSize(path);
    if (size < 4) return CheckMeshHeader({}, size);
    std::ifstream in(FsPath(path), std::ios::binary);
    char header[8] = {};
    const std::size_t wanted = size < 8 ? 4 : 8;
    if (!in.read(header, static_cast<std::streamsize>(wanted))) return "Mesh file cannot be read";
    return CheckMeshHeader(std::string_view(header, wanted), size);
}

std::vector<std::string> MeshAttachmentNames(const TMesh& mesh) {
    std::vector<std::string> names;
    for (const TChunk& chunk : mesh.Chunks()) {
        if (chunk.GetTag() != "ATCH") continue;
        const TATCH points(chunk.Data);
        for (const TATCHE& p : points.Entries()) names.push_back(p.Name);
    }
    return names;
}

namespace {

// The texture entries of one material body (after its "MATL" header): u32 version, name, u32, u32
// sides, f32 opacity, four RGB colours, f32 shininess, u32 count, then per entry u32 slot, name, f32
// amount. A material of another version is passed over rather than misread.
void ReadMaterialTextures(ByteReader& reader, std::vector<TMeshTextureEntry>& entries) {
    constexpr std::uint64_t kFixedFields = 4 + 4 + 4 + 12 * 4 + 4;
    constexpr std::uint64_t kMinEntry = 4 + 4 + 4;  // slot, empty name, amount
    std::string name;
    std::uint32_t version = 0, count = 0;
    if (!reader.ReadU32(version) || version != kMaterialVersion) return;
    if (!ReadCountedName(reader, name) || !reader.Skip(kFixedFields) || !reader.ReadU32(count)) return;
    for (std::uint32_t i = 0; i < count && reader.Fits(1, kMinEntry); ++i) {
        TMeshTextureEntry entry;
        float amount = 0;
        if (!reader.ReadU32(entry.Slot) || !ReadCountedName(reader, entry.Name) || !reader.ReadF32(amount)) return;
        entries.push_back(std::move(entry));
    }
}

}  // namespace

std::vector<TMeshTextureEntry> MeshTextureEntries(const TMesh& mesh) {
    std::vector<TMeshTextureEntry> entries;
    for (const TChunk& chunk : mesh.Chunks()) {
        ByteReader reader(chunk.Data);
        const std::string tag = chunk.GetTag();
        if (tag == "CHNK") {
            // u32 version, the chunk index, then the material's own header.
            std::array<char, 4> inner{};
            std::uint32_t skip = 0;
            if (!reader.Skip(8) || !reader.ReadTag(inner) || !reader.ReadU32(skip)) continue;
            if (std::string_view(inner.data(), 4) != "MATL") continue;
        } else if (tag != "MATL") {
            continue;
        }
        ReadMaterialTextures(reader, entries);
    }
    return entries;
}

std::vector<std::string> MeshTextureNames(const TMesh& mesh) {
    std::vector<std::string> names;
    std::set<std::string> seen;  // lower case
    for (const TMeshTextureEntry& entry : MeshTextureEntries(mesh)) {
        const std::string file = ExtractFileName(entry.Name);
        if (entry.Slot != kDiffuseSlot || file.empty()) continue;
        if (seen.insert(LowerCase(file)).second) names.push_back(file);
    }
    return names;
}

std::optional<TATCHE> FindAttachmentPoint(const TMesh& mesh, std::string_view pointName) {
    for (const TChunk& chunk : mesh.Chunks()) {
        if (chunk.GetTag() != "ATCH") continue;
        const TATCH points(chunk.Data);
        for (const TATCHE& p : points.Entries())
            if (p.Name == pointName) return p;
    }
    return std::nullopt;
}

std::string FindAttachmentInMesh(std::string_view meshFile, std::string_view pointName) {
    TMesh mesh(meshFile);
    if (!mesh.SetActive(true).empty()) return {};
    const std::optional<TATCHE> point = FindAttachmentPoint(mesh, pointName);
    return point ? AttachmentCoords(*point) + "," + point->Name : std::string();
}

std::string FindAttachment(std::string_view folder, std::string_view pointName) {
    std::vector<std::string> meshes;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.im", meshes);
    for (const std::string& mesh : meshes)
        if (std::string found = FindAttachmentInMesh(mesh, pointName); !found.empty()) return found;
    return {};
}

}  // namespace kelvarn
