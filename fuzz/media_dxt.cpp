// The DXT block decoders: the first five bytes pick the format, width, height and alpha hint, the
// rest is block data.
#include <cstdint>
#include <cstdlib>

#include "media/DxtCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    if (size < 5) return 0;
    const DxtFormat format = data[0] % 3 == 0 ? DxtFormat::Dxt1 : data[0] % 3 == 1 ? DxtFormat::Dxt3 : DxtFormat::Dxt5;
    const int width = (data[1] | (data[2] << 8)) % 6000;  // past the width limits too
    const int height = data[3] % 80;
    const int hint = data[4] % 3;
    RawImage out;
    if (DecodeDxt(format, width, height, hint, ByteSpan(data + 5, size - 5), out) &&
        out.Pixels.size() != static_cast<std::size_t>(width) * height * DxtBytesPerPixel(format, hint))
        std::abort();
    return 0;
}
