// Texture preparation for the mesh view: which loader a texture file goes to, and the alpha rules that
// turn a decoded image into the pixels the renderer uploads. The decoding itself is the image codecs'.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "media/TexturePlan.h"
#include "shell/Image32.h"

namespace kelvarn {

enum class TTextureFormat { Bmp, Jpeg, Tga, Texture };

// By the file's extension, ignoring case: ".bmp", ".jpg", ".tga", ".texture"; none for others.
std::optional<TTextureFormat> TextureFormatOf(std::string_view fileName);

// The alpha rules, in order:
// 1. a constant alpha: RGBA, every alpha the value (a JPEG ignores it);
// 2. else a pending alpha image of the same pixel count: RGBA, each alpha the pending pixel's first
//    byte (red) at the same position; a BMP whose value is above 3 (the materials from "m.gloss" on)
//    takes 255 instead;
// 3. else the file's own channels: RGBA with its alpha when `fileHasAlpha`, else RGB; a JPEG is always
//    RGBA with alpha 255.
// A pending image of another size is dropped, except that a JPEG then gives the message
// "<name> Texture ERROR.. Image and Alpha not the same size" and no texture. RGBA results have
// HasAlpha set (the renderer mipmaps them).
std::shared_ptr<TPreparedTexture> ApplyAlphaRules(const Image32& image, TTextureFormat format, bool fileHasAlpha,
                                                  bool constantAlpha, int value, const Image32* pendingAlpha,
                                                  std::string_view fileName, TMessageList& messages);

// A texture file decoded by the mesh view's loader: the picture, and whether the file itself carries
// alpha (a 32-bit TGA, an RGBA or DXT3/5 ".texture", a DXT1 with masked alpha).
struct TDecodedTexture {
    Image32 Image;
    bool HasAlpha = false;
};

// The mesh view's texture loader: each format through the codecs, with this loader's own messages
// (which differ from the image library's), then the alpha rules. A descriptor's alpha image is loaded
// first and waits as the pending alpha of the next texture.
class TExtraTextures final : public ITextureSource {
public:
    // Pictures above `maxPixels` are refused as the codecs refuse a bad size.
    explicit TExtraTextures(std::int64_t maxPixels = kMaxImagePixels) : maxPixels_(maxPixels) {}

    // The plan's alpha image (when it names one), then its texture.
    std::shared_ptr<const TPreparedTexture> Prepare(const TTexturePlan& plan, TMessageList& messages) override;

    // By the extension (".bmp", ".jpg", ".tga", ".texture"); null for any other or when the file cannot
    // be used. The pending alpha is used up either way.
    std::shared_ptr<TPreparedTexture> LoadTexture(const std::string& path, bool constantAlpha, int value,
                                                  TMessageList& messages);
    // A ".bmp" or ".tga" becomes the pending alpha of the next LoadTexture; a failed load (or another
    // kind of file) leaves none.
    bool LoadAlphaImage(const std::string& path, TMessageList& messages);
    bool AlphaPending() const { return pending_.has_value(); }

    // The readers; false, with the messages the user is to see, when the file cannot be used.
    bool LoadBmp(const std::string& path, TDecodedTexture& out, TMessageList& messages) const;
    bool LoadTga(const std::string& path, TDecodedTexture& out, TMessageList& messages) const;
    bool LoadJpg(const std::string& path, TDecodedTexture& out, TMessageList& messages) const;
    bool ReadTextureFile(const std::string& path, TDecodedTexture& out, TMessageList& messages) const;

private:
    bool Decode(TTextureFormat format, const std::string& path, TDecodedTexture& out, TMessageList& messages) const;

    std::int64_t maxPixels_;
    std::optional<Image32> pending_;
};

}  // namespace kelvarn
