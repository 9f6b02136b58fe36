#include "media/ImageViewRules.h"

#include <algorithm>
#include <array>

#include "media/ImageBytes.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

constexpr std::uint64_t kMaxThumbnailBytes = 64ull << 20;

bool HeaderSays240By180(const std::string& path) {
    // The size is in the first frame header; a thumbnail's header lies well within 64 KB, but a
    // picture with large metadata blocks is read whole.
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxThumbnailBytes).empty()) return false;
    int width = 0, height = 0;
    return ReadJpegSize(AsBytes(bytes), width, height) && width == 240 && height == 180;
}

}  // namespace

THotZone HotZone(int x, int y, int layerWidth, int layerHeight, bool hasAlpha) {
    if (layerWidth <= 0 || layerHeight <= 0 || x < 0 || y < 0 || x >= layerWidth || y >= layerHeight) return {};
    const int zx = static_cast<int>(static_cast<long long>(x) * 5 / layerWidth);
    const int zy = static_cast<int>(static_cast<long long>(y) * 5 / layerHeight);
    const bool leftEdge = zx == 0, rightEdge = zx == 4, middle = !leftEdge && !rightEdge;
    if (zy == 0) {
        if (leftEdge) return {THotAction::RotateLeft, crRotateLeft, "Rotate"};
        if (rightEdge) return {THotAction::RotateRight, crRotateRight, "Rotate"};
        return {THotAction::Flip, crFlip, "Flip"};
    }
    if (zy == 4) {
        if (middle) return {THotAction::Flip, crFlip, "Flip"};
        return {THotAction::Background, crBackground, "Background"};
    }
    if (!middle) return {THotAction::Mirror, crMirror, "Mirror"};
    if (zy <= 2 && hasAlpha) return {THotAction::Mask, crMask, "Mask"};
    return {THotAction::Zoom, crZoom, "Zoom"};
}

double ZoomScale(int imageWidth, bool fit) {
    if (imageWidth <= 0) return 1.0;
    if (fit) return std::max(1.0, 1280.0 / imageWidth);
    return imageWidth < 32 ? static_cast<double>(32 / imageWidth) : 1.0;
}

double DisplayScale(double zoomScale, int imageWidth, int imageHeight, int panelWidth, int panelHeight) {
    if (imageWidth <= 0 || imageHeight <= 0 || panelWidth <= 0 || panelHeight <= 0) return zoomScale;
    const double fits = std::min(static_cast<double>(panelWidth) / imageWidth, static_cast<double>(panelHeight) / imageHeight);
    return std::min(zoomScale, fits);
}

int ChooseLayout(bool hasAlpha, int imageWidth, int imageHeight, int spaceWidth, int spaceHeight) {
    if (!hasAlpha) return 0;
    if (imageWidth <= 0 || imageHeight <= 0 || spaceWidth <= 0 || spaceHeight <= 0) return 1;
    auto shownWidth = [&](double w, double h) { return imageWidth * std::min(w / imageWidth, h / imageHeight); };
    const double sideBySide = shownWidth(spaceWidth / 2.0, spaceHeight);
    const double stacked = shownWidth(spaceWidth, spaceHeight / 2.0);
    return stacked > sideBySide ? 2 : 1;
}

std::string DescribeImage(std::string_view path, const Image32& image, int bits) {
    if (SameText(ExtractFileName(path), "Kelvarn.jpg")) return "Asset has no thumbnail";
    std::string ext = UpperCase(ExtractFileExt(path));
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::string text = ext + " Image: " + std::to_string(image.Width) + " x " + std::to_string(image.Height);
    if (ext == "TGA") {
        if (ClassifyAlpha(image) == 2) text += " x 32 bit, Blended Alpha";
        else if (bits == 32) text += " x 32 bit, Masked Alpha";
        else text += " x 24 bit, No Alpha";
    }
    if (!image.Pixels.empty() &&
        std::all_of(image.Pixels.begin(), image.Pixels.end(), [&](std::uint32_t p) { return p == image.Pixels.front(); }))
        text += ", UNIFORM COLOUR";
    if (TextureSizeProblem(image.Width, image.Height)) text += "  [NOT VALID AS TEXTURE]";
    return text;
}

bool JpegLoads(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxThumbnailBytes).empty()) return false;
    Image32 image;
    return DecodeJpegPicture(AsBytes(bytes), image);
}

TThumbnailChoice FindThumbnail(std::string_view assetFolder, std::string_view placeholder, const TPictureLoads& loads) {
    TThumbnailChoice choice;
    std::vector<std::string> found;
    if (!assetFolder.empty()) FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.jpg", found);
    const std::string root = PathString(FsPath(assetFolder).lexically_normal());
    auto relative = [&](const std::string& path) {
        return LowerCase(PathString(FsPath(path).lexically_normal().lexically_relative(FsPath(root))));
    };
    std::sort(found.begin(), found.end(), [&](const std::string& a, const std::string& b) {
        const std::string ra = relative(a), rb = relative(b);
        return ra != rb ? ra < rb : a < b;
    });
    std::vector<std::string> thumbnails;
    for (const std::string& path : found)
        if (HeaderSays240By180(path) && (loads ? loads(path) : JpegLoads(path))) thumbnails.push_back(path);
    if (!thumbnails.empty()) {
        choice.Multiple = thumbnails.size() > 1;
        choice.Path = thumbnails.front();
        for (std::string_view name : {"$screenshot$.jpg", "screenshot.jpg", "thumbnail.jpg", "preview.jpg"}) {
            const auto it = std::find_if(thumbnails.begin(), thumbnails.end(),
                                         [&](const std::string& p) { return relative(p) == name; });
            if (it != thumbnails.end()) {
                choice.Path = *it;
                break;
            }
        }
        return choice;
    }
    if (!placeholder.empty() && FileExists(placeholder)) {
        choice.Path = std::string(placeholder);
        choice.Placeholder = true;
    }
    return choice;
}

TQuickSaveRoute QuickSaveRoute(std::string_view path, std::string_view assetFolder, bool screenshot, bool modified) {
    TQuickSaveRoute route;
    if (screenshot) {
        route.Kind = TQuickSaveKind::Screenshot;
        route.Target = JoinPath(assetFolder, "$screenshot$.jpg");
        route.AskName = FileExists(route.Target);
        return route;
    }
    if (!modified) return route;
    route.Target = std::string(path);
    const std::string ext = LowerCase(ExtractFileExt(path));
    route.Kind = ext == ".jpg"   ? TQuickSaveKind::Jpeg
                 : ext == ".bmp" ? TQuickSaveKind::Bmp
                 : ext == ".tga" ? TQuickSaveKind::Tga
                                 : TQuickSaveKind::SaveAs;
    return route;
}

void MirrorImage(Image32& image) {
    for (int y = 0; y < image.Height; ++y) std::reverse(&image.At(0, y), &image.At(0, y) + image.Width);
}

void FlipImage(Image32& image) {
    for (int y = 0; y < image.Height / 2; ++y)
        std::swap_ranges(&image.At(0, y), &image.At(0, y) + image.Width, &image.At(0, image.Height - 1 - y));
}

void RotateImage(Image32& image, bool clockwise) {
    if (image.Empty()) return;
    Image32 out;
    out.Width = image.Height;
    out.Height = image.Width;
    out.Depth = image.Depth;
    out.Pixels.resize(image.Pixels.size());
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            // Clockwise: the left column becomes the top row, read from the bottom up.
            const int nx = clockwise ? image.Height - 1 - y : y;
            const int ny = clockwise ? x : image.Width - 1 - x;
            out.At(nx, ny) = image.At(x, y);
        }
    image = std::move(out);
}

}  // namespace kelvarn
