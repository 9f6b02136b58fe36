// The BMP reader on any bytes; what it accepts must read back the same after our writer.
#include <cstdint>
#include <cstdlib>

#include "media/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    const BmpResult r = DecodeBmp(ByteSpan(data, size));
    if (r.fault != BmpFault::None) return 0;
    const std::string again = EncodeBmp24(r.image);
    const BmpResult back = DecodeBmp(AsBytes(again));
    if (back.fault != BmpFault::None || back.image.Pixels != r.image.Pixels) std::abort();
    return 0;
}
