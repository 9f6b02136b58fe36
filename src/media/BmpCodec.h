// Windows bitmap files: the reader of 8- and 24-bit uncompressed pictures into the library's layout,
// and the 24-bit writer the exports use. Pure functions over bytes; the image library turns faults
// into its codes and messages, the GL texture loader into its own.
#pragma once

#include <string>

#include "media/ImageBytes.h"

namespace kelvarn {

enum class BmpFault {
    None,
    BadColourCount,    // colour count not 0, 2, 16 or 256, or a header that leaves no room for one
    ShortColourTable,  // the colour table runs past the data
    ShortPixelData,    // the header or the pixel rows run past the data
    Unsupported,       // compressed, a bit count other than 8 or 24, or a header older than 40 bytes
    BadSize,           // a side <= 0, or more pixels than the cap
};

struct BmpResult {
    BmpFault fault = BmpFault::None;
    RawImage image;  // 3 bytes per pixel
    int bitCount = 0;
};

// Rows are padded to 4 bytes; a negative height is a top-down file; the colour table follows the
// info header whatever its size (V4, V5); an index past the table gives black, and 8-bit data
// without a table gives grey.
BmpResult DecodeBmp(ByteSpan data);

// "BM", 14 + 40 byte header, 24-bit rows bottom-up padded to 4 bytes. A 4-byte picture loses its
// alpha. Empty for an empty picture.
std::string EncodeBmp24(const RawImage& image);

}  // namespace kelvarn
