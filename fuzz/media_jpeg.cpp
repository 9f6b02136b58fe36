// Our JPEG decoder on any bytes, with the frame cap lowered so that a small file cannot claim a
// huge picture, and the size query.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "media/JpegDec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    std::unique_ptr<TJpegImage> image;
    const std::uint8_t status = DecodeJpeg(ByteSpan(data, size), image, JpegLimits{1 << 18});
    if (status == kJpegDecoded) {
        if (!image || image->RowWidth < image->Width || image->BufferHeight < image->Height) std::abort();
        JpegImageToBitmap(image.get());
    } else if (image || (status != kJpegInputEnded && status != kJpegNoMemory && status != kJpegUnsupported)) {
        std::abort();
    }
    int w = 0, h = 0;
    ReadJpegSize(ByteSpan(data, size), w, h);
    return 0;
}
