#include "media/MagickReader.h"

#include <cstring>
#include <mutex>

#include <Magick++.h>

#include "media/JpegCodec.h"

namespace kelvarn {

namespace {

bool Starts(ByteSpan data, const char* sig, std::size_t n) {
    return data.size() >= n && std::memcmp(data.data(), sig, n) == 0;
}

void InitMagick() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        Magick::ResourceLimits::width(1u << 18);
        Magick::ResourceLimits::height(1u << 18);
        Magick::ResourceLimits::area(static_cast<MagickCore::MagickSizeType>(kMaxImagePixels));
        Magick::ResourceLimits::memory(2ull << 30);
        Magick::ResourceLimits::map(2ull << 30);
        Magick::ResourceLimits::disk(0);
        Magick::ResourceLimits::listLength(16);
        Magick::ResourceLimits::thread(1);
    });
}

const char* CoderOf(ImageSignature signature) {
    switch (signature) {
    case ImageSignature::Png: return "PNG";
    case ImageSignature::Gif: return "GIF";
    case ImageSignature::Tiff: return "TIFF";
    case ImageSignature::Psd: return "PSD";
    case ImageSignature::Bmp: return "BMP";
    case ImageSignature::Jpeg: return "JPEG";
    default: return nullptr;
    }
}

}  // namespace

ImageSignature DetectImageSignature(ByteSpan data) {
    if (Starts(data, "\x89PNG\r\n\x1a\n", 8)) return ImageSignature::Png;
    if (Starts(data, "GIF87a", 6) || Starts(data, "GIF89a", 6)) return ImageSignature::Gif;
    if (Starts(data, "II*\0", 4) || Starts(data, "MM\0*", 4)) return ImageSignature::Tiff;
    if (Starts(data, "8BPS", 4)) return ImageSignature::Psd;
    if (Starts(data, "Paint Shop Pro Image File", 25)) return ImageSignature::Psp;
    if (Starts(data, "BM", 2)) return ImageSignature::Bmp;
    if (Starts(data, "\xFF\xD8\xFF", 3)) return ImageSignature::Jpeg;
    return ImageSignature::Unknown;
}

bool ReadWithMagick(ByteSpan data, ImageSignature signature, Image32& out, GraphicProperties& properties) {
    const char* coder = CoderOf(signature);
    if (!coder || data.empty()) return false;
    // Magick hands a JPEG to libjpeg, which would allocate whatever the header claims.
    if (signature == ImageSignature::Jpeg && !JpegHeaderFits(data)) return false;
    InitMagick();
    try {
        Magick::Blob blob(data.data(), data.size());
        Magick::Image image;
        image.quiet(false);
        image.subImage(0);
        image.subRange(1);
        image.magick(coder);
        try {
            image.read(blob);
        } catch (const Magick::WarningCorruptImage&) {
            return false;  // missing or corrupt data: a damaged picture is not shown as fine
        } catch (const Magick::Warning&) {
            // other warnings (metadata, profiles) leave a good picture
        }
        const std::int64_t w = static_cast<std::int64_t>(image.columns());
        const std::int64_t h = static_cast<std::int64_t>(image.rows());
        if (!ImageSizeAllowed(w, h)) return false;
        Image32 picture;
        if (!picture.Resize(static_cast<int>(w), static_cast<int>(h))) return false;
        image.write(0, 0, static_cast<std::size_t>(w), static_cast<std::size_t>(h), "BGRA", Magick::CharPixel,
                    picture.Pixels.data());
        properties.hasAlpha = image.matte();
        const Magick::ImageType type = image.type();
        const bool paletteOrGrey = image.classType() == Magick::PseudoClass || type == Magick::BilevelType ||
                                   type == Magick::GrayscaleType || type == Magick::PaletteType;
        properties.bits = properties.hasAlpha ? 32 : paletteOrGrey ? 8 : 24;
        properties.compression = 0;
        if (!properties.hasAlpha) picture.SetDepth24();
        out = std::move(picture);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kelvarn
