#include "media/JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "media/JpegDec.h"

namespace kelvarn {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(err->jump, 1);
}

void Silent(j_common_ptr) {}

// The library goes on past missing or corrupt data, filling grey or repeating blocks; reading from
// memory, its warnings are the only sign, so every corruption warning ends the decode as errors do.
// Warnings about metadata alone do not.
void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    switch (info->err->msg_code) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_ICC:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        OnError(info);
        break;
    case JWRN_JPEG_EOF:
        // Huffman data that still needs bits then meets the end marker the library puts in and warns
        // again, and a progressive file cut between scans leaves coefficients unrefined (see
        // ScansComplete); complete data that merely lacks its end marker is a whole picture.
        // Arithmetic data reads zeros past its end without a word, so there the early end is all
        // there is to go by.
        if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->arith_code) OnError(info);
        break;
    default:
        break;
    }
}

void InitErrors(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.output_message = Silent;
    err.pub.emit_message = OnMessage;
}

// Arithmetic coding can spend far less than a bit on an MCU, and the library decodes past the end of
// its data without a word (it reads zeros there, as the coding allows), so no length bounds such a
// picture soundly: a flat picture's data hardly grows with its size. Up to this size a lying header
// costs a fraction of a second; above it arithmetic files are held to the Huffman rule, which real
// pictures keep by far. Without it a few hundred bytes claiming 16000 x 16000 decode for seconds into
// a gigabyte.
constexpr std::int64_t kArithmeticFreePixels = std::int64_t{2048} * 2048;

// After jpeg_read_header: the picture is within `maxPixels`, and the rest of the file could code it.
// Every block costs Huffman data (two codes in a sequential scan, at least the DC code of a first
// progressive scan), so a cut or lying header is refused before the library allocates for the
// picture it claims.
bool HeaderFits(const jpeg_decompress_struct& cinfo, std::int64_t maxPixels) {
    const std::int64_t pixels = static_cast<std::int64_t>(cinfo.image_width) * cinfo.image_height;
    if (pixels > maxPixels) return false;
    const std::uint64_t bits = 8 * static_cast<std::uint64_t>(cinfo.src->bytes_in_buffer);
    if (cinfo.arith_code) {
        if (pixels <= kArithmeticFreePixels) return true;
        const std::uint64_t mcuW = 8 * static_cast<std::uint64_t>(std::max(cinfo.max_h_samp_factor, 1));
        const std::uint64_t mcuH = 8 * static_cast<std::uint64_t>(std::max(cinfo.max_v_samp_factor, 1));
        return (cinfo.image_width + mcuW - 1) / mcuW * ((cinfo.image_height + mcuH - 1) / mcuH) <= bits;
    }
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += static_cast<std::uint64_t>(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
    return blocks * (cinfo.progressive_mode ? 1 : 2) <= bits;
}

// After a progressive decode: every coefficient was refined to full precision, as every encoder's
// scans do. A file cut between scans, or cut inside an arithmetic-coded scan and given an end marker
// (its decoder reads zeros past a marker, as that coding allows), leaves some unrefined.
bool ScansComplete(const jpeg_decompress_struct& cinfo) {
    if (!cinfo.progressive_mode || !cinfo.coef_bits) return true;
    for (int c = 0; c < cinfo.num_components; ++c)
        for (int k = 0; k < DCTSIZE2; ++k)
            if (cinfo.coef_bits[c][k] != 0) return false;
    return true;
}

}  // namespace

std::string EncodeJpeg(const Image32& image, const JpegEncodeOptions& options) {
    if (image.Empty() || image.Width > 65500 || image.Height > 65500) return {};
    jpeg_compress_struct cinfo{};
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    InitErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.Width);
    cinfo.image_height = static_cast<JDIMENSION>(image.Height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;  // the program's pixels in memory order
    jpeg_set_defaults(&cinfo);
    if (options.grey) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    else if (options.rgb) jpeg_set_colorspace(&cinfo, JCS_RGB);
    jpeg_set_quality(&cinfo, options.quality, options.forceBaseline ? TRUE : FALSE);
    if (!options.grey)
        for (int c = 0; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = options.factors[c][0];
            cinfo.comp_info[c].v_samp_factor = options.factors[c][1];
        }
    else {
        cinfo.comp_info[0].h_samp_factor = options.factors[0][0];
        cinfo.comp_info[0].v_samp_factor = options.factors[0][1];
    }
    cinfo.restart_interval = static_cast<unsigned>(options.restartInterval);
    cinfo.arith_code = options.arithmetic ? TRUE : FALSE;
    if (options.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(
            const_cast<std::uint32_t*>(&image.Pixels[static_cast<std::size_t>(cinfo.next_scanline) * image.Width]));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

bool DecodeJpegWithLibrary(ByteSpan data, Image32& out, std::int64_t maxPixels) {
    out = Image32{};
    if (data.empty()) return false;
    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    InitErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out.Width = out.Height = 0;
        out.Pixels.clear();
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = 1024L * 1024L * 1024L;
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (!HeaderFits(cinfo, maxPixels) || cinfo.num_components > 4) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_EXT_BGRX;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&cinfo);  // reads every scan of a progressive file
    if (!ImageSizeAllowed(cinfo.output_width, cinfo.output_height) || !ScansComplete(cinfo)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // The picture grows row by row: data that ends early stops the decode before the memory for
    // what the header claims is ever taken.
    const std::size_t width = cinfo.output_width;
    while (cinfo.output_scanline < cinfo.output_height) {
        const std::size_t y = cinfo.output_scanline;
        out.Pixels.resize((y + 1) * width);
        JSAMPROW row = reinterpret_cast<JSAMPROW>(&out.Pixels[y * width]);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    out.Width = static_cast<int>(cinfo.output_width);
    out.Height = static_cast<int>(cinfo.output_height);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    for (std::uint32_t& p : out.Pixels) p |= 0xFF000000u;
    out.Depth = 24;
    return true;
}

bool DecodeJpegPicture(ByteSpan data, Image32& out, std::int64_t maxPixels) {
    out = Image32{};
    std::unique_ptr<TJpegImage> jpeg;
    const std::uint8_t status = DecodeJpeg(data, jpeg, JpegLimits{maxPixels, true});
    if (status == kJpegDecoded) out = JpegImageToBitmap(jpeg.get());
    else if (status == kJpegUnsupported) DecodeJpegWithLibrary(data, out, maxPixels);
    return !out.Empty();
}

namespace {

// Reads the header and answers `question` of it; false when the library cannot read the header.
bool AskHeader(ByteSpan data, bool (*question)(const jpeg_decompress_struct&, std::int64_t), std::int64_t maxPixels) {
    if (data.empty()) return false;
    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    InitErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const bool answer = question(cinfo, maxPixels);
    jpeg_destroy_decompress(&cinfo);
    return answer;
}

}  // namespace

bool JpegHeaderFits(ByteSpan data, std::int64_t maxPixels) { return AskHeader(data, HeaderFits, maxPixels); }

bool JpegHasMultipleScans(ByteSpan data) {
    return AskHeader(
        data, [](const jpeg_decompress_struct& cinfo, std::int64_t) {
            return jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&cinfo)) != 0;
        }, 0);
}

}  // namespace kelvarn
