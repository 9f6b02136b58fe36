// Damaged variants of a picture file, as a maker's disk or a bad download leaves them: cut at 25, 50
// and 90 %, a header claiming 16000 and 65535 square (a JPEG's also 2048, 4096 and 7000), one byte
// flipped in the header and one in the data, and for a JPEG also cut in half with its end marker put
// back and bytes flipped through its entropy-coded data. The corpus runner and the tests make them the
// same way.
#pragma once

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace kelvarn::bench {

namespace detail {

// Segment by segment to the frame header (an Exif block may hold a thumbnail with one of its own) or,
// with `scan`, to the first scan's data; npos when there is none.
inline std::size_t FindJpegSegment(const std::string& bytes, bool scan) {
    auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    for (std::size_t at = 2; at + 9 < bytes.size() && byte(at) == 0xFF;) {
        const unsigned m = byte(at + 1);
        const std::size_t length = static_cast<std::size_t>(byte(at + 2)) << 8 | byte(at + 3);
        if (!scan && m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) return at;
        if (m == 0xDA) return scan ? at + 2 + length : std::string::npos;
        if (m == 0xD9) break;
        at += 2 + length;
    }
    return std::string::npos;
}

}  // namespace detail

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
        const std::size_t at = detail::FindJpegSegment(bytes, false);
        if (at == std::string::npos) return false;
        put16(at + 5, h, true);
        put16(at + 7, w, true);
        return true;
    }
    return false;
}

namespace detail {

struct JpegComplaint {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool complained = false;
};

}  // namespace detail

// Does libjpeg-turbo, left to itself, call the JPEG damaged: an error, or a warning of corrupt or
// missing data (reading from memory, its warnings are the only sign)? Warnings about metadata, and
// the end of the file coming before the end marker (the data may be whole), do not count.
inline bool LibjpegComplains(const std::string& bytes) {
    jpeg_decompress_struct cinfo{};
    detail::JpegComplaint err;
    jpeg_std_error(&err.pub);
    err.pub.error_exit = [](j_common_ptr info) { std::longjmp(reinterpret_cast<detail::JpegComplaint*>(info->err)->jump, 1); };
    err.pub.output_message = [](j_common_ptr) {};
    err.pub.emit_message = [](j_common_ptr info, int level) {
        const int code = info->err->msg_code;
        if (level < 0 && code != JWRN_JPEG_EOF && code != JWRN_ADOBE_XFORM && code != JWRN_JFIF_MAJOR)
            reinterpret_cast<detail::JpegComplaint*>(info->err)->complained = true;
    };
    cinfo.err = &err.pub;
    std::vector<JSAMPLE> row;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    row.resize(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return err.complained;
}

inline bool IsArithmeticJpeg(const std::string& bytes) {
    const std::size_t frame = detail::FindJpegSegment(bytes, false);
    if (frame == std::string::npos) return false;
    const unsigned m = static_cast<unsigned char>(bytes[frame + 1]);
    return m >= 0xC9 && m <= 0xCB;
}

struct DamagedVariant {
    std::string name;
    std::string bytes;
    bool mustFail;  // a cut, a header claiming more than the file holds, or data the library calls corrupt
    std::uint64_t claimedPixels = 0;  // of a header claiming a size: the memory no reader may take
};

inline std::vector<DamagedVariant> DamagedVariants(const std::string& bytes, const std::string& ext) {
    std::vector<DamagedVariant> out;
    for (int percent : {25, 50, 90})
        out.push_back({"cut at " + std::to_string(percent) + "%", bytes.substr(0, bytes.size() * percent / 100), true});
    // Arithmetic-coded data is read as zeros past any marker, as that coding allows (an encoder drops
    // the zeros that end its data), so a sequential arithmetic scan cut short and closed again reads as
    // a whole one, and a small picture decodes as a large one: only missing scans or a header claiming
    // more than 2048 x 2048 tell.
    const bool arithmetic = ext == ".jpg" && IsArithmeticJpeg(bytes);
    const std::size_t frame = ext == ".jpg" ? detail::FindJpegSegment(bytes, false) : std::string::npos;
    const bool progressive = frame != std::string::npos && (bytes[frame + 1] == '\xC2' || bytes[frame + 1] == '\xCA');
    if (ext == ".jpg")
        out.push_back({"cut in half, end marker added", bytes.substr(0, bytes.size() / 2) + "\xFF\xD9", !arithmetic || progressive});
    for (std::uint32_t side : {2048u, 4096u, 7000u, 16000u, 65535u}) {
        // The smaller claims are a JPEG's: a real thumbnail made to say 2048 x 2048 or a photo 7000 x
        // 7000; an arithmetic-coded one may say 2048 x 2048 (it loads, its missing part flat).
        if (side < 16000 && (ext != ".jpg" || (arithmetic && side <= 2048))) continue;
        std::string lying = bytes;
        if (SetClaimedSize(lying, ext, side, side))
            out.push_back({"claims " + std::to_string(side), lying, true, std::uint64_t{side} * side});
    }
    std::string header = bytes, data = bytes;
    header[std::min<std::size_t>(13, bytes.size() - 1)] ^= 0x5A;
    data[bytes.size() * 2 / 3] ^= 0x5A;
    out.push_back({"header byte flipped", header, false});
    out.push_back({"data byte flipped", data, false});
    // Through a JPEG's entropy-coded data: what the library calls damaged must fail; the rest may load.
    const std::size_t scan = ext == ".jpg" ? detail::FindJpegSegment(bytes, true) : std::string::npos;
    if (scan != std::string::npos && scan + 16 < bytes.size())
        for (int i = 0; i < 8; ++i) {
            std::string flipped = bytes;
            flipped[scan + (bytes.size() - 2 - scan) * (2 * i + 1) / 16] ^= static_cast<char>(0x11 << (i % 4));
            const bool complains = LibjpegComplains(flipped);
            out.push_back({"scan byte " + std::to_string(i + 1) + " of 8 flipped" + (complains ? " (library: corrupt)" : ""),
                           flipped, complains});
        }
    return out;
}

}  // namespace kelvarn::bench
