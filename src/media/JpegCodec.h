// JPEG through libjpeg-turbo: every encode (the exports write baseline, SaveJPEG progressive), and the
// decode of what our own decoder refuses (progressive and arithmetic-coded files).
#pragma once

#include <string>

#include "media/ImageBytes.h"

namespace kelvarn {

struct JpegEncodeOptions {
    int quality = 90;
    bool progressive = false;
    bool grey = false;
    // Sampling factors (horizontal, vertical) of Y, Cb and Cr.
    int factors[3][2] = {{2, 2}, {1, 1}, {1, 1}};
    int restartInterval = 0;     // in MCUs; 0 for none
    bool forceBaseline = true;   // false lets low qualities write 16-bit tables (an SOF1 frame)
    bool arithmetic = false;
    bool rgb = false;  // store R, G, B without YCbCr (an Adobe marker with transform 0, no JFIF marker)
};

// Encodes a picture (its alpha ignored); empty on failure.
std::string EncodeJpeg(const Image32& image, const JpegEncodeOptions& options = {});

// Decodes with the library: accurate integer transform, plain (replicating) up-sampling. False for a
// file the library cannot read or calls corrupt (any warning of corrupt or missing data), a
// progressive file missing scans, or a picture above `maxPixels`.
bool DecodeJpegWithLibrary(ByteSpan data, Image32& out, std::int64_t maxPixels = kMaxImagePixels);

// The one JPEG decode every reader uses, so that a file is damaged or fine alike in every view: our
// decoder first, the library for what ours does not take (progressive and arithmetic-coded files, 4:1:1
// sampling, and what ours finds corrupt, so that the library decides). A cut file, one the library
// calls corrupt, or one whose header claims more than its data or `maxPixels`, fails; whole data that
// only lacks its end marker loads.
bool DecodeJpegPicture(ByteSpan data, Image32& out, std::int64_t maxPixels = kMaxImagePixels);

// True when the library reads the header and the picture it claims is within `maxPixels` and could be
// coded by the rest of the file; the other JPEG readers ask this before they decode.
bool JpegHeaderFits(ByteSpan data, std::int64_t maxPixels = kMaxImagePixels);

// True when a JPEG holds more than one scan (a progressive file).
bool JpegHasMultipleScans(ByteSpan data);

}  // namespace kelvarn
