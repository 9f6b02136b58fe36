#include "media/StrellImage.h"

#include "media/BmpCodec.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "media/MagickReader.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// True while every pixel has the colour of the first (alpha aside).
bool AllOneColour(const Image32& image) {
    for (std::uint32_t p : image.Pixels)
        if (((p ^ image.Pixels.front()) & 0x00FFFFFFu) != 0) return false;
    return true;
}

}  // namespace

bool TStrellImage::TextureCommand(int command, int argument, const std::string& path, TImageInfo& info) {
    TTextures& lib = library_;
    bool result = true;
    switch (command) {
    case tcLoadImageFile: result = lib.LoadImageFile(path); break;
    case tcFreeImage: lib.FreeImage(); break;
    case tcExportImage: result = lib.ExportImage(path); break;
    case tcFlipImage: lib.FlipImage(); break;
    case tcMirrorImage: lib.MirrorImage(); break;
    case tcRotateImage: lib.RotateImage(); break;
    case tcColourKeyToAlpha: result = lib.ColourKeyToAlpha(path); break;
    case tcAddAlphaChannel: result = lib.AddAlphaChannel(); break;
    case tcRemoveAlphaChannel: result = lib.RemoveAlphaChannel(); break;
    case tcExportWithoutAlpha: result = lib.ExportWithoutAlpha(path); break;
    case tcExportAlphaAsGrey: result = lib.ExportAlphaAsGrey(path); break;
    case tcMergeAlphaImage: result = lib.MergeAlphaImage(path); break;
    case tcScanAlpha: lib.ScanAlpha(); break;
    case tcThresholdAlpha: lib.ThresholdAlpha(argument); break;
    default: result = false; break;
    }
    if (lib.ImageError == 0) lib.ImageError = image_error::kNone;
    lib.Info.ErrorCode = lib.ImageError;
    info = lib.Info;
    return result;
}

bool TStrellImage::LoadImage(const std::string& name, Image32& bitmap, int& alphaKind, int& compression, int& bits) {
    TTextures& lib = library_;
    const std::string path = ResolveImagePath(name);
    lib.ImageError = 0;
    lib.LoadFault.clear();
    UniformColour = true;
    std::string ext = LowerCase(ExtractFileExt(path));
    if (ext == ".jpeg") ext = ".jpg";  // one format, two spellings

    // Pictures that bypass the library's pixel copies are checked for one colour here, so that the
    // texture checks see the same flag whichever reader ran.
    if (!ContainsText(".jpg.bmp.texture", ext)) {
        if (LoadGraphicEx(path, bitmap, alphaKind, compression, bits)) {
            UniformColour = AllOneColour(bitmap);
            return true;
        }
        if (lib.ImageError > 1000) return false;
    }

    if (ext == ".jpg") {
        // Pictures one pixel wide or high go to our own decoder, whatever the library would do.
        std::string bytes;
        int width = -1, height = -1;
        if (ReadFileBytes(path, bytes).empty() && !ReadJpegSize(AsBytes(bytes), width, height)) width = height = -1;
        if (width == 1 || height == 1) {
            Image32 picture;
            if (!DecodeJpegPicture(AsBytes(bytes), picture)) return false;
            bitmap = std::move(picture);
            UniformColour = AllOneColour(bitmap);
            compression = 0;
            alphaKind = 0;
            bits = 24;
            return true;
        }
    }

    TImageInfo info;
    lib.DeferBmpDataMessage = true;
    const bool loaded = TextureCommand(tcLoadImageFile, 0, path, info);
    lib.DeferBmpDataMessage = false;

    if (ext != ".texture" && lib.ImageError > 0) {
        // What the library refuses, the further readers may still take; only when they cannot either
        // does the library's complaint about the bitmap data stand.
        const std::int32_t libraryError = lib.ImageError;
        int ignoredAlpha = 0, ignoredCompression = 0, ignoredBits = 0;
        const bool ok = LoadGraphicEx(path, bitmap, ignoredAlpha, ignoredCompression, ignoredBits, true);
        if (!ok && libraryError == image_error::kBmpData) lib.ShowBmpDataMessage();
        alphaKind = 0;
        compression = 0;
        if (ok) {
            bits = bitmap.Depth;
            UniformColour = AllOneColour(bitmap);
        }
        return ok;
    }
    if (!loaded || !lib.Loaded) return false;

    const int bpp = lib.BytesPerPixel();
    if (bpp == 3) CopyPixels24(info, bitmap);
    else if (bpp == 4) CopyPixels32(info, bitmap);
    else return false;
    if (ext == ".jpg") {
        bitmap.SetDepth24();
        alphaKind = 0;
        compression = 0;
        bits = 24;
    } else {
        alphaKind = info.AlphaKind;
        compression = info.Compression;
        bits = bpp * 8;
    }
    return true;
}

void TStrellImage::CopyPixels(const TImageInfo& info, Image32& bitmap, int bpp) {
    if (!info.Pixels || !bitmap.Resize(info.Width, info.Height)) return;
    bitmap.Depth = bpp * 8;
    std::uint32_t previous = 0;
    bool first = true;
    for (int y = 0; y < info.Height; ++y) {
        const std::uint8_t* src = info.Pixels + static_cast<std::size_t>(y) * info.Width * bpp;
        std::uint32_t* dst = &bitmap.At(0, info.Height - 1 - y);
        for (int x = 0; x < info.Width; ++x, src += bpp) {
            const std::uint32_t rgb = (static_cast<std::uint32_t>(src[0]) << 16) |
                                      (static_cast<std::uint32_t>(src[1]) << 8) | src[2];
            const std::uint32_t a = bpp == 4 ? src[3] : 255u;
            dst[x] = (a << 24) | rgb;
            if (UniformColour && !first && rgb != previous) UniformColour = false;
            previous = rgb;
            first = false;
        }
    }
}

void TStrellImage::CopyPixels24(const TImageInfo& info, Image32& bitmap) { CopyPixels(info, bitmap, 3); }
void TStrellImage::CopyPixels32(const TImageInfo& info, Image32& bitmap) { CopyPixels(info, bitmap, 4); }

bool TStrellImage::SaveBMP(const std::string& path, Image32& bitmap) {
    bitmap.SetDepth24();
    const std::string bytes = EncodeBmp24(Image32ToRaw(bitmap, 3));
    return !bytes.empty() && WriteFileAtomic(path, bytes).empty();
}

bool TStrellImage::SaveJPEG(const std::string& path, Image32& bitmap) {
    bitmap.SetDepth24();
    JpegEncodeOptions options;
    options.progressive = true;
    const std::string bytes = EncodeJpeg(bitmap, options);
    return !bytes.empty() && WriteFileAtomic(path, bytes).empty();
}

bool TStrellImage::SaveTGA(const std::string& path, Image32& bitmap, int keepDepth) {
    if (keepDepth == 0) bitmap.SetDepth24();
    const std::string bytes = EncodeTga(Image32ToRaw(bitmap, bitmap.Depth == 32 ? 4 : 3));
    return !bytes.empty() && WriteFileAtomic(path, bytes).empty();
}

bool TStrellImage::LoadGraphicEx(const std::string& name, Image32& bitmap, int& alphaKind, int& compression,
                                 int& bits, bool bmpAndJpeg) {
    const std::string path = ResolveImagePath(name);
    if (FileSize(path) < 4) {
        library_.ImageError = image_error::kGraphicShort;
        return false;
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes).empty()) return false;
    const ByteSpan data = AsBytes(bytes);
    const ImageSignature signature = DetectImageSignature(data);
    GraphicProperties properties;
    Image32 picture;
    switch (signature) {
    case ImageSignature::Png:
    case ImageSignature::Gif:
    case ImageSignature::Tiff:
    case ImageSignature::Psd:
        if (!ReadWithMagick(data, signature, picture, properties)) return false;
        break;
    case ImageSignature::Bmp:
        if (!bmpAndJpeg || !ReadWithMagick(data, signature, picture, properties)) return false;
        break;
    case ImageSignature::Jpeg: {
        // The one JPEG decode, so that a damaged JPEG the library refused is not shown after all; one
        // named as a JPEG the library has decoded so already.
        const std::string ext = LowerCase(ExtractFileExt(path));
        if (!bmpAndJpeg || ext == ".jpg" || ext == ".jpeg" || !DecodeJpegPicture(data, picture)) return false;
        properties.bits = 24;
        break;
    }
    case ImageSignature::Psp:
        return false;
    case ImageSignature::Unknown: {
        if (!LooksLikeTga(data)) return false;
        TgaFullResult r = DecodeTgaFull(data);
        if (r.fault != TgaFault::None) return false;
        picture = std::move(r.image);
        properties.bits = r.bits;
        properties.hasAlpha = r.hasAlpha;
        properties.compression = r.compression;
        break;
    }
    }
    bitmap = std::move(picture);
    bits = properties.bits;
    alphaKind = properties.hasAlpha || properties.bits == 32 ? 2 : 0;
    compression = properties.compression;
    return true;
}

TStrellImage& ImageFacade() {
    static TStrellImage facade(ImageLibrary());
    return facade;
}

}  // namespace kelvarn
