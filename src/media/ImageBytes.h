// What the image codecs share: a byte span, little-endian field reads, and the library's pixel
// layout (rows bottom-up, 3 bytes R, G, B or 4 bytes R, G, B, A, no row padding).
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "shell/Image32.h"

namespace kelvarn {

using ByteSpan = std::span<const std::uint8_t>;

inline ByteSpan AsBytes(const std::string_view bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

inline std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

// A picture in the library's layout.
struct RawImage {
    int Width = 0;
    int Height = 0;
    int BytesPerPixel = 0;  // 3 or 4
    std::vector<std::uint8_t> Pixels;

    std::size_t RowBytes() const { return static_cast<std::size_t>(Width) * BytesPerPixel; }
    // Sets the geometry and a zeroed buffer; the caller has checked the size against kMaxImagePixels.
    void Allocate(int width, int height, int bytesPerPixel) {
        Width = width;
        Height = height;
        BytesPerPixel = bytesPerPixel;
        Pixels.assign(static_cast<std::size_t>(width) * height * bytesPerPixel, 0);
    }
};

// True when both sides are positive and their product is within kMaxImagePixels.
inline bool ImageSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImagePixels && height <= kMaxImagePixels &&
           width * height <= kMaxImagePixels;
}

// Conversions between the library's layout and the program's image (ARGB, rows from the top). A
// 3-byte picture becomes a 24-bit image with alpha 255; a 4-byte one a 32-bit image.
Image32 RawToImage32(const RawImage& raw);
// `bytesPerPixel` 3 drops alpha.
RawImage Image32ToRaw(const Image32& image, int bytesPerPixel);

}  // namespace kelvarn
