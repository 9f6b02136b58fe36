#include "media/TextReportLibrary.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <type_traits>

#include "media/ImageBytes.h"
#include "media/ImageSize.h"
#include "media/MeshTextures.h"
#include "media/TextureFile.h"
#include "shell/ByteReader.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::size_t kHexBytes = 4096;
constexpr std::size_t kHexLine = 16;
constexpr std::size_t kChunkHeadBytes = 16;
// Enough for every header field and a TGA's whole ID text.
constexpr std::size_t kHeaderBytes = 18 + 255;
// Nested chunks deeper than this are listed by their header alone: a damaged file cannot make the
// report recurse without end.
constexpr int kMaxDepth = 8;
constexpr std::uint32_t kMaterialVersion = 103;

std::string Hex(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

bool PrintableTag(std::string_view tag) {
    return tag.size() == 4 && std::all_of(tag.begin(), tag.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

std::string HexBytes(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) text += ' ';
        text += Hex(static_cast<unsigned char>(bytes[i]), 2);
    }
    return text;
}

// Three decimals, as FormatDouble(value, 3) writes them but without a conversion call per number. A
// float times 1000 is exact in a double, so rounding that product to a whole number rounds the float
// exactly as the decimal conversion would.
struct Fixed {
    float value;
};

// One report line built in place: a mesh report is many short lines, and building each through
// temporaries cost more than reading the mesh. The text gathers on the stack, so that each line costs
// one allocation at most.
class TLine {
public:
    explicit TLine(int depth) {
        used_ = std::min(static_cast<std::size_t>(depth) * 2, sizeof short_);
        std::memset(short_, ' ', used_);
    }
    TLine& operator<<(std::string_view s) {
        Append(s);
        return *this;
    }
    // Literals, whose length is known here, are copied without a call.
    template <std::size_t N>
    TLine& operator<<(const char (&s)[N]) {
        if (!spilled_ && used_ + N - 1 <= sizeof short_) {
            std::memcpy(short_ + used_, s, N - 1);
            used_ += N - 1;
            return *this;
        }
        return *this << std::string_view(s, N - 1);
    }
    TLine& operator<<(const std::string& s) { return *this << std::string_view(s); }
    template <class T>
        requires std::is_integral_v<T> && (!std::is_same_v<T, char>) && (!std::is_same_v<T, bool>)
    TLine& operator<<(T n) {
        constexpr std::size_t kDigits = 24;
        if (!spilled_ && used_ + kDigits <= sizeof short_) {
            used_ = static_cast<std::size_t>(std::to_chars(short_ + used_, short_ + used_ + kDigits, n).ptr - short_);
            return *this;
        }
        char digits[kDigits];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        Append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        return *this;
    }
    TLine& operator<<(Fixed f) {
        const double thousandths = std::fabs(static_cast<double>(f.value) * 1000.0);
        if (!(thousandths < 9e15)) return *this << FormatDouble(f.value, 3);
        // Rounded half to even, as the decimal conversion rounds; below 2^53 the fraction is exact.
        std::uint64_t magnitude = static_cast<std::uint64_t>(thousandths);
        const double fraction = thousandths - static_cast<double>(magnitude);
        if (fraction > 0.5 || (fraction == 0.5 && (magnitude & 1))) ++magnitude;
        if (std::signbit(f.value)) *this << "-";
        *this << magnitude / 1000;
        const unsigned part = static_cast<unsigned>(magnitude % 1000);
        const char decimals[] = {'.', static_cast<char>('0' + part / 100), static_cast<char>('0' + part / 10 % 10),
                                 static_cast<char>('0' + part % 10), '\0'};
        return *this << decimals;
    }
    // The tag as text, with anything unprintable shown by its code.
    TLine& Tag(std::string_view tag) {
        for (char c : tag) {
            if (c >= 0x20 && c < 0x7F)
                Append(std::string_view(&c, 1));
            else
                Append("\\x" + Hex(static_cast<unsigned char>(c), 2));
        }
        return *this;
    }
    std::string Take() { return spilled_ ? std::move(long_) : std::string(short_, used_); }
    void AddTo(std::vector<std::string>& lines) { lines.push_back(Take()); }

private:
    void Append(std::string_view s) {
        if (!spilled_ && used_ + s.size() <= sizeof short_) {
            std::memcpy(short_ + used_, s.data(), s.size());
            used_ += s.size();
            return;
        }
        if (!spilled_) {
            long_.reserve(2 * (used_ + s.size()));
            long_.assign(short_, used_);
            spilled_ = true;
        }
        long_.append(s);
    }

    char short_[192];
    std::size_t used_ = 0;
    bool spilled_ = false;
    std::string long_;
};

std::string ShowTag(std::string_view tag) { return TLine(0).Tag(tag).Take(); }

void ChunkLine(int depth, std::string_view tag, std::uint64_t offset, std::uint64_t size,
               std::vector<std::string>& lines) {
    (TLine(depth).Tag(tag) << "  offset " << offset << "  size " << size).AddTo(lines);
}

void Note(int depth, std::string_view text, std::vector<std::string>& lines) { (TLine(depth) << text).AddTo(lines); }

// A material body: u32 version, name, u32, u32 sides, f32 opacity, four RGB colours, f32 shininess,
// u32 count, then per texture u32 slot, name, f32 amount.
void MaterialReport(std::string_view data, int depth, std::vector<std::string>& lines) {
    ByteReader r(data);
    std::uint32_t version = 0;
    if (!r.ReadU32(version)) return Note(depth, "(no version)", lines);
    (TLine(depth) << "version " << version).AddTo(lines);
    if (version != kMaterialVersion) return Note(depth, "(a material layout this reader does not know)", lines);
    std::string name;
    std::uint32_t unused = 0, sides = 0, count = 0;
    float opacity = 0, shininess = 0;
    std::array<float, 12> colours{};
    if (!ReadCountedName(r, name) || !r.ReadU32(unused) || !r.ReadU32(sides) || !r.ReadF32(opacity) ||
        !r.ReadF32Array(colours.data(), colours.size()) || !r.ReadF32(shininess) || !r.ReadU32(count))
        return Note(depth, "(material cut short)", lines);
    (TLine(depth) << "material \"" << name << "\"").AddTo(lines);
    (TLine(depth) << "sides " << sides << ", opacity " << Fixed{opacity} << ", shininess " << Fixed{shininess})
        .AddTo(lines);
    static constexpr std::string_view kColourNames[] = {"ambient ", "diffuse ", "specular ", "emission "};
    for (std::size_t c = 0; c < 4; ++c)
        (TLine(depth) << kColourNames[c] << Fixed{colours[c * 3]} << ", " << Fixed{colours[c * 3 + 1]} << ", "
                      << Fixed{colours[c * 3 + 2]})
            .AddTo(lines);
    (TLine(depth) << "textures " << count).AddTo(lines);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t slot = 0;
        std::string texture;
        float amount = 0;
        if (!r.ReadU32(slot) || !ReadCountedName(r, texture) || !r.ReadF32(amount))
            return Note(depth + 1, "(texture entries cut short)", lines);
        (TLine(depth + 1) << "slot " << slot << ": \"" << texture << "\", amount " << Fixed{amount}).AddTo(lines);
    }
}

// The geometry's header: its version and counts, in the layouts of the versions makers write.
void GeometryReport(std::string_view data, int depth, std::vector<std::string>& lines) {
    ByteReader r(data);
    std::uint32_t version = 0, unused = 0, tangents = 0, vertices = 0, triangles = 0;
    if (!r.ReadU32(version)) return Note(depth, "(no version)", lines);
    (TLine(depth) << "version " << version).AddTo(lines);
    bool whole = r.ReadU32(unused);
    if (version >= 101) {
        if (version >= 201) whole = whole && r.ReadU32(tangents);
        whole = whole && r.ReadU32(unused);
    }
    whole = whole && r.ReadU32(vertices) && r.ReadU32(triangles);
    if (!whole) return Note(depth, "(geometry header cut short)", lines);
    TLine counts(depth);
    counts << "vertices " << vertices << ", triangles " << triangles;
    if (version >= 201) counts << ", tangents " << std::string_view(tangents ? "yes" : "no");
    counts.AddTo(lines);
}

void AttachmentReport(std::string_view data, int depth, std::vector<std::string>& lines) {
    const TATCH points(data);
    (TLine(depth) << "points " << points.Count()).AddTo(lines);
    for (const TATCHE& point : points.Entries()) (TLine(depth + 1) << AttachmentToCsv(point)).AddTo(lines);
}

void VersionReport(std::string_view data, int depth, std::vector<std::string>& lines) {
    if (data.size() >= 4) (TLine(depth) << "version " << ByteReader::Decode<std::uint32_t>(data.data())).AddTo(lines);
}

void ChunkBodyReport(std::string_view tag, std::string_view data, std::uint64_t dataOffset, int depth,
                     std::vector<std::string>& lines);

// The chunks laid one after another in `data`, which starts at file offset `offset`.
void NestedChunks(std::string_view data, std::uint64_t offset, int depth, std::vector<std::string>& lines) {
    ByteReader r(data);
    while (!r.AtEnd()) {
        const std::uint64_t at = r.Position();
        std::array<char, 4> tag{};
        std::uint32_t size = 0;
        std::string_view body;
        if (!r.ReadTag(tag) || !r.ReadU32(size) || !r.ReadBytes(size, body)) {
            (TLine(depth) << "(" << data.size() - at << " bytes at offset " << offset + at << " hold no whole chunk)")
                .AddTo(lines);
            return;
        }
        const std::string_view name(tag.data(), tag.size());
        ChunkLine(depth, name, offset + at, size, lines);
        ChunkBodyReport(name, body, offset + at + 8, depth + 1, lines);
    }
}

void ChunkBodyReport(std::string_view tag, std::string_view data, std::uint64_t dataOffset, int depth,
                     std::vector<std::string>& lines) {
    if (tag == "MATL") return MaterialReport(data, depth, lines);
    if (tag == "GEOM") return GeometryReport(data, depth, lines);
    if (tag == "ATCH") return AttachmentReport(data, depth, lines);
    if (tag == "CHNK") {
        // u32 version, the chunk's index, then the material and geometry chunks.
        if (data.size() < 8) return VersionReport(data, depth, lines);
        (TLine(depth) << "version " << ByteReader::Decode<std::uint32_t>(data.data()) << ", chunk "
                      << ByteReader::Decode<std::uint32_t>(data.data() + 4))
            .AddTo(lines);
        if (depth < kMaxDepth) NestedChunks(data.substr(8), dataOffset + 8, depth, lines);
        return;
    }
    VersionReport(data, depth, lines);
}

void FileLines(std::string_view kind, std::uint64_t size, std::vector<std::string>& lines) {
    lines.push_back(std::string(kind) + ", " + std::to_string(size) + " bytes");
}

std::uint32_t U32At(std::string_view b, std::size_t at) { return ByteReader::Decode<std::uint32_t>(b.data() + at); }
std::uint16_t U16At(std::string_view b, std::size_t at) { return ByteReader::Decode<std::uint16_t>(b.data() + at); }
std::int32_t I32At(std::string_view b, std::size_t at) { return static_cast<std::int32_t>(U32At(b, at)); }

std::string Field(std::string_view name, std::uint64_t value) { return std::string(name) + ": " + std::to_string(value); }

const char* TgaTypeName(int type) {
    switch (type) {
        case 0: return "no picture";
        case 1: return "colour-mapped";
        case 2: return "true-colour";
        case 3: return "greyscale";
        case 9: return "colour-mapped, run-length";
        case 10: return "true-colour, run-length";
        case 11: return "greyscale, run-length";
        default: return "unknown";
    }
}

const char* BmpCompressionName(std::uint32_t compression) {
    switch (compression) {
        case 0: return "none";
        case 1: return "RLE8";
        case 2: return "RLE4";
        case 3: return "bit fields";
        case 4: return "JPEG";
        case 5: return "PNG";
        case 6: return "alpha bit fields";
        default: return "unknown";
    }
}

bool FileDump(const std::string& file, std::vector<std::string>& lines) {
    std::string bytes;
    if (!ReadFileBytes(file, bytes).empty() || bytes.empty()) return false;
    const std::string ext = LowerCase(ExtractFileExt(file));
    if (ext == ".im" || ext == ".pm") {
        TMesh mesh(file);
        const std::string error = mesh.LoadBytes(std::move(bytes));
        if (error.empty()) {
            MeshChunkReport(mesh, lines);
            return true;
        }
        // The mesh reader took the bytes; a damaged mesh is read again for the plain dumps.
        if (!ReadFileBytes(file, bytes).empty() || bytes.empty()) return false;
        lines.push_back(error);
    }
    if (!JirfChunkReport(bytes, lines)) HexReport(bytes, lines);
    return true;
}

// The header is all the picture reports read, however large the picture.
template <class Report>
bool HeaderDump(const std::string& file, Report report, std::vector<std::string>& lines) {
    std::ifstream in(FsPath(file), std::ios::binary);
    if (!in) return false;
    std::string bytes(kHeaderBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return report(bytes, lines);
}

bool TextureDescriptor(const std::string& file, std::vector<std::string>& lines) {
    std::string bytes;
    if (!ReadFileBytes(file, bytes).empty()) return false;
    const TextureResult result = DecodeTexture(AsBytes(bytes));
    if (!result.infoRead) return false;
    lines = WriteTextureDescriptor(ExtractFileName(file), result.info);
    return true;
}

}  // namespace

void MeshChunkReport(const TMesh& mesh, std::vector<std::string>& lines) {
    lines.reserve(lines.size() + 8 * mesh.Chunks().size() + 8);
    FileLines("JIRF IDXM", mesh.Size(), lines);
    for (const TChunk& chunk : mesh.Chunks()) {
        const std::string_view tag(chunk.Tag.data(), chunk.Tag.size());
        ChunkLine(0, tag, chunk.Offset, chunk.Size, lines);
        ChunkBodyReport(tag, chunk.Data, std::uint64_t{chunk.Offset} + 8, 1, lines);
    }
}

bool JirfChunkReport(std::string_view bytes, std::vector<std::string>& lines) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "JIRF") return false;
    const std::uint64_t length = U32At(bytes, 4);
    FileLines("JIRF " + ShowTag(bytes.substr(8, 4)), bytes.size(), lines);
    if (length + 8 != bytes.size())
        lines.push_back("length field " + std::to_string(length) + ", but " + std::to_string(bytes.size() - 8) +
                        " bytes follow it");
    ByteReader r(bytes);
    r.Seek(12);
    while (!r.AtEnd()) {
        const std::uint64_t at = r.Position();
        std::array<char, 4> tag{};
        std::uint32_t size = 0;
        std::string_view body;
        if (!r.ReadTag(tag) || !r.ReadU32(size) || !r.ReadBytes(size, body) ||
            !PrintableTag(std::string_view(tag.data(), 4))) {
            lines.push_back("(" + std::to_string(bytes.size() - at) + " bytes at offset " + std::to_string(at) +
                            " hold no whole chunk)");
            break;
        }
        TLine line(0);
        line.Tag(std::string_view(tag.data(), 4)) << "  offset " << at << "  size " << size;
        if (size >= 4) line << "  version " << U32At(body, 0);
        line.AddTo(lines);
        if (!body.empty()) lines.push_back("  " + HexBytes(body.substr(0, kChunkHeadBytes)) + (size > kChunkHeadBytes ? " ..." : ""));
    }
    return true;
}

void HexReport(std::string_view bytes, std::vector<std::string>& lines) {
    const std::size_t shown = std::min(bytes.size(), kHexBytes);
    lines.push_back(std::to_string(bytes.size()) + " bytes" +
                    (shown < bytes.size() ? ", the first " + std::to_string(shown) + " shown" : std::string()));
    for (std::size_t at = 0; at < shown; at += kHexLine) {
        const std::string_view row = bytes.substr(at, std::min(kHexLine, shown - at));
        std::string text = Hex(at, 8) + "  " + HexBytes(row);
        text.append((kHexLine - row.size()) * 3, ' ');
        text += "  ";
        for (char c : row) text += (c >= 0x20 && c < 0x7F) ? c : '.';
        lines.push_back(std::move(text));
    }
}

// A TGA has no signature: its header's fields must hold values a picture can have, else any file (a
// JPEG under a .tga name) would be dumped as one.
bool IsTgaHeader(std::string_view b) {
    const auto byte = [&b](std::size_t at) { return static_cast<unsigned char>(b[at]); };
    const int mapType = byte(1), type = byte(2), depth = byte(16);
    const bool mapped = type == 1 || type == 9;
    if (mapType > 1 || (mapped && mapType != 1)) return false;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) return false;
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
    return U16At(b, 12) > 0 && U16At(b, 14) > 0;
}

bool TgaHeaderReport(std::string_view b, std::vector<std::string>& lines) {
    if (b.size() < 18 || !IsTgaHeader(b)) return false;
    const auto byte = [&b](std::size_t at) { return static_cast<unsigned char>(b[at]); };
    const int type = byte(2);
    const int descriptor = byte(17);
    lines.push_back(Field("ID length", byte(0)));
    lines.push_back(Field("Colour map type", byte(1)));
    lines.push_back("Image type: " + std::to_string(type) + " (" + TgaTypeName(type) + ")");
    lines.push_back(Field("Colour map first entry", U16At(b, 3)));
    lines.push_back(Field("Colour map length", U16At(b, 5)));
    lines.push_back(Field("Colour map entry size", byte(7)));
    lines.push_back(Field("X origin", U16At(b, 8)));
    lines.push_back(Field("Y origin", U16At(b, 10)));
    lines.push_back(Field("Width", U16At(b, 12)));
    lines.push_back(Field("Height", U16At(b, 14)));
    lines.push_back(Field("Pixel depth", byte(16)));
    lines.push_back("Image descriptor: " + std::to_string(descriptor) + " (alpha bits " + std::to_string(descriptor & 15) +
                    ", origin " + ((descriptor & 0x20) ? "top" : "bottom") + " " +
                    ((descriptor & 0x10) ? "right" : "left") + ")");
    if (byte(0) > 0) {
        const std::string_view id = b.substr(18, std::min<std::size_t>(byte(0), b.size() - 18));
        lines.push_back("Image ID: " + DecodeText(id).text);
    }
    return true;
}

bool BmpHeaderReport(std::string_view b, std::vector<std::string>& lines) {
    if (b.size() < 18 || b.substr(0, 2) != "BM") return false;
    lines.push_back("Signature: BM");
    lines.push_back(Field("File size", U32At(b, 2)));
    lines.push_back(Field("Reserved", U32At(b, 6)));
    lines.push_back(Field("Pixel data offset", U32At(b, 10)));
    const std::uint32_t headerSize = U32At(b, 14);
    lines.push_back(Field("Header size", headerSize));
    if (headerSize == 12) {
        // The old core header: 16-bit sides.
        if (b.size() < 26) return true;
        lines.push_back(Field("Width", U16At(b, 18)));
        lines.push_back(Field("Height", U16At(b, 20)));
        lines.push_back(Field("Planes", U16At(b, 22)));
        lines.push_back(Field("Bits per pixel", U16At(b, 24)));
        return true;
    }
    if (b.size() < 54 || headerSize < 40) {
        lines.push_back("(info header cut short)");
        return true;
    }
    lines.push_back("Width: " + std::to_string(I32At(b, 18)));
    lines.push_back("Height: " + std::to_string(I32At(b, 22)) + (I32At(b, 22) < 0 ? " (rows from the top)" : ""));
    lines.push_back(Field("Planes", U16At(b, 26)));
    lines.push_back(Field("Bits per pixel", U16At(b, 28)));
    lines.push_back("Compression: " + std::to_string(U32At(b, 30)) + " (" + BmpCompressionName(U32At(b, 30)) + ")");
    lines.push_back(Field("Image size", U32At(b, 34)));
    lines.push_back("X pixels per metre: " + std::to_string(I32At(b, 38)));
    lines.push_back("Y pixels per metre: " + std::to_string(I32At(b, 42)));
    lines.push_back(Field("Colours used", U32At(b, 46)));
    lines.push_back(Field("Important colours", U32At(b, 50)));
    return true;
}

bool TextReportLibrary::CallTextLibrary(int op, const std::string& file, std::vector<std::string>& lines) {
    lines.clear();
    switch (op) {
        case toFileDump:
            return FileDump(file, lines);
        case toTgaHeader:
            return HeaderDump(file, TgaHeaderReport, lines);
        case toBmpHeader:
            return HeaderDump(file, BmpHeaderReport, lines);
        case toAttachmentNames:
        case toMeshTextures: {
            TMesh mesh(file);
            if (!mesh.SetActive(true).empty()) return false;
            lines = op == toAttachmentNames ? MeshAttachmentNames(mesh) : GetMeshTextures(mesh);
            return true;
        }
        case toTextureProblems: {
            auto problems = GetMeshTextureProblems(file);
            if (!problems) return false;
            lines = problems->empty() ? std::vector<std::string>{"  none"} : std::move(*problems);
            return true;
        }
        case toTextureDescriptor:
            return TextureDescriptor(file, lines);
        case toImageSize: {
            const auto size = GetImageSize(file);
            if (!size) return false;
            lines = {std::to_string(size->Width), std::to_string(size->Height)};
            return true;
        }
        default:
            return false;
    }
}

}  // namespace kelvarn
