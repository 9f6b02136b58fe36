// The simulator's ".texture" files: an "FT2E" body or a "JIRF" container of form "MMTF". The reader
// decodes the picture of level 0 (FT2E) or of the last "MMAP" chunk (JIRF) into the library's layout
// and reports the fields the texture descriptor is built from. The alpha-mode table is a parameter:
// the image library and the GL texture loader map the FT2E alpha mode differently.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "media/ImageBytes.h"

namespace kelvarn {

enum class TextureFault {
    None,
    ShortHeader,     // a header field runs past the end, the INFO chunk is smaller than its fields, or a bad size
    NotMmtfInfo,     // a JIRF file whose form and first chunk are not "MMTFINFO"
    BadTag,          // neither "FT2E" nor "JIRF"
    BadFormat,       // an INFO pixel format above 12
    BadChunkTag,     // a chunk tag other than "MMAP"
    ShortLevel,      // the level data runs past the end
    LevelSizeMismatch,  // uncompressed level data not width x height x 4 bytes
    NoChunks,        // a JIRF file whose counts give no "MMAP" chunk
    CompactRefused,  // compact FT2E header: mip skip, texture type or slice count not taken
    MipSkip,         // full FT2E header: non-zero mip skip (value)
    TextureType,     // full FT2E header: texture type other than 0 and 2 (value)
    Cubes,           // full FT2E header: slice count 6
    Slices,          // full FT2E header: slice count other than 1 (value)
    PixelFormat,     // an FT2E pixel format other than rgba, dxt1, dxt3, dxt5 (fourCC)
    DxtFailed,       // the block decoder refused the level (size or width)
};

// Alpha mode (index 0..3; other modes count as 0) to alpha hint 0 none, 1 semitransparent, 2 masked.
// The compact header stores 1 opaque, 2 masked, 3 transparent.
struct TextureAlphaModes {
    std::array<int, 4> compact{0, 0, 2, 1};
    std::array<int, 4> full{0, 0, 2, 1};
};

struct TextureInfo {
    bool jirf = false;
    int format = -1;          // JIRF INFO format 0..12; -1 for FT2E
    std::uint32_t width = 0, height = 0;
    bool dynamic = false;
    bool wrapS = false, wrapT = false;
    int alphaHint = 0;
    bool normalMap = false;
    int compression = 0;      // 0, or 1, 3, 5 for DXT1, DXT3, DXT5
    int alphaKind = 0;        // of the decoded picture: 0 none, 1 semitransparent, 2 masked
};

struct TextureResult {
    TextureFault fault = TextureFault::None;
    std::uint32_t value = 0;   // the refused number of MipSkip, TextureType, Slices
    std::string fourCC;        // the refused pixel format, as its four bytes stand in the file
    bool infoRead = false;     // the descriptor fields are known (JIRF: once INFO is read)
    TextureInfo info;
    RawImage image;
};

// Pictures above `maxPixels` are refused like a bad size (the fuzz targets lower the cap).
TextureResult DecodeTexture(ByteSpan data, const TextureAlphaModes& modes = {},
                            std::int64_t maxPixels = kMaxImagePixels);

// Why a texture was refused, as the user is told it (empty for no fault). The FT2E header refusals
// give the texts the image library shows for them.
std::string TextureFaultText(const TextureResult& result);

// The ".texture.txt" lines for a texture called `textureFileName` (no folder; its last 8 characters,
// ".texture", are replaced by ".tga").
std::vector<std::string> WriteTextureDescriptor(const std::string& textureFileName, const TextureInfo& info);

}  // namespace kelvarn
