// The header-only picture size on any bytes: BMP, JPEG and TGA headers, cut short or nonsensical.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "media/ImageSize.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto found = kelvarn::ImageSizeFromBytes(bytes))
        if (found->Width <= 0 || found->Height <= 0) std::abort();  // a size is a real size or none
    return 0;
}
