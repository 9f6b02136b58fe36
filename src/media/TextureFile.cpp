#include "media/TextureFile.h"

#include <cstring>

#include "media/DxtCodec.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// Bounds-checked reads over the file.
struct Reader {
    ByteSpan data;
    std::uint64_t pos = 0;

    bool Has(std::uint64_t n) const { return pos <= data.size() && data.size() - pos >= n; }
    bool U32(std::uint32_t& v) {
        if (!Has(4)) return false;
        v = GetU32(data.data() + pos);
        pos += 4;
        return true;
    }
    bool Tag(char out[4]) {
        if (!Has(4)) return false;
        std::memcpy(out, data.data() + pos, 4);
        pos += 4;
        return true;
    }
};

int ScanAlphaKind(const RawImage& img) {
    int kind = 2;
    for (std::size_t i = 3; i < img.Pixels.size(); i += 4)
        if (img.Pixels[i] != 0 && img.Pixels[i] != 255) return 1;
    return kind;
}

// Uncompressed level data: 4 bytes B, G, R, A per pixel, rows from the top.
void DecodeUncompressed(const std::uint8_t* src, int w, int h, bool dropAlpha, RawImage& out) {
    out.Allocate(w, h, dropAlpha ? 3 : 4, false);
    const int bpp = out.BytesPerPixel;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src + static_cast<std::size_t>(h - 1 - y) * w * 4;
        std::uint8_t* d = out.Pixels.data() + static_cast<std::size_t>(y) * out.RowBytes();
        for (int x = 0; x < w; ++x, s += 4, d += bpp) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            if (bpp == 4) d[3] = s[3];
        }
    }
}

bool DecodeDxtLevel(int format, const std::uint8_t* src, std::uint64_t size, TextureResult& r) {
    const DxtFormat dxt = format == 10 ? DxtFormat::Dxt1 : format == 11 ? DxtFormat::Dxt3 : DxtFormat::Dxt5;
    const int w = static_cast<int>(r.info.width);
    const int h = static_cast<int>(r.info.height);
    if (!DecodeDxt(dxt, w, h, r.info.alphaHint, ByteSpan(src, size), r.image)) {
        r.fault = TextureFault::DxtFailed;
        return false;
    }
    r.info.compression = static_cast<int>(dxt);
    if (dxt == DxtFormat::Dxt1) r.info.alphaKind = r.info.alphaHint == 2 ? 2 : 0;
    else r.info.alphaKind = 1;
    return true;
}

TextureResult Fail(TextureResult& r, TextureFault fault) {
    r.fault = fault;
    r.image = RawImage{};
    return std::move(r);
}

bool SizeAllowed(const TextureInfo& info, std::int64_t maxPixels) {
    return ImageSizeAllowed(info.width, info.height) &&
           static_cast<std::int64_t>(info.width) * info.height <= maxPixels;
}

// Compares an FT2E pixel format in either byte order: the simulator stores it as a little-endian
// number, so its files read "1txd" where the code is "dxt1".
bool SameCode(const char tag[4], const char* code) {
    return std::memcmp(tag, code, 4) == 0 ||
           (tag[0] == code[3] && tag[1] == code[2] && tag[2] == code[1] && tag[3] == code[0]);
}

TextureResult ReadFt2eTexture(Reader& in, const TextureAlphaModes& modes, std::int64_t maxPixels, TextureResult& r) {
    std::uint32_t version, width, height;
    if (!in.U32(version) || !in.U32(width) || !in.U32(height)) return Fail(r, TextureFault::ShortHeader);
    r.info.width = width;
    r.info.height = height;
    std::uint32_t mipSkip, levels, alphaMode, type, slices;
    if (version == 7) {
        if (!in.Has(8)) return Fail(r, TextureFault::ShortHeader);
        const std::uint8_t* f = in.data.data() + in.pos;
        in.pos += 8;
        mipSkip = f[0];
        levels = f[1];
        alphaMode = f[2];
        type = f[3];
        slices = f[4];
        r.info.wrapS = f[5] == 2 || f[5] == 3;
        r.info.wrapT = f[6] == 2 || f[6] == 3;
        if (mipSkip != 0 || (type != 0 && type != 2) || slices != 1) return Fail(r, TextureFault::CompactRefused);
        r.info.alphaHint = alphaMode < 4 ? modes.compact[alphaMode] : 0;
    } else {
        if (!in.U32(mipSkip) || !in.U32(levels) || !in.U32(alphaMode) || !in.U32(type) || !in.U32(slices))
            return Fail(r, TextureFault::ShortHeader);
        if (mipSkip != 0) {
            r.value = mipSkip;
            return Fail(r, TextureFault::MipSkip);
        }
        if (type != 0 && type != 2) {
            r.value = type;
            return Fail(r, TextureFault::TextureType);
        }
        if (slices == 6) return Fail(r, TextureFault::Cubes);
        if (slices != 1) {
            r.value = slices;
            return Fail(r, TextureFault::Slices);
        }
        r.info.alphaHint = alphaMode < 4 ? modes.full[alphaMode] : 0;
    }
    char format[4];
    std::uint32_t unused, level0;
    if (!in.Tag(format) || !in.U32(unused) || !in.U32(level0)) return Fail(r, TextureFault::ShortHeader);
    // Level sizes 1..n-1 follow; their data comes before level 0's.
    const std::uint64_t more = levels > 1 ? levels - 1 : 0;
    if (!in.Has(more * 4)) return Fail(r, TextureFault::ShortHeader);
    std::uint64_t skip = 0;
    for (std::uint64_t i = 0; i < more; ++i) {
        std::uint32_t s;
        in.U32(s);
        skip += s;
    }
    if (!SizeAllowed(r.info, maxPixels)) return Fail(r, TextureFault::ShortHeader);
    const bool rgba = SameCode(format, "rgba");
    const int dxt = SameCode(format, "dxt1") ? 10 : SameCode(format, "dxt3") ? 11 : SameCode(format, "dxt5") ? 12 : 0;
    if (!rgba && dxt == 0) {
        r.fourCC.assign(format, 4);
        return Fail(r, TextureFault::PixelFormat);
    }
    if (!in.Has(skip) || !in.Has(skip + level0)) return Fail(r, TextureFault::ShortLevel);
    const std::uint8_t* level = in.data.data() + in.pos + skip;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    if (rgba) {
        if (level0 != static_cast<std::uint64_t>(w) * h * 4) return Fail(r, TextureFault::LevelSizeMismatch);
        r.image.Allocate(w, h, 4, false);
        std::memcpy(r.image.Pixels.data(), level, level0);
        r.info.alphaKind = 1;
    } else if (!DecodeDxtLevel(dxt, level, level0, r)) {
        return Fail(r, TextureFault::DxtFailed);
    }
    r.infoRead = true;
    return std::move(r);
}

TextureResult DecodeJirf(Reader& in, std::int64_t maxPixels, TextureResult& r) {
    r.info.jirf = true;
    std::uint32_t containerSize, infoSize;
    char form[8];
    if (!in.U32(containerSize) || !in.Tag(form) || !in.Tag(form + 4)) return Fail(r, TextureFault::ShortHeader);
    if (std::memcmp(form, "MMTFINFO", 8) != 0) return Fail(r, TextureFault::NotMmtfInfo);
    if (!in.U32(infoSize)) return Fail(r, TextureFault::ShortHeader);
    const std::uint64_t infoEnd = in.pos + infoSize;
    std::uint32_t f[14];
    for (std::uint32_t& v : f)
        if (!in.U32(v)) return Fail(r, TextureFault::ShortHeader);
    // f: version, the two u16 fields, count A, count B, format, width, height, dynamic, wrap S,
    // wrap T, four unused fields, then the alpha hint.
    const std::uint32_t version = f[0] < 0x103 ? 0x103 : f[0];
    const std::uint64_t chunks = static_cast<std::uint64_t>(f[2]) * f[3];
    const std::uint32_t format = f[4];
    r.info.width = f[5];
    r.info.height = f[6];
    r.info.dynamic = f[7] == 1;
    r.info.wrapS = f[8] == 2;
    r.info.wrapT = f[9] == 2;
    std::uint32_t alphaHint;
    if (!in.U32(alphaHint)) return Fail(r, TextureFault::ShortHeader);
    r.info.alphaHint = static_cast<int>(alphaHint > 2 ? 0 : alphaHint);
    std::uint32_t skipped;
    if (version > 0x103 && !in.U32(skipped)) return Fail(r, TextureFault::ShortHeader);
    if (version > 0x104)
        for (int i = 0; i < 3; ++i)
            if (!in.U32(skipped)) return Fail(r, TextureFault::ShortHeader);
    if (version > 0x106) {
        std::uint32_t normal;
        if (!in.U32(normal)) return Fail(r, TextureFault::ShortHeader);
        r.info.normalMap = normal == 1;
    }
    if (infoEnd < in.pos) return Fail(r, TextureFault::ShortHeader);
    if (format > 12) return Fail(r, TextureFault::BadFormat);
    r.info.format = static_cast<int>(format);
    r.infoRead = true;
    if (!SizeAllowed(r.info, maxPixels)) return Fail(r, TextureFault::ShortHeader);
    in.pos = infoEnd;

    if (chunks == 0) return Fail(r, TextureFault::NoChunks);
    for (std::uint64_t c = 0; c < chunks; ++c) {
        char tag[4];
        std::uint32_t size;
        if (!in.Tag(tag) || !in.U32(size)) return Fail(r, TextureFault::ShortHeader);
        if (std::memcmp(tag, "MMAP", 4) != 0) return Fail(r, TextureFault::BadChunkTag);
        if (c + 1 < chunks) {
            in.pos += size;
            continue;
        }
        const int w = static_cast<int>(r.info.width);
        const int h = static_cast<int>(r.info.height);
        if (format < 10) {
            if (size != static_cast<std::uint64_t>(w) * h * 4) return Fail(r, TextureFault::LevelSizeMismatch);
            if (!in.Has(size)) return Fail(r, TextureFault::ShortLevel);
            DecodeUncompressed(in.data.data() + in.pos, w, h, format == 3, r.image);
            r.info.alphaKind = format == 3 ? 0 : ScanAlphaKind(r.image);
        } else {
            if (!in.Has(size)) return Fail(r, TextureFault::ShortLevel);
            if (!DecodeDxtLevel(static_cast<int>(format), in.data.data() + in.pos, size, r))
                return Fail(r, TextureFault::DxtFailed);
        }
    }
    return std::move(r);
}

}  // namespace

std::string TextureFaultText(const TextureResult& result) {
    switch (result.fault) {
        case TextureFault::None: return {};
        case TextureFault::ShortHeader: return "its header is cut short or gives an impossible size";
        case TextureFault::NotMmtfInfo: return "its JIRF container is not a texture (no MMTF INFO chunk)";
        case TextureFault::BadTag: return "it is no texture file (it begins neither with FT2E nor with JIRF)";
        case TextureFault::BadFormat: return "its INFO chunk names an unknown pixel format";
        case TextureFault::BadChunkTag: return "a picture chunk is not an MMAP chunk";
        case TextureFault::ShortLevel: return "its picture data is cut short";
        case TextureFault::LevelSizeMismatch: return "its picture data is not the size the header gives";
        case TextureFault::NoChunks: return "it holds no picture";
        case TextureFault::CompactRefused: return "its header asks for a mip skip, texture type or slice count that is not supported";
        case TextureFault::MipSkip: return "Mip Skip: " + std::to_string(result.value) + " NON ZERO value not supported";
        case TextureFault::TextureType: return "Texture Type: " + std::to_string(result.value) + " NOT supported";
        case TextureFault::Cubes: return "texture cubes not supported";
        case TextureFault::Slices: return "only 1 texture slice allowed";
        case TextureFault::PixelFormat:
            // Any four bytes, shown as text.
            return "\"" + DecodeText(result.fourCC).text + "\" pixel format NOT supported";
        case TextureFault::DxtFailed: return "its compressed picture data does not fit the texture's size";
    }
    return {};
}

TextureResult DecodeTexture(ByteSpan data, const TextureAlphaModes& modes, std::int64_t maxPixels) {
    TextureResult r;
    Reader in{data};
    char tag[4];
    if (!in.Tag(tag)) return Fail(r, TextureFault::ShortHeader);
    if (std::memcmp(tag, "FT2E", 4) == 0) return ReadFt2eTexture(in, modes, maxPixels, r);
    if (std::memcmp(tag, "JIRF", 4) != 0) return Fail(r, TextureFault::BadTag);
    return DecodeJirf(in, maxPixels, r);
}

std::vector<std::string> WriteTextureDescriptor(const std::string& textureFileName, const TextureInfo& info) {
    const std::string base = textureFileName.size() >= 8 ? textureFileName.substr(0, textureFileName.size() - 8)
                                                          : std::string();
    const std::string name = base + ".tga";
    std::vector<std::string> lines;
    lines.push_back("Primary=" + name);
    const bool noAlpha = (info.jirf && (info.format == 3 || info.format == 10)) || info.alphaHint == 2;
    if (!noAlpha) lines.push_back("Alpha=" + name);
    lines.push_back(info.wrapS && info.wrapT ? "Tile=st" : info.wrapS ? "Tile=s" : info.wrapT ? "Tile=t" : "Tile=none");
    if (info.jirf && info.dynamic) lines.push_back("Hint=dynamic");
    if (info.alphaHint == 1) lines.push_back("AlphaHint=semitransparent");
    else if (info.alphaHint == 2) lines.push_back("AlphaHint=masked");
    if (info.jirf && info.normalMap) lines.push_back("NormalMapHint=normalmap");
    return lines;
}

}  // namespace kelvarn
