// Truevision TGA files. Two readers: the strict one the image library loads with (colour-mapped
// 8-bit and uncompressed 16/24/32-bit pictures only, as the simulator takes them), and the full one
// the image facade uses for any TGA (types 1, 2, 3 and their run-length forms 9, 10, 11). One writer
// (type 2, uncompressed) serves every save.
#pragma once

#include <string>

#include "media/ImageBytes.h"

namespace kelvarn {

enum class TgaFault {
    None,
    ShortHeader,      // fewer than 18 bytes
    RunLength,        // image type 10 (strict reader)
    BadType,          // an image type the reader does not take
    BadColourMapType, // colour-map type other than 0 and 1
    BadDepth,         // a pixel depth the reader does not take
    Unsupported,      // a type/depth/map combination the reader does not convert
    BadSize,          // a side of 0 or more pixels than the cap
    ShortData,        // the map or the pixel data runs past the end
    Overrun,          // a run-length packet runs past the picture
};

struct TgaResult {
    TgaFault fault = TgaFault::None;
    RawImage image;  // strict reader: library layout; 3 bytes, or 4 for depth 32
    int depth = 0;   // the file's pixel depth
};

// The strict reader. The map starts right after the ID field and index i takes entry i - first; an
// index outside the map gives black. 16-bit pixels become 24-bit (5 bits shifted up by 3) before the
// picture is turned upright.
TgaResult DecodeTgaStrict(ByteSpan data);

struct TgaFullResult {
    TgaFault fault = TgaFault::None;
    Image32 image;         // rows from the top
    bool hasAlpha = false; // 32-bit data, or 16-bit data with an attribute bit
    int compression = 0;   // 1 for run-length
    int bits = 0;          // the file's pixel depth
};

// A header the full reader would try: known type, depth and map fields and non-zero sides. Used to
// take TGA files, which carry no signature.
bool LooksLikeTga(ByteSpan data);
TgaFullResult DecodeTgaFull(ByteSpan data);

// The 18-byte header of an uncompressed true-colour file for a 3- or 4-byte picture: type 2, depth 24
// with descriptor 0 or depth 32 with descriptor 8, every colour-map and origin field 0.
void BuildTgaHeader(const RawImage& image, std::uint8_t header[18]);

// 18-byte header (type 2; depth 24 with descriptor 0, or 32 with descriptor 8) and the rows as they
// are (bottom-up) in B, G, R(, A) order. Empty when the picture is empty, not 3 or 4 bytes per pixel,
// or a side exceeds 65535.
std::string EncodeTga(const RawImage& image);

}  // namespace kelvarn
