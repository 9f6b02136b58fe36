// The program's own baseline JPEG decoder (sequential Huffman frames, 8- and 12-bit samples, YCbCr
// colour, or RGB where an Adobe marker or the component ids say so, as libjpeg-turbo reads them). It decodes from memory into a 32-bit top-down buffer (B, G, R, and a fourth byte that is
// not alpha) whose rows are the width rounded up to whole MCUs. Progressive and arithmetic-coded
// files are refused with status 5; the image library hands those to libjpeg-turbo.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "media/ImageBytes.h"

namespace kelvarn {

// Status of a decode.
inline constexpr std::uint8_t kJpegInputEnded = 0;   // the input ended early, or a segment runs past it
inline constexpr std::uint8_t kJpegNoMemory = 1;     // the frame is above the pixel cap, or allocation failed
inline constexpr std::uint8_t kJpegDecoded = 2;      // end-of-image reached
inline constexpr std::uint8_t kJpegUnsupported = 5;  // unsupported or inconsistent data

struct TJpegImage {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t RowWidth = 0;      // pixels per buffer row: the width rounded up to whole MCUs
    std::uint32_t BufferHeight = 0;  // rows in the buffer: the height rounded up to whole MCU rows
    std::uint32_t BitCount = 32;
    std::uint32_t ComponentCount = 0;
    std::uint8_t* Pixels = nullptr;  // the top row; RowWidth x 4 bytes per row

    struct FreeBuffer {
        void operator()(std::uint32_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint32_t[], FreeBuffer> Buffer;  // owns Pixels; grows with the rows decoded
};

struct JpegLimits {
    std::int64_t maxPixels = kMaxImagePixels;  // width x height above this gives status 1
    // Data that ends right after the scan's last block, without the end-of-image marker, is a whole
    // picture (status 2) rather than a cut file (status 0).
    bool completeWithoutEnd = false;
};

// On status 2 `out` holds the picture; otherwise it is null and nothing stays allocated. The frame
// buffer grows with the rows decoded, so data that ends early (at the end of the input, or at a
// marker other than the next restart marker before the scan's last block: status 0) never takes the
// memory its header claims. Data the library would call corrupt (bytes the blocks do not use before a
// marker, restart markers out of turn, codes no table holds) gives status 5.
std::uint8_t DecodeJpeg(ByteSpan data, std::unique_ptr<TJpegImage>& out, const JpegLimits& limits = {});
inline void FreeJpegImage(std::unique_ptr<TJpegImage>& image) { image.reset(); }

// The picture (width x height) as the program's image, 24-bit; empty for null.
Image32 JpegImageToBitmap(const TJpegImage* image);
// DecodeJpeg and JpegImageToBitmap; False unless the status is 2.
bool DecodeJpegToBitmap(ByteSpan data, Image32& bitmap);
// Draws the whole picture stretched (nearest neighbour) into the rectangle [left, right) x [top,
// bottom) of `canvas`, clipped to the canvas; nothing for null.
void DrawJpegImage(const TJpegImage* image, Image32& canvas, int left, int top, int right, int bottom);

// The size in a JPEG's frame header (any SOF kind), without decoding. False when there is none.
bool ReadJpegSize(ByteSpan data, int& width, int& height);

}  // namespace kelvarn
