// What the image codecs share: a byte span, little-endian field reads, and the library's pixel
// layout (rows bottom-up, 3 bytes R, G, B or 4 bytes R, G, B, A, no row padding).
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <utility>
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

// Leaves new elements uninitialised: a decoder that writes every byte of a large picture need not
// clear it first.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
    using std::allocator<T>::allocator;
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using PixelBytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

// A picture in the library's layout.
struct RawImage {
    int Width = 0;
    int Height = 0;
    int BytesPerPixel = 0;  // 3 or 4
    PixelBytes Pixels;

    std::size_t RowBytes() const { return static_cast<std::size_t>(Width) * BytesPerPixel; }
    // Sets the geometry and a zeroed buffer (left unset when the caller writes every byte); the caller
    // has checked the size against kMaxImagePixels.
    void Allocate(int width, int height, int bytesPerPixel, bool zeroed = true) {
        Width = width;
        Height = height;
        BytesPerPixel = bytesPerPixel;
        const std::size_t size = static_cast<std::size_t>(width) * height * bytesPerPixel;
        Pixels.clear();
        if (zeroed) Pixels.assign(size, 0);
        else Pixels.resize(size);
    }
};

// True when both sides are positive and their product is within kMaxImagePixels.
inline bool ImageSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImagePixels && height <= kMaxImagePixels &&
           width * height <= kMaxImagePixels;
}

// Reverses the pixels of every row (bytesPerPixel bytes each) in place.
void MirrorPixelRows(std::uint8_t* pixels, int width, int height, int bytesPerPixel);

// Conversions between the library's layout and the program's image (ARGB, rows from the top). A
// 3-byte picture becomes a 24-bit image with alpha 255; a 4-byte one a 32-bit image.
Image32 RawToImage32(const RawImage& raw);
// `bytesPerPixel` 3 drops alpha.
RawImage Image32ToRaw(const Image32& image, int bytesPerPixel);

}  // namespace kelvarn
