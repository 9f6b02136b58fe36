#include "media/Textures.h"

#include <algorithm>
#include <filesystem>

#include "media/BmpCodec.h"
#include "media/JpegCodec.h"
#include "media/TextureFile.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace kelvarn {

using namespace image_error;

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    const auto fa = FsPath(a.empty() ? "." : a);
    const auto fb = FsPath(b.empty() ? "." : b);
    if (std::filesystem::equivalent(fa, fb, ec)) return true;
    return SameText(PathString(std::filesystem::weakly_canonical(fa, ec)),
                    PathString(std::filesystem::weakly_canonical(fb, ec)));
}

}  // namespace

// Everything an operation puts back when it must leave the current image as it was.
struct TTextures::Saved {
    TImageInfo info;
    bool loaded;
    PixelBytes pixels;
    std::vector<std::string> descriptor;
    bool hasDescriptor;
    std::string source;
};

TTextures::TTextures(TProgramState& state) : state_(state) {}

TTextures::Saved TTextures::Save() const {
    return {Info, Loaded, pixels_, PendingDescriptor, HasDescriptor, SourceTexturePath};
}

void TTextures::Restore(Saved&& saved) {
    Info = saved.info;
    Loaded = saved.loaded;
    pixels_ = std::move(saved.pixels);
    Info.Pixels = Loaded ? pixels_.data() : nullptr;
    PendingDescriptor = std::move(saved.descriptor);
    HasDescriptor = saved.hasDescriptor;
    SourceTexturePath = std::move(saved.source);
}

void TTextures::Message(const std::string& text, const std::string& caption) {
    state_.Messages->ShowMessage(text, caption, MessageKind::Information);
}

int TTextures::BytesPerPixel() const {
    if (!Loaded || Info.Width <= 0 || Info.Height <= 0) return 0;
    return static_cast<int>(Info.Size / (static_cast<std::int64_t>(Info.Width) * Info.Height));
}

void TTextures::SetImage(RawImage&& image, int alphaKind, int compression) {
    pixels_ = std::move(image.Pixels);
    Info.Width = image.Width;
    Info.Height = image.Height;
    Info.Size = static_cast<std::int32_t>(pixels_.size());
    Info.AlphaKind = alphaKind;
    Info.Compression = compression;
    Info.Pixels = pixels_.data();
    Loaded = true;
}

RawImage TTextures::CurrentRaw() const {
    RawImage raw;
    raw.Width = Info.Width;
    raw.Height = Info.Height;
    raw.BytesPerPixel = BytesPerPixel();
    raw.Pixels = pixels_;
    return raw;
}

void TTextures::FreeImage() {
    pixels_.clear();
    pixels_.shrink_to_fit();
    Info.Pixels = nullptr;
    Loaded = false;
    PendingDescriptor.clear();
    HasDescriptor = false;
}

bool TTextures::ReadWhole(const std::string& path, std::string& bytes) const {
    return ReadFileBytes(path, bytes).empty();
}

std::string ResolveImagePath(const std::string& path) {
    if (FileExists(path)) return path;
    const std::string found = ResolvePathIgnoreCase(path);
    return found.empty() ? path : found;
}

bool TTextures::LoadImageFile(const std::string& name) {
    LoadFault.clear();
    const std::string path = ResolveImagePath(name);
    // A file we cannot open counts as too short: the current image stays as it is.
    if (!FileExists(path) || FileSize(path) < 4) {
        ImageError = kShortFile;
        return false;
    }
    FreeImage();
    if (EndsWithText(path, ".bmp")) return LoadBmp(path);
    if (EndsWithText(path, ".jpg") || EndsWithText(path, ".jpeg")) return LoadJpg(path);
    if (EndsWithText(path, ".tga")) return LoadTga(path);
    if (EndsWithText(path, ".texture")) return ReadTextureFile(path);
    return false;
}

void TTextures::ShowBmpDataMessage() {
    state_.Messages->ShowMessage("Error reading bitmap data", "Textures Unit", MessageKind::Error);
}

bool TTextures::LoadBmp(const std::string& path) {
    Info.Compression = 0;
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        ImageError = kBmpOpen;
        state_.Messages->ShowMessage("Error opening " + path, "BMP Unit", MessageKind::Error);
        return false;
    }
    BmpResult r = DecodeBmp(AsBytes(bytes));
    switch (r.fault) {
    case BmpFault::None:
        SetImage(std::move(r.image), 0, 0);
        return true;
    case BmpFault::BadColourCount:
        ImageError = kBmpColours;
        return false;
    case BmpFault::ShortColourTable:
        ImageError = kBmpTable;
        return false;
    default:
        ImageError = kBmpData;
        if (!DeferBmpDataMessage) ShowBmpDataMessage();
        return false;
    }
}

bool TTextures::LoadTga(const std::string& path) {
    Info.Compression = 0;
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        ImageError = kTgaOpen;
        return false;
    }
    const std::string name = ExtractFileName(path);
    TgaResult r = DecodeTgaStrict(AsBytes(bytes));
    switch (r.fault) {
    case TgaFault::None:
        break;
    case TgaFault::ShortHeader:
        ImageError = kTgaOpen;
        return false;
    case TgaFault::RunLength:
        ImageError = kTgaRunLength;
        Message("Compressed TGAs not supported " + Quoted(name) + ".");
        return false;
    case TgaFault::BadType:
    case TgaFault::Unsupported:
        ImageError = kTgaType;
        state_.Messages->ShowMessage("Couldn't load " + Quoted(name) + ". Only 256 colour, 24 bit and 32bit TGA supported.",
                                     "TGA File Error", MessageKind::Error);
        return false;
    case TgaFault::BadColourMapType:
        state_.Messages->ShowMessage("Couldn't load " + Quoted(path) + ". Colormapped TGA files not supported.",
                                     "TGA File Error", MessageKind::Error);
        return false;
    case TgaFault::BadDepth:
        ImageError = kTgaDepth;
        return false;
    default:
        ImageError = kTgaData;
        return false;
    }
    if (r.depth == 16) {
        state_.Messages->Beep();
        Message("*** 16 bit colour TGA auto-converted to 24 bit ***\r\r *** Save file if possible to make 24 bit version ***");
    }
    SetImage(std::move(r.image), r.depth == 32 ? 2 : 0, 0);
    if (r.depth == 32) ScanAlpha();
    return true;
}

bool TTextures::LoadJpg(const std::string& path) {
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        ImageError = kJpegLoad;
        return false;
    }
    Image32 picture;
    if (!DecodeJpegPicture(AsBytes(bytes), picture)) {
        ImageError = kJpegLoad;
        return false;
    }
    picture.Depth = 32;  // the library keeps a JPEG with an opaque alpha channel
    SetImage(Image32ToRaw(picture, 4), 2, 0);
    return true;
}

bool TTextures::ReadTextureFile(const std::string& path) {
    SourceTexturePath = path;
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        ImageError = kTextureOpen;
        return false;
    }
    TextureResult r = DecodeTexture(AsBytes(bytes));
    if (r.infoRead) {
        PendingDescriptor = WriteTextureDescriptor(ExtractFileName(path), r.info);
        HasDescriptor = true;
    }
    if (r.fault == TextureFault::None) {
        SetImage(std::move(r.image), r.info.alphaKind, r.info.compression);
        return true;
    }
    LoadFault = TextureFaultText(r);
    switch (r.fault) {
    case TextureFault::ShortHeader:
    case TextureFault::NotMmtfInfo:
        ImageError = kTextureHeader;
        break;
    case TextureFault::BadTag:
        ImageError = kTextureTag;
        break;
    case TextureFault::BadFormat:
    case TextureFault::BadChunkTag:
        ImageError = kTextureFormat;
        break;
    case TextureFault::ShortLevel:
        ImageError = kTextureLevel;
        break;
    case TextureFault::MipSkip:
    case TextureFault::TextureType:
    case TextureFault::Cubes:
    case TextureFault::Slices:
    case TextureFault::PixelFormat:
        Message(LoadFault);
        break;
    default:  // refusals without a code
        break;
    }
    return false;
}

void TTextures::SwapRedBlue(std::uint8_t* buffer, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, buffer += 3) std::swap(buffer[0], buffer[2]);
}

void TTextures::FlipImage() {
    if (!Loaded || Info.Height <= 0) return;
    const std::size_t row = static_cast<std::size_t>(Info.Size / Info.Height);
    for (int y = 0; y < Info.Height / 2; ++y)
        std::swap_ranges(pixels_.begin() + static_cast<std::ptrdiff_t>(y * row),
                         pixels_.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
                         pixels_.begin() + static_cast<std::ptrdiff_t>((Info.Height - 1 - y) * row));
}

void TTextures::MirrorImage() {
    const int bpp = BytesPerPixel();
    if (bpp != 3 && bpp != 4) return;
    MirrorPixelRows(pixels_.data(), Info.Width, Info.Height, bpp);
}

void TTextures::RotateImage() {
    const int bpp = BytesPerPixel();
    if (bpp != 3 && bpp != 4) return;
    const int w = Info.Width, h = Info.Height;
    PixelBytes scratch(pixels_.size());
    std::uint8_t* out = scratch.data();
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y, out += bpp)
            std::copy_n(pixels_.data() + (static_cast<std::size_t>(y) * w + (w - 1 - x)) * bpp, bpp, out);
    pixels_ = std::move(scratch);
    Info.Pixels = pixels_.data();
    Info.Width = h;
    Info.Height = w;
}

void TTextures::ScanAlpha() {
    if (BytesPerPixel() != 4) return;
    Info.AlphaKind = 2;
    for (std::size_t i = 3; i < pixels_.size(); i += 4)
        if (pixels_[i] != 0 && pixels_[i] != 255) {
            Info.AlphaKind = 1;
            return;
        }
}

void TTextures::ThresholdAlpha(int threshold) {
    if (BytesPerPixel() != 4) return;
    const int t = std::clamp(threshold, 1, 254);
    Info.AlphaKind = 2;
    for (std::size_t i = 3; i < pixels_.size(); i += 4) pixels_[i] = pixels_[i] < t ? 0 : 255;
}

bool TTextures::AddAlphaChannel() {
    if (BytesPerPixel() != 3) return false;
    const std::size_t n = static_cast<std::size_t>(Info.Width) * Info.Height;
    PixelBytes out(n * 4);
    for (std::size_t i = 0; i < n; ++i) {
        std::copy_n(pixels_.data() + i * 3, 3, out.data() + i * 4);
        out[i * 4 + 3] = 255;
    }
    pixels_ = std::move(out);
    Info.Pixels = pixels_.data();
    Info.Size = static_cast<std::int32_t>(pixels_.size());
    Info.AlphaKind = 2;
    return true;
}

bool TTextures::RemoveAlphaChannel() {
    if (BytesPerPixel() != 4) return false;
    const std::size_t n = static_cast<std::size_t>(Info.Width) * Info.Height;
    PixelBytes out(n * 3);
    for (std::size_t i = 0; i < n; ++i) std::copy_n(pixels_.data() + i * 4, 3, out.data() + i * 3);
    pixels_ = std::move(out);
    Info.Pixels = pixels_.data();
    Info.Size = static_cast<std::int32_t>(pixels_.size());
    Info.AlphaKind = 0;
    return true;
}

bool TTextures::ColourKeyToAlpha(const std::string& text) {
    const std::vector<std::string> parts = SplitString(text, ",");
    long long key[3], tolerance;
    bool ok = parts.size() >= 4;
    for (int i = 0; ok && i < 3; ++i) ok = TryParseInt(Trim(parts[i]), key[i]);
    // The tolerance is everything after the third comma.
    const std::size_t third = ok ? parts[0].size() + parts[1].size() + parts[2].size() + 3 : 0;
    const std::string rest = ok ? text.substr(third) : std::string();
    ok = ok && !rest.empty() && TryParseInt(Trim(rest), tolerance);
    if (!ok) {
        ImageError = kShortFile;
        return false;
    }
    if (BytesPerPixel() == 3 && !AddAlphaChannel()) {
        ImageError = kNoAlphaChannel;
        return false;
    }
    if (BytesPerPixel() != 4) {
        ImageError = kNoAlphaChannel;
        return false;
    }
    auto near = [&](std::uint8_t v, long long k) { return std::llabs(static_cast<long long>(v) - k) <= tolerance; };
    for (std::size_t i = 0; i < pixels_.size(); i += 4)
        pixels_[i + 3] = near(pixels_[i], key[0]) && near(pixels_[i + 1], key[1]) && near(pixels_[i + 2], key[2]) ? 0 : 255;
    return true;
}

bool TTextures::ExportWithoutAlpha(const std::string& path) {
    if (!Loaded) return false;
    Saved saved = Save();
    RemoveAlphaChannel();
    const bool ok = ExportImage(path);
    Restore(std::move(saved));
    return ok;
}

bool TTextures::ExportAlphaAsGrey(const std::string& path) {
    if (BytesPerPixel() != 4) return false;
    Saved saved = Save();
    const std::size_t n = pixels_.size() / 4;
    PixelBytes grey(n * 3);
    for (std::size_t i = 0; i < n; ++i) grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = pixels_[i * 4 + 3];
    pixels_ = std::move(grey);
    Info.Pixels = pixels_.data();
    Info.Size = static_cast<std::int32_t>(pixels_.size());
    Info.AlphaKind = 0;
    const bool ok = ExportImage(path);
    Restore(std::move(saved));
    return ok;
}

bool TTextures::MergeAlphaImage(const std::string& path) {
    if (!Loaded || Info.Size == 0) return false;
    const bool added = BytesPerPixel() == 3 && AddAlphaChannel();
    Saved saved = Save();
    const bool loaded = LoadImageFile(path);
    const int sourceBpp = BytesPerPixel();
    const bool sameSize = Info.Width == saved.info.Width && Info.Height == saved.info.Height;
    if (!loaded || !Loaded || !sameSize || sourceBpp < 3) {
        if (loaded && !sameSize) {
            ImageError = kMergeSize;
            Message("Images not the same size");
        }
        Restore(std::move(saved));
        if (added) RemoveAlphaChannel();  // only the channel this merge added goes again
        return false;
    }
    const std::size_t n = static_cast<std::size_t>(Info.Width) * Info.Height;
    for (std::size_t i = 0; i < n; ++i) saved.pixels[i * 4 + 3] = pixels_[i * sourceBpp];
    Restore(std::move(saved));
    ScanAlpha();
    return true;
}

Image32 TTextures::FillExportBitmap() const {
    const int bpp = BytesPerPixel();
    if (bpp != 3 && bpp != 4) return {};
    return RawToImage32(CurrentRaw());
}

bool TTextures::ExportImage(const std::string& path) {
    if (!Loaded) return false;
    const std::string ext = LowerCase(ExtractFileExt(path));
    if (ext == ".bmp") {
        const std::string bytes = EncodeBmp24(CurrentRaw());
        if (bytes.empty() || !WriteFileAtomic(path, bytes).empty()) {
            ImageError = kExportBmp;
            return false;
        }
        return true;
    }
    if (ext == ".jpg" || ext == ".jpeg") {
        const std::string bytes = EncodeJpeg(FillExportBitmap());
        if (bytes.empty() || !WriteFileAtomic(path, bytes).empty()) {
            ImageError = kExportJpeg;
            return false;
        }
        return true;
    }
    if (ext != ".tga") return false;
    const std::string bytes = EncodeTga(CurrentRaw());
    if (bytes.empty()) return false;  // no header fits this image
    if (!WriteFileAtomic(path, bytes).empty()) {
        ImageError = kExportTgaCreate;
        return false;
    }
    if (HasDescriptor && !SourceTexturePath.empty()) return WriteDescriptor(path);
    return true;
}

bool TTextures::WriteDescriptor(const std::string& exportPath) {
    // Beside the source texture; an export to another folder gets its own copy there, so that it
    // neither names a missing TGA nor overwrites that folder's descriptor.
    const std::string textureName = ExtractFileName(SourceTexturePath);
    std::string descriptor = SourceTexturePath + ".txt";
    if (!SameFolder(ExtractFileDir(SourceTexturePath), ExtractFileDir(exportPath)))
        descriptor = JoinPath(ExtractFileDir(exportPath), textureName + ".txt", '/');
    const std::string sourceBase = LowerCase(SourceTexturePath.substr(0, SourceTexturePath.size() - std::min<std::size_t>(8, SourceTexturePath.size())));
    const std::string exportBase = LowerCase(exportPath.substr(0, exportPath.size() - 4));
    const std::string exportName = ExtractFileName(exportPath);
    const std::string exported = exportName.substr(0, exportName.size() - 4) + ".tga";
    const bool same = sourceBase == exportBase;
    std::string text;
    for (const std::string& line : PendingDescriptor) {
        if (!same && ContainsStr(line, "Primary=")) text += "Primary=" + exported;
        else if (!same && ContainsStr(line, "Alpha=")) text += "Alpha=" + exported;
        else text += line;
        text += "\r\n";
    }
    if (!WriteFileAtomic(descriptor, text).empty()) {
        ImageError = kExportDescriptor;
        return false;
    }
    return true;
}

TTextures& ImageLibrary() {
    static TTextures library(Globals());
    return library;
}

std::string ImageLoadReason(const TTextures& library) {
    if (!library.LoadFault.empty()) return library.LoadFault;
    switch (library.ImageError) {
        case kJpegLoad: return "its JPEG data is damaged or of a kind that cannot be read";
        case kBmpOpen:
        case kTgaOpen:
        case kTextureOpen: return "it cannot be opened";
        case kBmpColours: return "its BMP colour count is not supported";
        case kBmpTable: return "its BMP colour table is cut short";
        case kBmpData: return "its BMP pixel data is cut short";
        case kTgaType: return "its TGA image type is not supported";
        case kTgaDepth: return "its TGA pixel depth is not supported";
        case kTgaData: return "its TGA pixel data is cut short";
        case kTgaRunLength: return "it is a run-length encoded TGA";
        case kTextureHeader:
        case kTextureTag:
        case kTextureFormat:
        case kTextureLevel: return "it is a damaged texture";
        default: return {};
    }
}

}  // namespace kelvarn
