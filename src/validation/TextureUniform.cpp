// Mode "uniform": an image of one colour is shrunk to 8 x 8 pixels, its first pixel nudged so the
// picture is no longer uniform (the simulator's compiler takes such images badly).
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

namespace {

std::uint8_t RaiseByOne(std::uint8_t v) { return v == 255 ? 254 : static_cast<std::uint8_t>(v + 1); }

// The 8 x 8 picture of a uniform JPEG or BMP, pixel (0,0) carrying the changed green byte.
bool ShrinkPicture(TRepairRun& run, const std::string& path, std::uint32_t colour, bool jpeg, Image32& bitmap) {
    int alphaKind = 0;
    if (!run.LoadBitmap(path, bitmap, alphaKind) || !ResampleImage(bitmap, 8, 8)) return false;
    const std::uint32_t green = (colour >> 8) & 0xFF;
    const std::uint32_t changed = jpeg ? green * 95 / 100 : RaiseByOne(static_cast<std::uint8_t>(green));
    bitmap.At(0, 0) = (colour & 0xFFFF00FFu) | (changed << 8);
    return true;
}

std::string Shrink(TRepairRun& run, const std::string& path, std::uint32_t colour) {
    const bool tga = EndsWithText(path, ".tga");
    std::optional<std::string> tgaBytes;
    Image32 bitmap;
    if (tga) {
        std::string bytes;
        if (!ReadFileBytes(path, bytes).empty()) return {};
        tgaBytes = RewriteUniformTga(bytes);
        if (!tgaBytes) return {};  // no header of ours fits this file: it stays as it is
    } else if (!ShrinkPicture(run, path, colour, EndsWithText(path, ".jpg"), bitmap)) {
        return {};
    }
    if (run.ReportOnly()) return {};
    if (std::string error = run.PrepareChange(path); !error.empty()) return error;
    bool saved = false;
    if (tga) saved = WriteFileAtomic(path, *tgaBytes).empty();
    else if (EndsWithText(path, ".jpg")) saved = run.Facade.SaveJPEG(path, bitmap);
    else saved = run.Facade.SaveBMP(path, bitmap);
    return saved ? std::string() : "Unable to save file: " + path;
}

}  // namespace

std::optional<std::string> RewriteUniformTga(std::string_view bytes) {
    if (bytes.size() < 22) return std::nullopt;
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const int depth = at(16);
    if (at(0) != 0 || at(1) != 0 || at(2) != 2 || (depth != 24 && depth != 32)) return std::nullopt;
    const std::size_t pixelBytes = static_cast<std::size_t>(depth / 8);
    if (bytes.size() < 18 + pixelBytes) return std::nullopt;
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = 8;  // width 8
    out[14] = 8;  // height 8
    out[16] = static_cast<char>(depth);
    const std::string_view pixel = bytes.substr(18, pixelBytes);
    out += static_cast<char>(RaiseByOne(at(18)));
    out += pixel.substr(1);
    for (int i = 1; i < 64; ++i) out += pixel;
    return out;
}

bool IsUniformImage(TRepairRun& run, const std::string& path, std::uint32_t& colour) {
    Image32 bitmap;
    int alphaKind = 0;
    if (!run.LoadBitmap(path, bitmap, alphaKind)) return false;
    colour = bitmap.Pixels.front();
    for (std::uint32_t p : bitmap.Pixels)
        if (p != colour) return false;
    return true;
}

void MakeUniformImagesSmall(TRepairRun& run, std::vector<std::string>& lines) {
    const std::vector<std::string> images = run.ImagesBelow();
    for (std::size_t i = 0; i < images.size(); ++i) {
        run.Progress(i, images.size());
        std::uint32_t colour = 0;
        if (!IsUniformImage(run, images[i], colour)) continue;
        // Half of a descriptor's primary and alpha pair must keep the size of the other half.
        if (InAlphaTexture(run.Folder(), images[i])) continue;
        if (std::string line = Shrink(run, images[i], colour); !line.empty()) lines.push_back(line);
    }
}

}  // namespace kelvarn
