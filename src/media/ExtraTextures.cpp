#include "media/ExtraTextures.h"

#include <algorithm>

#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

std::optional<TTextureFormat> TextureFormatOf(std::string_view fileName) {
    if (EndsWithText(fileName, ".bmp")) return TTextureFormat::Bmp;
    if (EndsWithText(fileName, ".jpg")) return TTextureFormat::Jpeg;
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

}  // namespace kelvarn
