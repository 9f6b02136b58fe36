// Damaged variants of a picture file, as a maker's disk or a bad download leaves them: cut at 25, 50
// and 90 %, a header claiming 16000 x 16000 and 65535 x 65535, one byte flipped in the header and one
// in the data. The corpus runner and the tests make them the same way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvarn::bench {

// Where each format keeps the picture's width and height; false when the file has no such field.
inline bool SetClaimedSize(std::string& bytes, const std::string& ext, std::uint32_t w, std::uint32_t h) {
    auto put16 = [&](std::size_t at, std::uint32_t v, bool big) {
        bytes[at] = static_cast<char>(big ? v >> 8 : v);
        bytes[at + 1] = static_cast<char>(big ? v : v >> 8);
    };
    if (ext == ".tga" && bytes.size() >= 18) {
        put16(12, w, false);
        put16(14, h, false);
        return true;
    }
    if (ext == ".bmp" && bytes.size() >= 26) {
        for (int i = 0; i < 4; ++i) {
            bytes[18 + i] = static_cast<char>(w >> (8 * i));
            bytes[22 + i] = static_cast<char>(h >> (8 * i));
        }
        return true;
    }
    if (ext == ".texture" && bytes.size() >= 16 && bytes.compare(0, 4, "FT2E") == 0) {
        for (int i = 0; i < 4; ++i) {
            bytes[8 + i] = static_cast<char>(w >> (8 * i));
            bytes[12 + i] = static_cast<char>(h >> (8 * i));
        }
        return true;
    }
    if (ext == ".jpg") {
        // Segment by segment: an Exif block may hold a thumbnail with a frame header of its own.
        auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
        for (std::size_t at = 2; at + 9 < bytes.size() && byte(at) == 0xFF;) {
            const unsigned m = byte(at + 1);
            if ((m >= 0xC0 && m <= 0xC2) || m == 0xC9 || m == 0xCA) {  // Huffman or arithmetic frames
                put16(at + 5, h, true);
                put16(at + 7, w, true);
                return true;
            }
            if (m == 0xDA || m == 0xD9) break;
            at += 2 + (static_cast<std::size_t>(byte(at + 2)) << 8 | byte(at + 3));
        }
    }
    return false;
}

struct DamagedVariant {
    std::string name;
    std::string bytes;
    bool mustFail;  // a cut or a header claiming more than the file holds
};

inline std::vector<DamagedVariant> DamagedVariants(const std::string& bytes, const std::string& ext) {
    std::vector<DamagedVariant> out;
    for (int percent : {25, 50, 90})
        out.push_back({"cut at " + std::to_string(percent) + "%", bytes.substr(0, bytes.size() * percent / 100), true});
    for (std::uint32_t side : {16000u, 65535u}) {
        std::string lying = bytes;
        if (SetClaimedSize(lying, ext, side, side)) out.push_back({"claims " + std::to_string(side), lying, true});
    }
    std::string header = bytes, data = bytes;
    header[std::min<std::size_t>(13, bytes.size() - 1)] ^= 0x5A;
    data[bytes.size() * 2 / 3] ^= 0x5A;
    out.push_back({"header byte flipped", header, false});
    out.push_back({"data byte flipped", data, false});
    return out;
}

}  // namespace kelvarn::bench
