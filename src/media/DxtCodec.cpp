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

// The four colours of a colour block as R, G, B, A bytes.
void ColourTable(const std::uint8_t* block, bool fourAlways, std::uint8_t table[4][4]) {
    const unsigned v0 = GetU16(block);
    const unsigned v1 = GetU16(block + 2);
    const Rgb c0 = Endpoint(v0);
    const Rgb c1 = Endpoint(v1);
    auto set = [&](int i, int r, int g, int b, int a) {
        table[i][0] = static_cast<std::uint8_t>(r);
        table[i][1] = static_cast<std::uint8_t>(g);
        table[i][2] = static_cast<std::uint8_t>(b);
        table[i][3] = static_cast<std::uint8_t>(a);
    };
    set(0, c0.r, c0.g, c0.b, 255);
    set(1, c1.r, c1.g, c1.b, 255);
    if (fourAlways || v1 < v0) {
        set(2, 2 * c0.r / 3 + c1.r / 3, 2 * c0.g / 3 + c1.g / 3, 2 * c0.b / 3 + c1.b / 3, 255);
        set(3, c0.r / 3 + 2 * c1.r / 3, c0.g / 3 + 2 * c1.g / 3, c0.b / 3 + 2 * c1.b / 3, 255);
    } else {
        const int r = c0.r / 2 + c1.r / 2, g = c0.g / 2 + c1.g / 2, b = c0.b / 2 + c1.b / 2;
        set(2, r, g, b, 255);
        set(3, r, g, b, 0);  // the midpoint colour stays under the transparent index
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
    if (data.size() % blockBytes != 0 || data.size() / blockBytes > blocksAcross * blocksDown) return false;

    out.Allocate(width, height, bpp);
    const std::size_t rowBytes = out.RowBytes();
    const std::uint64_t blocks = data.size() / blockBytes;
    const std::uint8_t* src = data.data();
    std::uint8_t colours[4][4];
    std::uint32_t table[4];
    std::uint32_t px[16];
    std::uint8_t alphaTable[8];
    for (std::uint64_t b = 0; b < blocks; ++b, src += blockBytes) {
        const int bx = static_cast<int>(b % blocksAcross) * 4;
        const int by = static_cast<int>(b / blocksAcross) * 4;
        const std::uint8_t* colourBlock = format == DxtFormat::Dxt1 ? src : src + 8;
        ColourTable(colourBlock, format != DxtFormat::Dxt1, colours);
        for (int i = 0; i < 4; ++i) std::memcpy(&table[i], colours[i], 4);  // R, G, B, A in memory order
        const std::uint32_t indices = GetU32(colourBlock + 4);
        for (int i = 0; i < 16; ++i) px[i] = table[(indices >> (2 * i)) & 3];
        if (format == DxtFormat::Dxt3) {
            for (int i = 0; i < 16; ++i) {
                const unsigned v = (src[i / 2] >> ((i & 1) * 4)) & 15;
                const std::uint32_t a = v == 15 ? 255u : v * 16;
                px[i] = (px[i] & 0x00FFFFFFu) | (a << 24);
            }
        } else if (format == DxtFormat::Dxt5) {
            AlphaTableDxt5(src[0], src[1], alphaTable);
            std::uint64_t bits = 0;
            for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(src[2 + i]) << (8 * i);
            for (int i = 0; i < 16; ++i)
                px[i] = (px[i] & 0x00FFFFFFu) | (static_cast<std::uint32_t>(alphaTable[(bits >> (3 * i)) & 7]) << 24);
        }
        const int rows = height - by < 4 ? height - by : 4;
        const int cols = width - bx < 4 ? width - bx : 4;
        for (int r = 0; r < rows; ++r) {
            std::uint8_t* dst = out.Pixels.data() + static_cast<std::size_t>(height - 1 - (by + r)) * rowBytes +
                                static_cast<std::size_t>(bx) * bpp;
            if (bpp == 4) {
                std::memcpy(dst, px + r * 4, static_cast<std::size_t>(cols) * 4);
            } else {
                for (int c = 0; c < cols; ++c, dst += 3) std::memcpy(dst, px + r * 4 + c, 3);
            }
        }
    }
    return true;
}

}  // namespace kelvarn
