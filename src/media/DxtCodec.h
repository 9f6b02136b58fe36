// DXT1, DXT3 and DXT5 block decoding into the library's layout (rows bottom-up). The arithmetic is
// the simulator tools' own: endpoints shifted up without low-bit replication and thirds rounded down
// term by term, so pictures compare byte for byte with what the tools show.
#pragma once

#include "media/ImageBytes.h"

namespace kelvarn {

enum class DxtFormat { Dxt1 = 1, Dxt3 = 3, Dxt5 = 5 };

// The widest picture a block decoder takes: 4096 pixels at 4 bytes, 5461 at 3.
int MaxDxtWidth(int bytesPerPixel);
// 4 bytes per pixel, except DXT1 with an alpha hint other than 2 (masked), which gives 3.
int DxtBytesPerPixel(DxtFormat format, int alphaHint);

// Decodes `data` (whole blocks, block rows from the top, exactly ceil(w/4) x ceil(h/4) of them) into
// `out`. False for a width or height the decoder does not take, or data that is not exactly the
// picture's blocks.
bool DecodeDxt(DxtFormat format, int width, int height, int alphaHint, ByteSpan data, RawImage& out);

}  // namespace kelvarn
