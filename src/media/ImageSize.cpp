#include "media/ImageSize.h"

#include <cstdint>
#include <limits>
#include <string>

#include "media/ImageBytes.h"
#include "media/JpegDec.h"
#include "shell/Files.h"

namespace kelvarn {

namespace {

// A size the rest of the program can hold: both sides positive and within an int.
std::optional<TImageSize> Sized(std::int64_t width, std::int64_t height) {
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    if (width <= 0 || height <= 0 || width > kMax || height > kMax) return std::nullopt;
    return TImageSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<TImageSize> BmpSize(ByteSpan b) {
    constexpr std::size_t kFileHeader = 14;
    if (b.size() < kFileHeader + 4) return std::nullopt;
    const std::uint32_t infoSize = GetU32(&b[kFileHeader]);
    if (infoSize == 12) {
        // The old OS/2 header: 16-bit sides, always bottom-up.
        if (b.size() < kFileHeader + 8) return std::nullopt;
        return Sized(GetU16(&b[18]), GetU16(&b[20]));
    }
    if (infoSize < 40 || b.size() < kFileHeader + 12) return std::nullopt;
    const auto width = static_cast<std::int32_t>(GetU32(&b[18]));
    const auto height = static_cast<std::int32_t>(GetU32(&b[22]));
    // A negative height stores the rows top-down; the picture is as high either way.
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    return Sized(width, rows);
}

std::optional<TImageSize> TgaSize(ByteSpan b) {
    constexpr std::size_t kHeader = 18;
    if (b.size() < kHeader) return std::nullopt;
    const int mapType = b[1];
    const int type = b[2];
    const int depth = b[16];
    const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    if (mapType > 1 || !knownType || !knownDepth) return std::nullopt;
    return Sized(GetU16(&b[12]), GetU16(&b[14]));
}

}  // namespace

std::optional<TImageSize> ImageSizeFromBytes(std::string_view bytes) {
    const ByteSpan b = AsBytes(bytes);
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8) {
        int width = 0, height = 0;
        if (!ReadJpegSize(b, width, height)) return std::nullopt;
        return Sized(width, height);
    }
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M')
        if (auto size = BmpSize(b)) return size;
    return TgaSize(b);
}

std::optional<TImageSize> GetImageSize(std::string_view path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes).empty()) return std::nullopt;
    return ImageSizeFromBytes(bytes);
}

}  // namespace kelvarn
