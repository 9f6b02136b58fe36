#include "media/ExtraTextures.h"

#include <algorithm>

#include "media/BmpCodec.h"
#include "media/JpegCodec.h"
#include "media/TextureFile.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

std::optional<TTextureFormat> TextureFormatOf(std::string_view fileName) {
    if (EndsWithText(fileName, ".bmp")) return TTextureFormat::Bmp;
    if (EndsWithText(fileName, ".jpg") || EndsWithText(fileName, ".jpeg")) return TTextureFormat::Jpeg;
    if (EndsWithText(fileName, ".tga")) return TTextureFormat::Tga;
    if (EndsWithText(fileName, ".texture")) return TTextureFormat::Texture;
    return std::nullopt;
}

std::shared_ptr<TPreparedTexture> ApplyAlphaRules(const Image32& image, TTextureFormat format, bool fileHasAlpha,
                                                  bool constantAlpha, int value, const Image32* pendingAlpha,
                                                  std::string_view fileName, TMessageList& messages) {
    if (image.Empty()) return nullptr;
    const std::size_t count = static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height);
    if (image.Pixels.size() != count) return nullptr;
    const bool pendingFits = pendingAlpha && pendingAlpha->Pixels.size() == count;
    const bool jpeg = format == TTextureFormat::Jpeg;
    if (jpeg && pendingAlpha && !pendingFits) {
        messages.push_back({ExtractFileName(fileName) + " Texture ERROR.. Image and Alpha not the same size", "Info"});
        return nullptr;
    }

    enum class AlphaFrom { None, Constant, Pending, Own };
    AlphaFrom from = AlphaFrom::None;
    int constant = std::clamp(value, 0, 255);
    if (jpeg) {
        from = pendingFits ? AlphaFrom::Pending : AlphaFrom::Constant;
        constant = 255;
    } else if (constantAlpha) {
        from = AlphaFrom::Constant;
    } else if (pendingFits) {
        from = format == TTextureFormat::Bmp && value > 3 ? AlphaFrom::Constant : AlphaFrom::Pending;
        constant = 255;
    } else if (fileHasAlpha) {
        from = AlphaFrom::Own;
    }

    auto out = std::make_shared<TPreparedTexture>();
    out->Width = image.Width;
    out->Height = image.Height;
    out->HasAlpha = from != AlphaFrom::None;
    const std::size_t stride = out->HasAlpha ? 4 : 3;
    out->Pixels.resize(count * stride);
    std::uint8_t* p = out->Pixels.data();
    // Rows go to GL from the bottom; the pending image is indexed the same way.
    for (int row = image.Height - 1; row >= 0; --row) {
        const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(image.Width);
        for (std::size_t i = first; i < first + static_cast<std::size_t>(image.Width); ++i) {
            const std::uint32_t argb = image.Pixels[i];
            *p++ = static_cast<std::uint8_t>(argb >> 16);
            *p++ = static_cast<std::uint8_t>(argb >> 8);
            *p++ = static_cast<std::uint8_t>(argb);
            switch (from) {
                case AlphaFrom::None: break;
                case AlphaFrom::Constant: *p++ = static_cast<std::uint8_t>(constant); break;
                case AlphaFrom::Pending: *p++ = static_cast<std::uint8_t>(pendingAlpha->Pixels[i] >> 16); break;
                case AlphaFrom::Own: *p++ = static_cast<std::uint8_t>(argb >> 24); break;
            }
        }
    }
    return out;
}

namespace {

std::string Quoted(const std::string& path) { return "\"" + ExtractFileName(path) + "\""; }

bool ReadTextureBytes(const std::string& path, std::string& bytes) { return ReadFileBytes(path, bytes).empty(); }

void FromRaw(RawImage&& raw, TDecodedTexture& out) {
    out.HasAlpha = raw.BytesPerPixel == 4;
    out.Image = RawToImage32(raw);
}

}  // namespace

bool TExtraTextures::LoadBmp(const std::string& path, TDecodedTexture& out, TMessageList& messages) const {
    std::string bytes;
    if (!ReadTextureBytes(path, bytes)) {
        messages.push_back({"Error opening " + ExtractFileName(path), "BMP Unit"});
        return false;
    }
    BmpResult r = DecodeBmp(AsBytes(bytes));
    if (r.fault == BmpFault::None && static_cast<std::int64_t>(r.image.Width) * r.image.Height > maxPixels_)
        r.fault = BmpFault::BadSize;
    switch (r.fault) {
        case BmpFault::None: FromRaw(std::move(r.image), out); return true;
        case BmpFault::Unsupported:
            messages.push_back({ExtractFileName(path) + " Bitmap format not supported", "Info"});
            return false;
        case BmpFault::BadColourCount:
        case BmpFault::ShortColourTable: messages.push_back({"Error reading palette", "BMP Unit"}); return false;
        case BmpFault::ShortPixelData: messages.push_back({"Error reading bitmap data", "BMP Unit"}); return false;
        case BmpFault::BadSize: messages.push_back({"Couldn't load bitmap", "Info"}); return false;
    }
    return false;
}

bool TExtraTextures::LoadTga(const std::string& path, TDecodedTexture& out, TMessageList& messages) const {
    std::string bytes;
    if (!FileExists(path) || !ReadTextureBytes(path, bytes)) {
        messages.push_back({"File not found  - " + ExtractFileName(path), "TGA Texture"});
        return false;
    }
    TgaResult r = DecodeTgaStrict(AsBytes(bytes));
    if (r.fault == TgaFault::None && static_cast<std::int64_t>(r.image.Width) * r.image.Height > maxPixels_)
        r.fault = TgaFault::BadSize;
    const std::string name = Quoted(path);
    switch (r.fault) {
        case TgaFault::None: FromRaw(std::move(r.image), out); return true;
        // The run-length test comes first, so such a file is named for what it is.
        case TgaFault::RunLength:
            messages.push_back({"Compressed TGAs not supported by Trainz " + name + ".", "BMP Unit"});
            return false;
        case TgaFault::BadType:
        case TgaFault::Unsupported:
            messages.push_back(
                {"Couldn't load " + name + ". Only 256 colour, 24 bit and 32bit TGA supported.", "TGA File Error"});
            return false;
        case TgaFault::BadColourMapType:
            messages.push_back({"Couldn't load " + name + ". Colormapped TGA files not supported.", "TGA File Error"});
            return false;
        case TgaFault::BadDepth:
            messages.push_back({"Couldn't load " + name + ". Only 24 and 32 bit TGA files supported.", "TGA File Error"});
            return false;
        default:  // a short header or data, or sides the header cannot mean
            messages.push_back({"Couldn't read file " + name + ".", "TGA File Error"});
            return false;
    }
}

bool TExtraTextures::LoadJpg(const std::string& path, TDecodedTexture& out, TMessageList& messages) const {
    std::string bytes;
    Image32 picture;
    if (!ReadTextureBytes(path, bytes) || !DecodeJpegPicture(AsBytes(bytes), picture, maxPixels_)) {
        messages.push_back({"Couldn't load JPG - " + Quoted(path), "Info"});
        return false;
    }
    out.Image = std::move(picture);
    out.HasAlpha = false;
    return true;
}

bool TExtraTextures::ReadTextureFile(const std::string& path, TDecodedTexture& out, TMessageList& messages) const {
    std::string bytes;
    if (!ReadTextureBytes(path, bytes)) {
        messages.push_back({"Couldn't load texture " + Quoted(path) + ": it cannot be read", "Info"});
        return false;
    }
    // This loader reads the full FT2E header's alpha mode as 1 semitransparent, 2 masked, 3 semitransparent.
    TextureAlphaModes modes;
    modes.full = {0, 1, 2, 1};
    TextureResult r = DecodeTexture(AsBytes(bytes), modes, maxPixels_);
    switch (r.fault) {
        case TextureFault::None: FromRaw(std::move(r.image), out); return true;
        case TextureFault::MipSkip:
            messages.push_back(
                {"Mip Skip: " + std::to_string(r.value) + "  NON ZERO value not supported in FT2E type texture", ""});
            break;
        case TextureFault::TextureType:
            messages.push_back({"Texture Type: " + std::to_string(r.value) + " NOT supported", ""});
            break;
        case TextureFault::Cubes: messages.push_back({"texture cubes not supported", ""}); break;
        case TextureFault::Slices: messages.push_back({"only 1 texture slice allowed", ""}); break;
        case TextureFault::PixelFormat:
            messages.push_back({"\"" + DecodeText(r.fourCC).text + "\" pixel format NOT supported", ""});
            break;
        default:
            // A damaged file: the model is drawn without it, and the user is told why.
            messages.push_back({"Couldn't load texture " + Quoted(path) + ": " + TextureFaultText(r), "Info"});
            break;
    }
    return false;
}

bool TExtraTextures::Decode(TTextureFormat format, const std::string& path, TDecodedTexture& out,
                            TMessageList& messages) const {
    switch (format) {
        case TTextureFormat::Bmp: return LoadBmp(path, out, messages);
        case TTextureFormat::Jpeg: return LoadJpg(path, out, messages);
        case TTextureFormat::Tga: return LoadTga(path, out, messages);
        case TTextureFormat::Texture: return ReadTextureFile(path, out, messages);
    }
    return false;
}

std::shared_ptr<TPreparedTexture> TExtraTextures::LoadTexture(const std::string& path, bool constantAlpha, int value,
                                                              TMessageList& messages) {
    std::optional<Image32> pending = std::move(pending_);
    pending_.reset();
    const std::optional<TTextureFormat> format = TextureFormatOf(path);
    TDecodedTexture decoded;
    if (!format || !Decode(*format, path, decoded, messages)) return nullptr;
    return ApplyAlphaRules(decoded.Image, *format, decoded.HasAlpha, constantAlpha, value,
                           pending ? &*pending : nullptr, path, messages);
}

bool TExtraTextures::LoadAlphaImage(const std::string& path, TMessageList& messages) {
    pending_.reset();
    const std::optional<TTextureFormat> format = TextureFormatOf(path);
    if (format != TTextureFormat::Bmp && format != TTextureFormat::Tga) return false;
    TDecodedTexture decoded;
    if (!Decode(*format, path, decoded, messages)) return false;
    pending_ = std::move(decoded.Image);
    return true;
}

std::shared_ptr<const TPreparedTexture> TExtraTextures::Prepare(const TTexturePlan& plan, TMessageList& messages) {
    if (!plan.AlphaPath.empty()) LoadAlphaImage(plan.AlphaPath, messages);
    return LoadTexture(plan.Path, plan.ConstantAlpha, plan.Value, messages);
}

}  // namespace kelvarn
