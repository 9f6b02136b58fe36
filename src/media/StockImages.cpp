#include "media/StockImages.h"

#include <array>
#include <cstdint>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

struct StockColour {
    std::uint8_t Blue, Green, Red;
    int Depth;  // 32 only for "blank.tga", whose alpha is 0
};

// In the order of StockTextureNames.
constexpr std::array<StockColour, StockTextureNames.size()> kColours = {{
    {255, 255, 255, 32},
    {0, 0, 0, 24},
    {255, 255, 255, 24},
    {0, 0, 255, 24},
    {0, 255, 0, 24},
    {255, 0, 0, 24},
    {0, 255, 255, 24},
}};

}  // namespace

std::string StockTgaBytes(std::string_view fileName) {
    for (std::size_t i = 0; i < StockTextureNames.size(); ++i) {
        if (!SameText(fileName, StockTextureNames[i])) continue;
        const StockColour& c = kColours[i];
        std::string bytes(18, '\0');
        bytes[2] = 2;
        bytes[12] = 8;
        bytes[14] = 8;
        bytes[16] = static_cast<char>(c.Depth);
        for (int p = 0; p < 64; ++p) {
            const std::uint8_t blue = p == 0 ? static_cast<std::uint8_t>(c.Blue == 255 ? 254 : c.Blue + 1) : c.Blue;
            bytes += static_cast<char>(blue);
            bytes += static_cast<char>(c.Green);
            bytes += static_cast<char>(c.Red);
            if (c.Depth == 32) bytes += '\0';
        }
        return bytes;
    }
    return {};
}

bool MakeStockTga(std::string_view folder, std::string_view fileName, std::string& message) {
    const std::string bytes = StockTgaBytes(fileName);
    if (bytes.empty()) {
        message = "Invalid Filename: " + std::string(fileName);
        return false;
    }
    if (!DirectoryExists(folder)) {
        message = "Path does not exist: " + std::string(folder);
        return false;
    }
    if (!FindFileIgnoreCase(folder, fileName).empty()) {
        message = ".File already exists: " + std::string(fileName);
        return false;
    }
    message = WriteFileNoReplace(JoinPath(folder, fileName, '/'), bytes);
    if (message.empty()) return true;
    if (FileExists(JoinPath(folder, fileName, '/'))) message = ".File already exists: " + std::string(fileName);
    return false;
}

}  // namespace kelvarn
