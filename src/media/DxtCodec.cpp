#include "media/DxtCodec.h"

#include <cstring>

namespace kelvarn {

namespace {

struct Rgb {
    int r, g, b;
};

inline Rgb Endpoint(unsigned v) {
    return {static_cast<int>((v >> 11) & 31) * 8, static_cast<int>((v >> 5) & 63) * 4, static_cast<int>(v & 31) * 8};
}

// One pixel as its bytes R, G, B, A stand in memory.
inline std::uint32_t Pack(int r, int g, int b, std::uint32_t a) {
    std::uint32_t v;
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                   static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(a)};
    std::memcpy(&v, bytes, 4);
    return v;
}

// The four colours of a colour block.
void ColourTable(const std::uint8_t* block, bool fourAlways, std::uint32_t table[4]) {
    const unsigned v0 = GetU16(block);
    const unsigned v1 = GetU16(block + 2);
    const Rgb c0 = Endpoint(v0);
    const Rgb c1 = Endpoint(v1);
    table[0] = Pack(c0.r, c0.g, c0.b, 255);
    table[1] = Pack(c1.r, c1.g, c1.b, 255);
    if (fourAlways || v1 < v0) {
        table[2] = Pack(2 * c0.r / 3 + c1.r / 3, 2 * c0.g / 3 + c1.g / 3, 2 * c0.b / 3 + c1.b / 3, 255);
        table[3] = Pack(c0.r / 3 + 2 * c1.r / 3, c0.g / 3 + 2 * c1.g / 3, c0.b / 3 + 2 * c1.b / 3, 255);
    } else {
        const int r = c0.r / 2 + c1.r / 2, g = c0.g / 2 + c1.g / 2, b = c0.b / 2 + c1.b / 2;
        table[2] = Pack(r, g, b, 255);
        table[3] = Pack(r, g, b, 0);  // the midpoint colour stays under the transparent index
    }
}

void AlphaTableDxt5(unsigned a0, unsigned a1, std::uint8_t table[8]) {
    table[0] = static_cast<std::uint8_t>(a0);
    table[1] = static_cast<std::uint8_t>(a1);
    if (a1 < a0) {
        for (unsigned i = 1; i <= 6; ++i) table[i + 1] = static_cast<std::uint8_t>(((7 - i) * a0 + i * a1) / 7);
    } else {
        for (unsigned i = 1; i <= 4; ++i) table[i + 1] = static_cast<std::uint8_t>(((5 - i) * a0 + i * a1) / 5);
        table[6] = 0;
        table[7] = 255;
    }
}

}  // namespace

int MaxDxtWidth(int bytesPerPixel) { return 16384 / bytesPerPixel; }

int DxtBytesPerPixel(DxtFormat format, int alphaHint) {
    return format == DxtFormat::Dxt1 && alphaHint != 2 ? 3 : 4;
}

bool DecodeDxt(DxtFormat format, int width, int height, int alphaHint, ByteSpan data, RawImage& out) {
    const int bpp = DxtBytesPerPixel(format, alphaHint);
    if (width <= 0 || height <= 0 || width > MaxDxtWidth(bpp) || !ImageSizeAllowed(width, height)) return false;
    const std::size_t blockBytes = format == DxtFormat::Dxt1 ? 8 : 16;
    const std::uint64_t blocksAcross = (static_cast<std::uint64_t>(width) + 3) / 4;
    const std::uint64_t blocksDown = (static_cast<std::uint64_t>(height) + 3) / 4;
    // Checked before anything is allocated: a level that holds fewer blocks than its picture is
    // damaged, and decoding it would show missing rows as black.
    if (data.size() != blocksAcross * blocksDown * blockBytes) return false;

    out.Allocate(width, height, bpp, false);
    const std::size_t rowBytes = out.RowBytes();
    const std::uint64_t blocks = data.size() / blockBytes;
    const std::uint8_t* src = data.data();
    std::uint32_t table[4];
    std::uint32_t px[16];
    std::uint8_t alphaTable[8];
    std::uint64_t b = 0;
    for (int by = 0; b < blocks; by += 4) {
        const int rows = height - by < 4 ? height - by : 4;
        // Picture rows run from the top; the buffer's rows from the bottom.
        std::uint8_t* rowStart[4];
        for (int r = 0; r < rows; ++r) rowStart[r] = out.Pixels.data() + static_cast<std::size_t>(height - 1 - (by + r)) * rowBytes;
        for (int bx = 0; bx < width && b < blocks; bx += 4, ++b, src += blockBytes) {
            const std::uint8_t* colourBlock = format == DxtFormat::Dxt1 ? src : src + 8;
            ColourTable(colourBlock, format != DxtFormat::Dxt1, table);
            const std::uint32_t indices = GetU32(colourBlock + 4);
            for (int i = 0; i < 16; ++i) px[i] = table[(indices >> (2 * i)) & 3];
            // Alpha is the top byte of a packed pixel (little-endian, as on every platform we build for).
            if (format == DxtFormat::Dxt3) {
                const std::uint64_t nibbles = GetU32(src) | (static_cast<std::uint64_t>(GetU32(src + 4)) << 32);
                for (int i = 0; i < 16; ++i) {
                    const std::uint32_t v = (nibbles >> (4 * i)) & 15;
                    px[i] = (px[i] & 0x00FFFFFFu) | ((v == 15 ? 255u : v * 16) << 24);
                }
            } else if (format == DxtFormat::Dxt5) {
                AlphaTableDxt5(src[0], src[1], alphaTable);
                const std::uint64_t bits = GetU32(src + 2) | (static_cast<std::uint64_t>(GetU16(src + 6)) << 32);
                for (int i = 0; i < 16; ++i)
                    px[i] = (px[i] & 0x00FFFFFFu) | (static_cast<std::uint32_t>(alphaTable[(bits >> (3 * i)) & 7]) << 24);
            }
            const int cols = width - bx < 4 ? width - bx : 4;
            for (int r = 0; r < rows; ++r) {
                std::uint8_t* dst = rowStart[r] + static_cast<std::size_t>(bx) * bpp;
                if (bpp == 4) std::memcpy(dst, px + r * 4, static_cast<std::size_t>(cols) * 4);
                else
                    for (int c = 0; c < cols; ++c, dst += 3) std::memcpy(dst, px + r * 4 + c, 3);
            }
        }
    }
    return true;
}

}  // namespace kelvarn
