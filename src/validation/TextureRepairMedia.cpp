// The media services the texture repair stands on, in one place.
#include <algorithm>

#include "media/JpegDec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

TDescriptorImages ReadDescriptorImages(const std::string& path) {
    TDescriptorImages images;
    images.Path = path;
    DecodedText text;
    if (!ReadTextFile(path, text).empty()) return images;
    bool primary = false, alpha = false;
    for (const std::string& line : SplitLines(text.text)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = LowerCase(Trim(line.substr(0, eq)));
        const std::string value = Trim(line.substr(eq + 1));
        if (key == "primary" && !primary) images.Primary = value, primary = true;
        else if (key == "alpha" && !alpha) images.Alpha = value, alpha = true;
    }
    return images;
}

bool ResampleImage(Image32&, int, int) { return false; }

std::uint8_t IntensityOf(std::uint32_t argb) {
    const std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return static_cast<std::uint8_t>((61 * r + 174 * g + 21 * b) / 256);
}

bool InAlphaTexture(const std::string&, const std::string&) { return false; }

bool IsStockImageName(std::string_view name) {
    return std::any_of(StockTextureNames.begin(), StockTextureNames.end(),
                       [&](std::string_view stock) { return SameText(stock, name); });
}

std::string MakeStockImage(const std::string&, const std::string& name) { return "Invalid Filename: " + name; }

}  // namespace kelvarn

namespace kelvarn {

bool ReadImageSize(TRepairRun& run, const std::string& path, int& width, int& height) {
    Image32 bitmap;
    int alphaKind = 0;
    width = height = -1;
    if (EndsWithText(path, ".jpg")) {
        std::string bytes;
        if (ReadFileBytes(path, bytes).empty() && ReadJpegSize(AsBytes(bytes), width, height)) return true;
        width = height = -1;
        return false;
    }
    if (!run.LoadBitmap(path, bitmap, alphaKind)) return false;
    width = bitmap.Width;
    height = bitmap.Height;
    return true;
}

}  // namespace kelvarn
