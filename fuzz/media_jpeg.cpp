// Our JPEG decoder on any bytes, with the frame cap lowered so that a small file cannot claim a
// huge picture, the decode every reader uses (libjpeg-turbo for what ours does not take), and the
// size query.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "media/JpegCodec.h"
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
    Image32 picture;
    if (DecodeJpegPicture(ByteSpan(data, size), picture, 1 << 22) &&
        picture.Pixels.size() != static_cast<std::size_t>(picture.Width) * picture.Height)
        std::abort();
    int w = 0, h = 0;
    ReadJpegSize(ByteSpan(data, size), w, h);
    return 0;
}
