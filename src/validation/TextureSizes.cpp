// Mode "size": descriptor pairs of one size, TGA files uncompressed at 24 or 32 bits, 1-pixel-wide
// images enlarged eightfold, and the texture size rule.
#include "media/JpegDec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

namespace {

enum class TImageKind { Tga, Bmp, Jpg };

TImageKind KindOf(const std::string& path) {
    if (EndsWithText(path, ".tga")) return TImageKind::Tga;
    if (EndsWithText(path, ".bmp")) return TImageKind::Bmp;
    return TImageKind::Jpg;
}

struct TSizeItem {
    std::string Path;
    TImageKind Kind = TImageKind::Jpg;
    int Width = -1, Height = -1;  // -1 when unreadable
    bool Rewrite = false;         // a TGA below 24 bits or run-length encoded
    bool Enlarge = false;         // a side of 1 pixel: both sides times 8
    std::string Failure;          // the line of a file that cannot be changed
};

// The picture as the fix would write it: decompressed, and enlarged when asked.
bool MakeNewPicture(TRepairRun& run, const TSizeItem& item, Image32& bitmap, bool& alpha) {
    int alphaKind = 0;
    alpha = false;
    if (item.Kind == TImageKind::Jpg) {
        std::string bytes;
        std::unique_ptr<TJpegImage> jpeg;
        if (!ReadFileBytes(item.Path, bytes).empty() || DecodeJpeg(AsBytes(bytes), jpeg) != kJpegDecoded) return false;
        if (!bitmap.Resize(item.Width * 8, item.Height * 8)) return false;
        DrawJpegImage(jpeg.get(), bitmap, 0, 0, bitmap.Width, bitmap.Height);
        FreeJpegImage(jpeg);
        return true;
    }
    if (item.Kind == TImageKind::Tga) {
        int compression = 0, bits = 0;
        if (!run.Facade.LoadGraphicEx(item.Path, bitmap, alphaKind, compression, bits) || bitmap.Empty()) return false;
    } else if (!run.LoadBitmap(item.Path, bitmap, alphaKind)) {
        return false;
    }
    alpha = alphaKind != 0;
    return !item.Enlarge || ResampleImage(bitmap, bitmap.Width * 8, bitmap.Height * 8);
}

bool SavePicture(TRepairRun& run, const TSizeItem& item, Image32& bitmap, bool alpha) {
    switch (item.Kind) {
    case TImageKind::Tga:
        bitmap.Depth = alpha ? 32 : 24;  // a 16-bit file's alpha bit stays
        return run.Facade.SaveTGA(item.Path, bitmap, 1);
    case TImageKind::Bmp: return run.Facade.SaveBMP(item.Path, bitmap);
    case TImageKind::Jpg: return run.Facade.SaveJPEG(item.Path, bitmap);
    }
    return false;
}

TSizeItem FindItem(TRepairRun& run, const std::string& path) {
    TSizeItem item;
    item.Path = path;
    item.Kind = KindOf(path);
    if (item.Kind == TImageKind::Tga) {
        std::string bytes;
        if (ReadFileBytes(path, bytes).empty() && bytes.size() >= 18) {
            const int type = static_cast<unsigned char>(bytes[2]);
            const int depth = static_cast<unsigned char>(bytes[16]);
            item.Rewrite = depth < 24 || type == 9 || type == 10 || type == 11;
        }
    }
    ReadImageSize(run, path, item.Width, item.Height);
    item.Enlarge = item.Width > 0 && item.Height > 0 && (item.Width == 1 || item.Height == 1);
    if (!item.Rewrite && !item.Enlarge) return item;
    // Whether the change can be made is known before anything is written.
    Image32 bitmap;
    bool alpha = false;
    if (!MakeNewPicture(run, item, bitmap, alpha)) {
        if (item.Enlarge) item.Failure = "Unable to process file: " + path;
        item.Rewrite = item.Enlarge = false;  // a TGA no reader takes is passed over
    }
    return item;
}

void FixItem(TRepairRun& run, TSizeItem& item) {
    if (!item.Rewrite && !item.Enlarge) return;
    Image32 bitmap;
    bool alpha = false;
    std::string failure;
    if (!MakeNewPicture(run, item, bitmap, alpha)) failure = "Unable to process file: " + item.Path;
    else if (std::string error = run.PrepareChange(item.Path); !error.empty()) failure = error;
    else if (!SavePicture(run, item, bitmap, alpha)) failure = "Unable to process file: " + item.Path;
    if (failure.empty()) return;
    // The file keeps its size: the rule looks at what is there.
    item.Failure = failure;
    item.Rewrite = item.Enlarge = false;
}

// The descriptors' image pairs: missing images go to the missing list; a pair of two sizes is named.
void CheckTextureImageSizes(TRepairRun& run, std::vector<std::string>& lines) {
    for (const std::string& path : run.FilesBelow({".texture.txt"})) {
        const TDescriptorImages images = ReadDescriptorImages(path);
        const std::string folder = ExtractFileDir(path);
        std::string found[2];
        bool missing = false;
        const std::string* names[2] = {&images.Primary, &images.Alpha};
        for (int i = 0; i < 2; ++i) {
            if (names[i]->empty()) continue;
            found[i] = run.Resolve(folder, *names[i]);
            if (!FileExists(found[i])) {
                run.AddMissing(found[i]);
                missing = true;
            }
        }
        if (missing || images.Primary.empty() || images.Alpha.empty()) continue;
        int w[2], h[2];
        ReadImageSize(run, found[0], w[0], h[0]);
        ReadImageSize(run, found[1], w[1], h[1]);
        if (w[0] != w[1] || h[0] != h[1])
            lines.push_back("Alpha and primary images are not the same size: " + run.Relative(path));
    }
}

}  // namespace

void CheckImageSize(TRepairRun& run, std::vector<std::string>& lines) {
    CheckTextureImageSizes(run, lines);
    const std::vector<std::string> images = run.ImagesBelow();
    int thumbnails = 0;
    for (std::size_t i = 0; i < images.size(); ++i) {
        run.Progress(i, images.size());
        TSizeItem item = FindItem(run, images[i]);
        if (!run.ReportOnly()) FixItem(run, item);
        if (!item.Failure.empty()) lines.push_back(item.Failure);
        const int factor = item.Enlarge ? 8 : 1;
        const int width = item.Width > 0 ? item.Width * factor : item.Width;
        const int height = item.Height > 0 ? item.Height * factor : item.Height;
        if (!TextureSizeProblem(width, height)) continue;
        if (item.Kind == TImageKind::Jpg && width == 240 && height == 180) {
            if (++thumbnails > 1) lines.push_back("Asset has multiple thumbnails: " + run.Folder());
            continue;
        }
        lines.push_back("Invalid size (" + std::to_string(width) + " x " + std::to_string(height) + "): " + item.Path);
    }
}

}  // namespace kelvarn
