#include "media/TgaCodec.h"

#include <algorithm>
#include <cstring>

// The 24-bit rows are swapped with SSSE3 shuffles where the compiler and the processor have them.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define KELVARN_TGA_SSSE3 1
#include <immintrin.h>
#else
#define KELVARN_TGA_SSSE3 0
#endif

namespace kelvarn {

namespace {

struct TgaHeader {
    unsigned idLength, mapType, type, firstEntry, mapLength, entryBits, width, height, depth, descriptor;
};

TgaHeader ParseHeader(const std::uint8_t* d) {
    return {d[0], d[1], d[2], GetU16(d + 3), GetU16(d + 5), d[7], GetU16(d + 12), GetU16(d + 14), d[16], d[17]};
}

// 16-bit pixels (5 bits a channel, blue lowest, top bit ignored) to R, G, B bytes, each field shifted
// up by 3 as the simulator's tools do (31 becomes 248).
void ConvertTga16To24(const std::uint8_t* src, int count, std::uint8_t* dst) {
    for (int x = 0; x < count; ++x, dst += 3) {
        const unsigned w = GetU16(src + x * 2);
        dst[0] = static_cast<std::uint8_t>(((w >> 10) & 31) * 8);
        dst[1] = static_cast<std::uint8_t>(((w >> 5) & 31) * 8);
        dst[2] = static_cast<std::uint8_t>((w & 31) * 8);
    }
}

#if KELVARN_TGA_SSSE3
// Sixteen pixels (48 bytes) at a time with byte shuffles: each 16-byte output block takes its bytes
// from at most two input blocks.
__attribute__((target("ssse3"))) int SwapBgrSsse3(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst,
                                                 int count) {
    // Output block k, byte i, takes input byte 3 * (i / 3) + 2 - i % 3 counted from 16 k; the shuffles
    // pick from a block or its neighbour (-1: leave zero, the other shuffle fills it).
    const __m128i s00 = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, -1);
    const __m128i s01 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1);
    const __m128i s10 = _mm_setr_epi8(-1, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i s11 = _mm_setr_epi8(0, -1, 4, 3, 2, 7, 6, 5, 10, 9, 8, 13, 12, 11, -1, 15);
    const __m128i s12 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1);
    const __m128i s21 = _mm_setr_epi8(14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i s22 = _mm_setr_epi8(-1, 3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13);
    int x = 0;
    for (; x + 16 <= count; x += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x * 3));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x * 3 + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x * 3 + 32));
        const __m128i o0 = _mm_or_si128(_mm_shuffle_epi8(a, s00), _mm_shuffle_epi8(b, s01));
        const __m128i o1 =
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, s10), _mm_shuffle_epi8(b, s11)), _mm_shuffle_epi8(c, s12));
        const __m128i o2 = _mm_or_si128(_mm_shuffle_epi8(b, s21), _mm_shuffle_epi8(c, s22));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x * 3), o0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x * 3 + 16), o1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x * 3 + 32), o2);
    }
    return x;
}

bool HaveSsse3() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}
#endif

// B, G, R pixels to R, G, B, four pixels (three words) at a time:
// B G R B | G R B G | R B G R becomes R G B R | G B R G | B R G B.
void SwapBgrRow(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, int count) {
    int x = 0;
#if KELVARN_TGA_SSSE3
    if (HaveSsse3()) x = SwapBgrSsse3(src, dst, count);
#endif
    for (; x + 4 <= count; x += 4) {
        std::uint32_t a, b, c;
        std::memcpy(&a, src + x * 3, 4);
        std::memcpy(&b, src + x * 3 + 4, 4);
        std::memcpy(&c, src + x * 3 + 8, 4);
        const std::uint32_t o0 = ((a >> 16) & 0xFFu) | (a & 0xFF00u) | ((a & 0xFFu) << 16) | ((b & 0xFF00u) << 16);
        const std::uint32_t o1 = (b & 0xFFu) | ((a >> 16) & 0xFF00u) | ((c & 0xFFu) << 16) | (b & 0xFF000000u);
        const std::uint32_t o2 = ((b >> 16) & 0xFFu) | ((c >> 16) & 0xFF00u) | (c & 0xFF0000u) | ((c & 0xFF00u) << 16);
        std::memcpy(dst + x * 3, &o0, 4);
        std::memcpy(dst + x * 3 + 4, &o1, 4);
        std::memcpy(dst + x * 3 + 8, &o2, 4);
    }
    for (; x < count; ++x) {
        dst[x * 3] = src[x * 3 + 2];
        dst[x * 3 + 1] = src[x * 3 + 1];
        dst[x * 3 + 2] = src[x * 3];
    }
}

std::uint32_t Expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }

// One stored pixel of `bytes` bytes (1 grey, 2, 3 or 4) as ARGB.
std::uint32_t ToArgb(const std::uint8_t* p, int bytes, bool attributeAlpha) {
    switch (bytes) {
    case 1:
        return 0xFF000000u | (p[0] * 0x010101u);
    case 2: {
        const std::uint32_t w = GetU16(p);
        const std::uint32_t a = attributeAlpha ? ((w & 0x8000) ? 255u : 0u) : 255u;
        return (a << 24) | (Expand5((w >> 10) & 31) << 16) | (Expand5((w >> 5) & 31) << 8) | Expand5(w & 31);
    }
    case 3:
        return 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    default:
        return (static_cast<std::uint32_t>(p[3]) << 24) | (static_cast<std::uint32_t>(p[2]) << 16) |
               (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }
}

}  // namespace

TgaResult DecodeTgaStrict(ByteSpan data) {
    TgaResult r;
    if (data.size() < 18) {
        r.fault = TgaFault::ShortHeader;
        return r;
    }
    const TgaHeader h = ParseHeader(data.data());
    r.depth = static_cast<int>(h.depth);
    if (h.type == 10) r.fault = TgaFault::RunLength;
    else if (h.type != 1 && h.type != 2) r.fault = TgaFault::BadType;
    else if (h.mapType > 1) r.fault = TgaFault::BadColourMapType;
    else if (h.depth != 8 && h.depth != 16 && h.depth != 24 && h.depth != 32) r.fault = TgaFault::BadDepth;
    else if (h.type == 1 && (h.depth != 8 || h.mapType != 1 || h.entryBits != 24 || h.mapLength > 256))
        r.fault = TgaFault::Unsupported;
    else if (h.type == 2 && h.depth == 8) r.fault = TgaFault::Unsupported;
    else if (!ImageSizeAllowed(h.width, h.height)) r.fault = TgaFault::BadSize;
    if (r.fault != TgaFault::None) return r;

    std::uint64_t offset = 18 + static_cast<std::uint64_t>(h.idLength);
    const std::uint8_t* map = nullptr;
    if (h.mapType == 1) {
        const std::uint64_t mapBytes = (static_cast<std::uint64_t>(h.mapLength) * h.entryBits + 7) / 8;
        if (offset + mapBytes > data.size()) {
            r.fault = TgaFault::ShortData;
            return r;
        }
        map = data.data() + offset;
        offset += mapBytes;  // a true-colour file with a map still keeps its pixels after it
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.width) * h.height;
    const int bytes = static_cast<int>(h.depth / 8);
    if (offset + pixels * bytes > data.size()) {
        r.fault = TgaFault::ShortData;
        return r;
    }
    const std::uint8_t* src = data.data() + offset;
    const int outBytes = h.depth == 32 ? 4 : 3;
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height);
    r.image.Allocate(width, height, outBytes, false);
    // Each stored row goes straight to its place: top-down files are turned upright as they are read.
    for (int row = 0; row < height; ++row) {
        const int outRow = (h.descriptor & 32) ? height - 1 - row : row;
        std::uint8_t* dst = r.image.Pixels.data() + static_cast<std::size_t>(outRow) * width * outBytes;
        const std::uint8_t* s = src + static_cast<std::size_t>(row) * width * bytes;
        if (h.type == 1) {
            for (int x = 0; x < width; ++x, dst += 3) {
                const std::int64_t entry = static_cast<std::int64_t>(s[x]) - h.firstEntry;
                if (entry < 0 || entry >= h.mapLength) {
                    dst[0] = dst[1] = dst[2] = 0;  // black
                    continue;
                }
                const std::uint8_t* e = map + entry * 3;
                dst[0] = e[2];
                dst[1] = e[1];
                dst[2] = e[0];
            }
        } else if (h.depth == 16) {
            ConvertTga16To24(s, width, dst);
        } else if (h.depth == 32) {
            for (int x = 0; x < width; ++x) {
                std::uint32_t p;
                std::memcpy(&p, s + x * 4, 4);
                p = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
                std::memcpy(dst + x * 4, &p, 4);
            }
        } else {
            SwapBgrRow(s, dst, width);
        }
    }
    if (h.descriptor & 16) MirrorPixelRows(r.image.Pixels.data(), width, height, outBytes);  // stored right to left
    return r;
}

bool LooksLikeTga(ByteSpan data) {
    if (data.size() < 18) return false;
    const TgaHeader h = ParseHeader(data.data());
    if (h.mapType > 1 || h.width == 0 || h.height == 0 || (h.descriptor & 0xC0) != 0) return false;
    if (h.mapType == 1 && h.entryBits != 15 && h.entryBits != 16 && h.entryBits != 24 && h.entryBits != 32)
        return false;
    switch (h.type) {
    case 1:
    case 9:
        return h.mapType == 1 && (h.depth == 8 || h.depth == 16);
    case 2:
    case 10:
        return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    case 3:
    case 11:
        return h.depth == 8;
    default:
        return false;
    }
}

TgaFullResult DecodeTgaFull(ByteSpan data) {
    TgaFullResult r;
    if (data.size() < 18) {
        r.fault = TgaFault::ShortHeader;
        return r;
    }
    if (!LooksLikeTga(data)) {
        r.fault = TgaFault::BadType;
        return r;
    }
    const TgaHeader h = ParseHeader(data.data());
    if (!ImageSizeAllowed(h.width, h.height)) {
        r.fault = TgaFault::BadSize;
        return r;
    }
    const bool mapped = h.type == 1 || h.type == 9;
    const bool runLength = h.type >= 9;
    const bool attributeAlpha = (h.descriptor & 15) != 0;
    r.bits = static_cast<int>(h.depth);
    r.compression = runLength ? 1 : 0;

    std::uint64_t offset = 18 + static_cast<std::uint64_t>(h.idLength);
    std::vector<std::uint32_t> palette;
    if (h.mapType == 1) {
        const int entryBytes = static_cast<int>((h.entryBits + 7) / 8);
        const std::uint64_t mapBytes = static_cast<std::uint64_t>(h.mapLength) * entryBytes;
        if (offset + mapBytes > data.size()) {
            r.fault = TgaFault::ShortData;
            return r;
        }
        if (mapped) {
            // Entries below the first stored one read as black, as do indexes past the map.
            palette.assign(static_cast<std::size_t>(h.firstEntry) + h.mapLength, 0xFF000000u);
            for (unsigned i = 0; i < h.mapLength; ++i)
                palette[h.firstEntry + i] = ToArgb(data.data() + offset + static_cast<std::uint64_t>(i) * entryBytes,
                                                   entryBytes, h.entryBits == 16 && attributeAlpha);
        }
        offset += mapBytes;
    }
    r.hasAlpha = h.depth == 32 || (h.depth == 16 && attributeAlpha) || (mapped && h.entryBits == 32) ||
                 (mapped && h.entryBits == 16 && attributeAlpha);

    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height);
    const int bytes = static_cast<int>((h.depth + 7) / 8);
    const std::uint64_t total = static_cast<std::uint64_t>(width) * height;
    // Run-length data needs at least one packet per 128 pixels: checked before the picture is
    // allocated, so that a small file cannot claim a huge one.
    const std::uint64_t needed = runLength ? (total + 127) / 128 * (1 + static_cast<std::uint64_t>(bytes)) : total * bytes;
    if (offset + needed > data.size()) {
        r.fault = TgaFault::ShortData;
        return r;
    }
    r.image.Resize(width, height);
    r.image.Depth = r.hasAlpha ? 32 : 24;

    const bool topDown = (h.descriptor & 32) != 0;
    const bool rightToLeft = (h.descriptor & 16) != 0;
    auto rowStart = [&](int stored) {
        return &r.image.At(0, topDown ? stored : height - 1 - stored);
    };
    const std::uint32_t paletteSize = static_cast<std::uint32_t>(palette.size());
    auto convert = [&](const std::uint8_t* p) -> std::uint32_t {
        if (mapped) {
            const std::uint32_t index = bytes == 1 ? p[0] : GetU16(p);
            return index < paletteSize ? palette[index] : 0xFF000000u;
        }
        return ToArgb(p, bytes, attributeAlpha);
    };

    const std::uint8_t* src = data.data() + offset;
    if (!runLength) {
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = rowStart(y);
            const std::uint8_t* s = src + static_cast<std::uint64_t>(y) * width * bytes;
            if (rightToLeft) {
                for (int x = width - 1; x >= 0; --x, s += bytes) row[x] = convert(s);
            } else if (!mapped && bytes == 3) {
                for (int x = 0; x < width; ++x, s += 3)
                    row[x] = 0xFF000000u | (static_cast<std::uint32_t>(s[2]) << 16) |
                             (static_cast<std::uint32_t>(s[1]) << 8) | s[0];
            } else if (!mapped && bytes == 4) {
                for (int x = 0; x < width; ++x, s += 4)
                    row[x] = (static_cast<std::uint32_t>(s[3]) << 24) | (static_cast<std::uint32_t>(s[2]) << 16) |
                             (static_cast<std::uint32_t>(s[1]) << 8) | s[0];
            } else {
                for (int x = 0; x < width; ++x, s += bytes) row[x] = convert(s);
            }
        }
        return r;
    }

    // Run-length packets may cross rows, never the end of the picture.
    const std::uint8_t* end = data.data() + data.size();
    int y = 0;
    int x = 0;
    std::uint32_t* row = rowStart(0);
    std::uint64_t done = 0;
    auto put = [&](std::uint32_t pixel) {
        row[rightToLeft ? width - 1 - x : x] = pixel;
        if (++x == width) {
            x = 0;
            if (++y < height) row = rowStart(y);
        }
    };
    while (done < total) {
        if (src >= end) {
            r.fault = TgaFault::ShortData;
            return r;
        }
        const unsigned head = *src++;
        const unsigned count = (head & 0x7F) + 1;
        if (done + count > total) {
            r.fault = TgaFault::Overrun;
            return r;
        }
        if (head & 0x80) {
            if (end - src < bytes) {
                r.fault = TgaFault::ShortData;
                return r;
            }
            const std::uint32_t pixel = convert(src);
            src += bytes;
            for (unsigned i = 0; i < count; ++i) put(pixel);
        } else {
            if (static_cast<std::uint64_t>(end - src) < static_cast<std::uint64_t>(count) * bytes) {
                r.fault = TgaFault::ShortData;
                return r;
            }
            for (unsigned i = 0; i < count; ++i, src += bytes) put(convert(src));
        }
        done += count;
    }
    return r;
}

void BuildTgaHeader(const RawImage& image, std::uint8_t header[18]) {
    std::memset(header, 0, 18);
    header[2] = 2;
    PutU16(header + 12, static_cast<std::uint32_t>(image.Width));
    PutU16(header + 14, static_cast<std::uint32_t>(image.Height));
    header[16] = static_cast<std::uint8_t>(image.BytesPerPixel * 8);
    header[17] = image.BytesPerPixel == 4 ? 8 : 0;  // eight alpha bits, bottom-up, left to right
}

std::string EncodeTga(const RawImage& image) {
    const int bpp = image.BytesPerPixel;
    if (image.Width <= 0 || image.Height <= 0 || (bpp != 3 && bpp != 4) || image.Width > 65535 ||
        image.Height > 65535)
        return {};
    const std::size_t dataSize = image.Pixels.size();
    std::string out(18 + dataSize, '\0');
    auto* o = reinterpret_cast<std::uint8_t*>(out.data());
    BuildTgaHeader(image, o);
    const std::uint8_t* s = image.Pixels.data();
    std::uint8_t* d = o + 18;
    for (std::size_t i = 0; i < dataSize; i += bpp) {
        d[i] = s[i + 2];
        d[i + 1] = s[i + 1];
        d[i + 2] = s[i];
        if (bpp == 4) d[i + 3] = s[i + 3];
    }
    return out;
}

}  // namespace kelvarn
