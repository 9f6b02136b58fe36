// The ".texture" reader (FT2E and JIRF) on any bytes, with both alpha-mode tables and a lowered
// picture cap, and the descriptor built from what it read.
#include <cstdint>
#include <cstdlib>

#include "media/TextureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    TextureAlphaModes gl;
    gl.full = {0, 1, 2, 1};
    for (const TextureAlphaModes& modes : {TextureAlphaModes{}, gl}) {
        const TextureResult r = DecodeTexture(ByteSpan(data, size), modes, 1 << 20);
        if (r.infoRead) WriteTextureDescriptor("fuzz.texture", r.info);
        if (r.fault == TextureFault::None &&
            r.image.Pixels.size() != static_cast<std::size_t>(r.image.Width) * r.image.Height * r.image.BytesPerPixel)
            std::abort();
    }
    return 0;
}
