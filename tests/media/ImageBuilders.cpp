#include "ImageBuilders.h"

#include <cmath>

namespace kelvarn::test {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

void AppendU16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 255));
    s.push_back(static_cast<char>((v >> 8) & 255));
}

void AppendU32(std::string& s, std::uint32_t v) {
    AppendU16(s, v & 0xFFFF);
    AppendU16(s, v >> 16);
}

Image32 TestPicture(int width, int height, int seed) {
    Image32 img;
    img.Resize(width, height);
    std::uint32_t noise = static_cast<std::uint32_t>(seed) * 2654435761u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
            const int r = static_cast<int>(128 + 100 * std::sin(6.0 * fx + seed) * std::cos(3.0 * fy));
            const int g = static_cast<int>(255 * fy * 0.8 + 20 * std::sin(x * 0.3));
            const int b = static_cast<int>(200 * (1 - fx) + ((noise >> 24) & 15));
            const bool square = ((x / 16) + (y / 16)) % 7 == 0;
            img.At(x, y) = 0xFF000000u | (static_cast<std::uint32_t>(square ? 250 : r & 255) << 16) |
                           (static_cast<std::uint32_t>(g & 255) << 8) | static_cast<std::uint32_t>(b & 255);
        }
    return img;
}

RawImage TestRaw(int width, int height, int bytesPerPixel, int seed) {
    RawImage raw;
    raw.Allocate(width, height, bytesPerPixel);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = raw.Pixels.data() + (static_cast<std::size_t>(y) * width + x) * bytesPerPixel;
            p[0] = static_cast<std::uint8_t>(x * 7 + 1);
            p[1] = static_cast<std::uint8_t>(y * 13 + 2);
            p[2] = static_cast<std::uint8_t>(seed + x * y);
            if (bytesPerPixel == 4) p[3] = static_cast<std::uint8_t>(x * 31 + y * 17);
        }
    return raw;
}

std::string MakeBmp(const BmpFields& fields) {
    const int height = fields.height < 0 ? -fields.height : fields.height;
    std::vector<std::uint8_t> table = fields.table;
    if (table.empty())
        for (int i = 0; i < fields.colours; ++i) {
            table.push_back(static_cast<std::uint8_t>(i * 3));        // B
            table.push_back(static_cast<std::uint8_t>(255 - i));      // G
            table.push_back(static_cast<std::uint8_t>(i * 5 + 1));    // R
            table.push_back(0);
        }
    const int rowBytes = fields.width * fields.bits / 8;
    const int stride = fields.pad ? (rowBytes + 3) / 4 * 4 : rowBytes;
    std::vector<std::uint8_t> pixels = fields.pixels;
    if (pixels.empty())
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < stride; ++i)
                pixels.push_back(i < rowBytes ? static_cast<std::uint8_t>((y * 37 + i * 11) % (fields.bits == 8 && fields.colours ? fields.colours : 256))
                                              : 0);
    const int offBits = fields.offBits >= 0 ? fields.offBits : 14 + fields.infoSize + static_cast<int>(table.size());
    std::string s = "BM";
    AppendU32(s, static_cast<std::uint32_t>(offBits + pixels.size()));
    AppendU32(s, 0);
    AppendU32(s, static_cast<std::uint32_t>(offBits));
    AppendU32(s, static_cast<std::uint32_t>(fields.infoSize));
    AppendU32(s, static_cast<std::uint32_t>(fields.width));
    AppendU32(s, static_cast<std::uint32_t>(fields.height));
    AppendU16(s, 1);
    AppendU16(s, static_cast<std::uint32_t>(fields.bits));
    AppendU32(s, static_cast<std::uint32_t>(fields.compression));
    AppendU32(s, static_cast<std::uint32_t>(pixels.size()));
    AppendU32(s, 2835);
    AppendU32(s, 2835);
    AppendU32(s, static_cast<std::uint32_t>(fields.clrUsed >= 0 ? fields.clrUsed : fields.colours));
    AppendU32(s, 0);
    s.resize(14 + static_cast<std::size_t>(fields.infoSize), '\0');
    s.append(table.begin(), table.end());
    if (static_cast<int>(s.size()) < offBits) s.resize(static_cast<std::size_t>(offBits), '\0');
    s.append(pixels.begin(), pixels.end());
    return s;
}

std::string MakeTga(const TgaFields& fields) {
    std::string s;
    s.push_back(static_cast<char>(fields.idLength));
    s.push_back(static_cast<char>(fields.mapType));
    s.push_back(static_cast<char>(fields.type));
    AppendU16(s, static_cast<std::uint32_t>(fields.firstEntry));
    AppendU16(s, static_cast<std::uint32_t>(fields.mapLength));
    s.push_back(static_cast<char>(fields.entryBits));
    AppendU16(s, 0);
    AppendU16(s, 0);
    AppendU16(s, static_cast<std::uint32_t>(fields.width));
    AppendU16(s, static_cast<std::uint32_t>(fields.height));
    s.push_back(static_cast<char>(fields.depth));
    s.push_back(static_cast<char>(fields.descriptor));
    s.append(static_cast<std::size_t>(fields.idLength), 'i');
    s += fields.map;
    s += fields.pixels;
    return s;
}

std::string RleEncode(const std::string& pixels, int bytes) {
    std::string out;
    const std::size_t n = pixels.size() / static_cast<std::size_t>(bytes);
    std::size_t i = 0;
    auto px = [&](std::size_t k) { return pixels.substr(k * bytes, static_cast<std::size_t>(bytes)); };
    while (i < n) {
        std::size_t run = 1;
        while (i + run < n && run < 128 && px(i + run) == px(i)) ++run;
        if (run > 1) {
            out.push_back(static_cast<char>(0x80 | (run - 1)));
            out += px(i);
            i += run;
            continue;
        }
        std::size_t raw = 1;
        while (i + raw < n && raw < 128 && (i + raw + 1 >= n || px(i + raw) != px(i + raw + 1))) ++raw;
        out.push_back(static_cast<char>(raw - 1));
        out += pixels.substr(i * bytes, raw * bytes);
        i += raw;
    }
    return out;
}

std::string MakeFt2e(const Ft2eFields& fields) {
    std::string s = "FT2E";
    AppendU32(s, fields.version);
    AppendU32(s, fields.width);
    AppendU32(s, fields.height);
    const std::uint32_t levels = static_cast<std::uint32_t>(fields.levels.size());
    if (fields.version == 7) {
        s += Bytes({fields.mipSkip, static_cast<int>(levels), fields.alphaMode, fields.type, fields.slices, fields.wrapS,
                    fields.wrapT, 0});
    } else {
        AppendU32(s, static_cast<std::uint32_t>(fields.mipSkip));
        AppendU32(s, levels);
        AppendU32(s, static_cast<std::uint32_t>(fields.alphaMode));
        AppendU32(s, static_cast<std::uint32_t>(fields.type));
        AppendU32(s, static_cast<std::uint32_t>(fields.slices));
    }
    s += fields.format;
    s += Bytes({0, 0, 0, 1});
    const std::uint32_t level0 = fields.levels.empty() ? 0 : static_cast<std::uint32_t>(fields.levels[0].size());
    AppendU32(s, fields.level0SizeOverride >= 0 ? static_cast<std::uint32_t>(fields.level0SizeOverride) : level0);
    for (std::size_t i = 1; i < fields.levels.size(); ++i) AppendU32(s, static_cast<std::uint32_t>(fields.levels[i].size()));
    for (std::size_t i = 1; i < fields.levels.size(); ++i) s += fields.levels[i];
    if (!fields.levels.empty()) s += fields.levels[0];
    return s;
}

std::string MakeJirf(const JirfFields& fields) {
    std::string info;
    AppendU32(info, fields.version);
    AppendU32(info, 0x00010001);
    AppendU32(info, fields.countA);
    AppendU32(info, fields.countB);
    AppendU32(info, fields.format);
    AppendU32(info, fields.width);
    AppendU32(info, fields.height);
    AppendU32(info, fields.dynamic);
    AppendU32(info, fields.wrapS);
    AppendU32(info, fields.wrapT);
    for (int i = 0; i < 4; ++i) AppendU32(info, 0);
    AppendU32(info, fields.alphaHint);
    if (fields.version > 0x103) AppendU32(info, 0);
    if (fields.version > 0x104)
        for (int i = 0; i < 3; ++i) AppendU32(info, 0);
    if (fields.version > 0x106) AppendU32(info, fields.normalMap);
    std::string body = fields.form;
    AppendU32(body, fields.infoSizeOverride >= 0 ? static_cast<std::uint32_t>(fields.infoSizeOverride)
                                               : static_cast<std::uint32_t>(info.size()));
    body += info;
    for (const std::string& c : fields.chunks) {
        body += fields.chunkTag;
        AppendU32(body, static_cast<std::uint32_t>(c.size()));
        body += c;
    }
    std::string s = "JIRF";
    AppendU32(s, static_cast<std::uint32_t>(body.size()));
    return s + body;
}

std::string Dxt1Block(std::uint16_t c0, std::uint16_t c1, const std::vector<int>& indices) {
    std::string s;
    AppendU16(s, c0);
    AppendU16(s, c1);
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < indices.size() && i < 16; ++i) bits |= static_cast<std::uint32_t>(indices[i] & 3) << (2 * i);
    AppendU32(s, bits);
    return s;
}


std::string MakeJpeg(int width, int height, const JpegEncodeOptions& options, int seed) {
    return EncodeJpeg(TestPicture(width, height, seed), options);
}

}  // namespace kelvarn::test
