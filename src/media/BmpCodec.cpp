#include "media/BmpCodec.h"

namespace kelvarn {

namespace {

constexpr std::size_t kFileHeader = 14;

}  // namespace

BmpResult DecodeBmp(ByteSpan data) {
    BmpResult r;
    const std::uint8_t* d = data.data();
    const std::uint64_t size = data.size();
    if (size < kFileHeader + 4) {
        r.fault = BmpFault::ShortPixelData;
        return r;
    }
    const std::uint64_t infoSize = GetU32(d + 14);
    if (infoSize < 40) {
        r.fault = BmpFault::Unsupported;
        return r;
    }
    if (kFileHeader + infoSize > size) {
        r.fault = BmpFault::ShortPixelData;
        return r;
    }
    const std::uint64_t offBits = GetU32(d + 10);
    const std::int64_t width = static_cast<std::int32_t>(GetU32(d + 18));
    const std::int64_t rawHeight = static_cast<std::int32_t>(GetU32(d + 22));
    const int bitCount = GetU16(d + 28);
    const std::uint32_t compression = GetU32(d + 30);
    const std::uint64_t clrUsed = GetU32(d + 46);
    r.bitCount = bitCount;

    // The table sits right after the info header; without a count it fills the gap up to the pixels.
    const std::uint64_t tableStart = kFileHeader + infoSize;
    std::uint64_t colours = clrUsed;
    if (colours == 0) {
        if (offBits < tableStart) {
            r.fault = BmpFault::BadColourCount;
            return r;
        }
        colours = (offBits - tableStart) / 4;
    }
    if (colours != 0 && colours != 2 && colours != 16 && colours != 256) {
        r.fault = BmpFault::BadColourCount;
        return r;
    }
    if (tableStart + colours * 4 > size) {
        r.fault = BmpFault::ShortColourTable;
        return r;
    }
    const std::uint8_t* table = d + tableStart;

    if (compression != 0 || (bitCount != 8 && bitCount != 24)) {
        r.fault = BmpFault::Unsupported;
        return r;
    }
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -rawHeight : rawHeight;
    if (!ImageSizeAllowed(width, height)) {
        r.fault = BmpFault::BadSize;
        return r;
    }
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
    const std::uint64_t lastRow = static_cast<std::uint64_t>(width) * bitCount / 8;
    if (offBits > size || (size - offBits) < stride * static_cast<std::uint64_t>(height - 1) + lastRow) {
        r.fault = BmpFault::ShortPixelData;
        return r;
    }

    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    r.image.Allocate(w, h, 3, false);
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* src = d + offBits + stride * static_cast<std::uint64_t>(row);
        const int outRow = topDown ? h - 1 - row : row;
        std::uint8_t* dst = r.image.Pixels.data() + static_cast<std::size_t>(outRow) * w * 3;
        if (bitCount == 24) {
            for (int x = 0; x < w; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        } else if (colours == 0) {
            for (int x = 0; x < w; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
        } else {
            for (int x = 0; x < w; ++x, dst += 3) {
                const unsigned index = src[x];
                if (index >= colours) {
                    dst[0] = dst[1] = dst[2] = 0;  // black
                    continue;
                }
                const std::uint8_t* e = table + index * 4;
                dst[0] = e[2];
                dst[1] = e[1];
                dst[2] = e[0];
            }
        }
    }
    return r;
}

std::string EncodeBmp24(const RawImage& image) {
    if (image.Width <= 0 || image.Height <= 0 || image.BytesPerPixel < 3) return {};
    const std::uint64_t stride = ((static_cast<std::uint64_t>(image.Width) * 24 + 31) / 32) * 4;
    const std::uint64_t dataSize = stride * static_cast<std::uint64_t>(image.Height);
    const std::uint64_t fileSize = 54 + dataSize;
    if (fileSize > 0xFFFFFFFFull) return {};
    std::string out(static_cast<std::size_t>(fileSize), '\0');
    auto* o = reinterpret_cast<std::uint8_t*>(out.data());
    o[0] = 'B';
    o[1] = 'M';
    PutU32(o + 2, static_cast<std::uint32_t>(fileSize));
    PutU32(o + 10, 54);
    PutU32(o + 14, 40);
    PutU32(o + 18, static_cast<std::uint32_t>(image.Width));
    PutU32(o + 22, static_cast<std::uint32_t>(image.Height));
    PutU16(o + 26, 1);
    PutU16(o + 28, 24);
    PutU32(o + 34, static_cast<std::uint32_t>(dataSize));
    PutU32(o + 38, 2835);  // 72 dots per inch
    PutU32(o + 42, 2835);
    const int bpp = image.BytesPerPixel;
    for (int y = 0; y < image.Height; ++y) {
        const std::uint8_t* src = image.Pixels.data() + static_cast<std::size_t>(y) * image.RowBytes();
        std::uint8_t* dst = o + 54 + stride * static_cast<std::uint64_t>(y);
        for (int x = 0; x < image.Width; ++x, src += bpp, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return out;
}

}  // namespace kelvarn
