// The media services the texture repair stands on, in one place.
#include "media/AlphaTools.h"
#include "media/ImageSize.h"
#include "media/Resample.h"
#include "media/StockImages.h"
#include "media/TextureDescriptor.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

TDescriptorImages ReadDescriptorImages(const std::string& path) {
    TDescriptorImages images;
    images.Path = path;
    TextureDescriptor descriptor;
    if (!ReadTextureDescriptor(path, descriptor).empty()) return images;
    images.Primary = descriptor.Primary;
    images.Alpha = descriptor.Alpha;
    return images;
}

bool ReadImageSize(const std::string& path, int& width, int& height) {
    const std::optional<TImageSize> size = GetImageSize(path);
    width = size ? size->Width : -1;
    height = size ? size->Height : -1;
    return size.has_value();
}

bool ImageSizeOf(std::string_view bytes, int& width, int& height) {
    const std::optional<TImageSize> size = ImageSizeFromBytes(bytes);
    width = size ? size->Width : -1;
    height = size ? size->Height : -1;
    return size.has_value();
}

bool ResampleImage(Image32& bitmap, int width, int height) { return ResampleBitmap(bitmap, width, height); }

std::uint8_t IntensityOf(std::uint32_t argb) { return Intensity(argb); }

bool InAlphaTexture(const std::string& assetFolder, const std::string& path) {
    return IsInAlphaTexture(assetFolder, path);
}

bool IsStockImageName(std::string_view name) { return !StockTgaBytes(name).empty(); }

std::string MakeStockImage(const std::string& folder, const std::string& name) {
    std::string message;
    return MakeStockTga(folder, name, message) ? std::string() : message;
}

}  // namespace kelvarn
