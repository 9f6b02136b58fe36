// Indexed meshes (".im", ".pm") as the outline, validation, the scripts and the table view see them: a
// "JIRF" file of form "IDXM" split into its top-level chunks, and the attachment points of its "ATCH"
// chunks. The mesh viewer reads the full model itself (media/Model3D.h) and shares the name decoder
// and the angle formula below with this reader.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class ByteReader;

// A name inside a mesh: a u32 length (0x40000000 is taken off a length of at least that), then that
// many bytes. NULs are dropped, at most 255 bytes kept, the rest trimmed and decoded as every outside
// text is (UTF-8, else Windows-1252). False, with nothing read, when the bytes are not all there.
bool ReadCountedName(ByteReader& reader, std::string& name);

// One top-level chunk. Its data stays inside the mesh's buffer and lives as long as the mesh is active.
struct TChunk {
    std::uint32_t Offset = 0;  // position of the chunk's header in the file
    std::array<char, 4> Tag{};
    std::uint32_t Size = 0;  // the size of the data alone
    std::string_view Data;

    std::string GetTag() const { return std::string(Tag.data(), Tag.size()); }
    std::uint32_t GetSize() const { return Size; }
};

class TMesh {
public:
    TMesh() = default;
    explicit TMesh(std::string_view fileName) : fileName_(fileName) {}
    TMesh(const TMesh&) = delete;
    TMesh& operator=(const TMesh&) = delete;
    TMesh(TMesh&&) = default;
    TMesh& operator=(TMesh&&) = default;

    const std::string& FileName() const { return fileName_; }
    // A different name deactivates the mesh and resets Size.
    void SetFileName(std::string_view name);

    bool Active() const { return active_; }
    // Activating reads the file and splits it into chunks; it returns empty on success, else the
    // message ("MESH001F file %s is not a valid mesh", or why the file could not be read), and the mesh
    // then holds nothing. Deactivating drops the chunks.
    std::string SetActive(bool active);
    // Activates on bytes already in memory; FileName names them in the message.
    std::string LoadBytes(std::string bytes);

    std::uint32_t Size() const { return size_; }  // the file size
    int Count() const { return static_cast<int>(chunks_.size()); }
    const TChunk& GetChunk(int index) const { return chunks_.at(static_cast<std::size_t>(index)); }
    const std::vector<TChunk>& Chunks() const { return chunks_; }

private:
    void Deactivate();
    std::string InvalidMesh() const;

    std::string fileName_;
    bool active_ = false;
    std::uint32_t size_ = 0;
    // Owned through a pointer so that the chunks' views stay valid when the mesh is moved.
    std::unique_ptr<const std::string> bytes_;
    std::vector<TChunk> chunks_;
};

// One attachment point: its name, the 3 x 3 orientation by rows, its position.
struct TATCHE {
    std::string Name;
    std::array<float, 9> Matrix{};
    float X = 0, Y = 0, Z = 0;
};

// The points of an "ATCH" chunk's data: u32 (unused), u32 count, then the points. Only whole entries
// are decoded; Count is the number decoded (-1 before reading).
class TATCH {
public:
    explicit TATCH(std::string_view data) { ReadEntries(data); }
    int Count() const { return count_; }
    const TATCHE& GetEntry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    const std::vector<TATCHE>& Entries() const { return entries_; }

private:
    void ReadEntries(std::string_view data);
    int count_ = -1;
    std::vector<TATCHE> entries_;
};

// Euler angles in degrees (about x, y, z) of an orientation matrix given by rows: y = asin(m2) with the
// argument clamped to [-1, 1]; near the poles (|cos y| <= 0.005) x = 0 and z = atan2(m3, m4); else
// x = atan2(-m5, m8) and z = atan2(-m1, m0). An angle below -180 gets 360 added, one above 180 loses 360.
std::array<double, 3> AttachmentEulerAngles(const std::array<float, 9>& m);

// "x,y,z,ax,ay,az": the position with three decimals, the angles with one, "." as the decimal
// separator, and never a "-" before a value that prints as zero.
std::string AttachmentCoords(const TATCHE& entry);
// The name in double quotes, ",", then AttachmentCoords.
std::string AttachmentToCsv(const TATCHE& entry);

// A quick look at a mesh file's header before anything reads it: empty when the file is sound or
// missing, else "*** File is empty ***" (under 4 bytes), "Not a valid mesh file" (no "JIRF"), or "Mesh
// file is corrupt" (no whole length field, or the length + 8 is not the file's size). Reads 8 bytes.
std::string CheckMeshFile(std::string_view path);
// The same rules on a file already read: `head` holds its first bytes (8 or all), `fileSize` its size.
std::string CheckMeshHeader(std::string_view head, std::uint64_t fileSize);

// The names of the points of every "ATCH" chunk, in file order: the point selector's list.
std::vector<std::string> MeshAttachmentNames(const TMesh& mesh);
// One texture entry of a material: the slot it fills (1 diffuse, 8 bump, 9 reflection ...) and the
// name as the mesh holds it, often a full path on the author's machine.
struct TMeshTextureEntry {
    std::uint32_t Slot = 0;
    std::string Name;
};
// Every texture entry of the mesh's materials, in file order, repeats and empty names included. The
// one walk of the materials that the lists below and the texture checks share.
std::vector<TMeshTextureEntry> MeshTextureEntries(const TMesh& mesh);

// The file-name part of every diffuse texture entry (slot 1) of the mesh's materials (a "MATL" chunk
// at the top level or inside a "CHNK"), in file order, each name once (ignoring case): the texture
// list, whose entries the mesh view can highlight. A material stops at the first entry its data
// cannot hold; a material chunk of a version other than 103 adds nothing.
std::vector<std::string> MeshTextureNames(const TMesh& mesh);

// The first point of that exact name in any "ATCH" chunk of a loaded mesh.
std::optional<TATCHE> FindAttachmentPoint(const TMesh& mesh, std::string_view pointName);
// The first point of that exact name in any "ATCH" chunk of the mesh: AttachmentCoords, ",", the name.
// Empty when there is none, and for a file that is no valid mesh.
std::string FindAttachmentInMesh(std::string_view meshFile, std::string_view pointName);
// The same over every ".im" file below the folder, in search order; the first hit wins.
std::string FindAttachment(std::string_view folder, std::string_view pointName);

}  // namespace kelvarn
