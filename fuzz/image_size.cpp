// The header-only picture size on any bytes: BMP, JPEG and TGA headers, cut short or nonsensical.
// The same bytes go through the uniform-image rewrite of a TGA, which gives none or a file our own
// TGA reader loads as an 8 x 8 picture.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "media/ImageSize.h"
#include "media/TgaCodec.h"
#include "validation/TextureRepair.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto found = kelvarn::ImageSizeFromBytes(bytes))
        if (found->Width <= 0 || found->Height <= 0) std::abort();  // a size is a real size or none
    if (const auto rewritten = kelvarn::RewriteUniformTga(bytes)) {
        const kelvarn::TgaFullResult tga = kelvarn::DecodeTgaFull(kelvarn::AsBytes(*rewritten));
        if (tga.fault != kelvarn::TgaFault::None || tga.image.Width != 8 || tga.image.Height != 8) std::abort();
    }
    return 0;
}
