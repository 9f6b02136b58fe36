#include "media/ImageDialogRules.h"

#include <algorithm>

#include "shell/Files.h"
#include "shell/Image32.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

TSizeStep Step(int value, int next, int otherSide, bool isWidth) {
    TSizeStep step;
    step.Value = value;
    if (next == value) {
        step.Beep = true;
        return step;
    }
    if (isWidth ? SizeRatioRefused(next, otherSide) : SizeRatioRefused(otherSide, next)) {
        step.Beep = true;
        step.Help = std::string(kRatioHint);
        return step;
    }
    step.Value = next;
    step.ClearThumbnail = true;
    return step;
}

}  // namespace

bool SizeRatioRefused(long long width, long long height) { return width > 8 * height || height > 8 * width; }

TSizeStep IncImageSize(int value, int otherSide, bool isWidth) {
    int next = value;
    if (value < kMaxStepSize) {
        next = 2;
        while (next <= value) next *= 2;
    }
    return Step(value, next, otherSide, isWidth);
}

TSizeStep DecImageSize(int value, int otherSide, bool isWidth) {
    int next = value;
    if (value > kMaxStepSize) next = kMaxStepSize;
    else if (value >= 3) {
        next = 1;
        while (next * 2 < value) next *= 2;
    }
    return Step(value, next, otherSide, isWidth);
}

int ParseImageSide(std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 10 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const long long v = std::stoll(t);
    return v >= 1 && v <= kMaxImagePixels ? static_cast<int>(v) : 0;
}

TSizeState SizeChange(std::string_view widthText, std::string_view heightText, int imageWidth, int imageHeight) {
    TSizeState state;
    state.Thumbnail = Trim(widthText) == "240" && Trim(heightText) == "180";
    const int w = ParseImageSide(widthText), h = ParseImageSide(heightText);
    state.OkEnabled = w > 0 && h > 0 && static_cast<long long>(w) * h <= kMaxImagePixels &&
                      (w != imageWidth || h != imageHeight);
    if (w == 240 && h == 180) state.Help = "Valid as Thumbnail only";
    else if (w > 0 && h > 0 && TextureSizeProblem(w, h)) state.Help = "Invalid as texture size";
    return state;
}

TToleranceView ShowTolerance(std::uint32_t keyColour, int tolerance) {
    TToleranceView view;
    view.Label = "Tolerance: " + std::to_string(tolerance);
    view.Minimum = view.Maximum = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const int c = static_cast<int>((keyColour >> shift) & 0xFFu);
        view.Minimum |= static_cast<std::uint32_t>(ClampByte(c - tolerance)) << shift;
        view.Maximum |= static_cast<std::uint32_t>(ClampByte(c + tolerance)) << shift;
    }
    return view;
}

std::vector<TMergeCandidate> ListMergeCandidates(std::string_view assetFolder, std::string_view shownFile, int width,
                                                 int height, const TImageSizeOf& sizeOf) {
    std::vector<std::string> found;
    FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.texture;*.tga;*.bmp;*.jpg;*.gif;*.png;*.tif;*.psd;*.psp",
                       found);
    const auto root = FsPath(assetFolder).lexically_normal();
    const auto shown = FsPath(shownFile).lexically_normal();
    std::vector<TMergeCandidate> list;
    for (const std::string& path : found) {
        if (ContainsText(ExtractFileName(path), ".texture.txt")) continue;
        const auto normal = FsPath(path).lexically_normal();
        if (normal == shown) continue;
        int w = 0, h = 0;
        if (!sizeOf || !sizeOf(path, w, h) || w != width || h != height) continue;
        list.push_back({ReplaceAll(PathString(normal.lexically_relative(root)), "\\", "/"), path});
    }
    std::sort(list.begin(), list.end(), [](const TMergeCandidate& a, const TMergeCandidate& b) {
        const std::string la = LowerCase(a.Relative), lb = LowerCase(b.Relative);
        return la != lb ? la < lb : a.Relative < b.Relative;
    });
    return list;
}

}  // namespace kelvarn
