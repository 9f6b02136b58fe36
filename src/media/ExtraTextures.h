// Texture preparation for the mesh view: which loader a texture file goes to, and the alpha rules that
// turn a decoded image into the pixels the renderer uploads. The decoding itself is the image codecs'.
#pragma once

#include <memory>
#include <optional>
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

}  // namespace kelvarn
