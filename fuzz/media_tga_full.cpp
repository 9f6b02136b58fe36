// The full TGA reader (all types, run-length) on any bytes; what it accepts must read back the same
// after our writer.
#include <cstdint>
#include <cstdlib>

#include "media/TgaCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    LooksLikeTga(ByteSpan(data, size));
    const TgaFullResult r = DecodeTgaFull(ByteSpan(data, size));
    if (r.fault != TgaFault::None) return 0;
    const TgaFullResult back = DecodeTgaFull(AsBytes(EncodeTga(Image32ToRaw(r.image, 4))));
    if (back.fault != TgaFault::None || back.image.Pixels != r.image.Pixels) std::abort();
    return 0;
}
