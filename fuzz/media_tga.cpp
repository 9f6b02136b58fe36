// The strict TGA reader on any bytes; what it accepts must read back the same after our writer.
#include <cstdint>
#include <cstdlib>

#include "media/TgaCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    const TgaResult r = DecodeTgaStrict(ByteSpan(data, size));
    if (r.fault != TgaFault::None) return 0;
    const TgaResult back = DecodeTgaStrict(AsBytes(EncodeTga(r.image)));
    if (back.fault != TgaFault::None || back.image.Pixels != r.image.Pixels) std::abort();
    return 0;
}
