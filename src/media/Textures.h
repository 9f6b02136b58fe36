// The image library: one current image in the library's layout (rows bottom-up, 3 bytes R, G, B or
// 4 bytes R, G, B, A), its loaders, in-place operations and exports, and the error codes all image
// code shares. The program has one (ImageLibrary()) behind the image facade; tests make their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/ImageBytes.h"

namespace kelvarn {

class TProgramState;

// The error codes. Above 1000 is a failure; -8 is the facade's "no error recorded".
namespace image_error {
inline constexpr std::int32_t kNone = -8;
inline constexpr std::int32_t kJpegLoad = 1005;
inline constexpr std::int32_t kGraphicShort = 1017;
inline constexpr std::int32_t kBmpOpen = 10001;
inline constexpr std::int32_t kBmpColours = 10002;
inline constexpr std::int32_t kBmpTable = 10003;
inline constexpr std::int32_t kBmpData = 10004;
inline constexpr std::int32_t kTgaOpen = 10006;
inline constexpr std::int32_t kTgaType = 10007;
inline constexpr std::int32_t kTgaDepth = 10009;
inline constexpr std::int32_t kTgaData = 10010;
inline constexpr std::int32_t kTgaRunLength = 10011;
inline constexpr std::int32_t kTextureOpen = 10012;
inline constexpr std::int32_t kTextureHeader = 10013;
inline constexpr std::int32_t kTextureTag = 10014;
inline constexpr std::int32_t kTextureFormat = 10015;
inline constexpr std::int32_t kTextureLevel = 10016;
inline constexpr std::int32_t kShortFile = 10017;
inline constexpr std::int32_t kMergeSize = 10018;
inline constexpr std::int32_t kTgaHeaderWrite = 10019;
inline constexpr std::int32_t kExportBmp = 10020;
inline constexpr std::int32_t kExportJpeg = 10021;
inline constexpr std::int32_t kExportTgaCreate = 10022;
inline constexpr std::int32_t kExportTgaData = 10023;
inline constexpr std::int32_t kExportDescriptor = 10024;
inline constexpr std::int32_t kNoAlphaChannel = 10025;
}  // namespace image_error

// The description of the current image handed out by the facade.
struct TImageInfo {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t AlphaKind = 0;    // 0 none, 1 semitransparent, 2 masked
    std::int32_t Compression = 0;  // 0 none, 1 DXT1, 3 DXT3, 5 DXT5
    std::int32_t ErrorCode = 0;    // set by the facade only
    std::int32_t Size = 0;         // bytes of pixel data
    const std::uint8_t* Pixels = nullptr;
};

class TTextures {
public:
    explicit TTextures(TProgramState& state);

    TImageInfo Info;
    bool Loaded = false;
    std::int32_t ImageError = 0;  // the last error code; only the facade resets it
    std::vector<std::string> PendingDescriptor;
    bool HasDescriptor = false;
    std::string SourceTexturePath;
    // Why the last LoadImageFile failed, when the reader knows more than its code says.
    std::string LoadFault;
    // Set by the facade while it loads: a BMP whose data this library cannot read goes to further
    // readers, so "Error reading bitmap data" waits for ShowBmpDataMessage when they fail too.
    bool DeferBmpDataMessage = false;

    // ".bmp", ".jpg" (or ".jpeg"), ".tga", ".texture".
    bool LoadImageFile(const std::string& path);
    void ShowBmpDataMessage();
    void FreeImage();
    bool ExportImage(const std::string& path);
    void FlipImage();
    void MirrorImage();
    void RotateImage();
    void ScanAlpha();
    void ThresholdAlpha(int threshold);
    bool AddAlphaChannel();
    bool RemoveAlphaChannel();
    bool ColourKeyToAlpha(const std::string& text);
    bool ExportWithoutAlpha(const std::string& path);
    bool ExportAlphaAsGrey(const std::string& path);
    bool MergeAlphaImage(const std::string& path);
    static void SwapRedBlue(std::uint8_t* buffer, std::size_t count);

    // The readers behind LoadImageFile.
    bool LoadBmp(const std::string& path);
    bool LoadTga(const std::string& path);
    bool LoadJpg(const std::string& path);
    bool ReadTextureFile(const std::string& path);

    // The current image as the export bitmap would hold it (rows from the top); empty without one.
    Image32 FillExportBitmap() const;
    // 3 or 4 for a loaded image, else 0: Size div (Width x Height).
    int BytesPerPixel() const;
    const PixelBytes& PixelBuffer() const { return pixels_; }

private:
    struct Saved;
    Saved Save() const;
    void Restore(Saved&& saved);
    void SetImage(RawImage&& image, int alphaKind, int compression);
    RawImage CurrentRaw() const;
    bool ReadWhole(const std::string& path, std::string& bytes) const;
    bool WriteDescriptor(const std::string& exportPath);
    void Message(const std::string& text, const std::string& caption = {});

    TProgramState& state_;
    PixelBytes pixels_;
};

// The file a picture path names: the path itself when it exists, else the file whose name matches it
// ignoring case (assets are made on Windows), else the path unchanged.
std::string ResolveImagePath(const std::string& path);

// Why the library's last load failed, as the user is told it; empty when it recorded no reason or
// the file was too short to be a picture at all.
std::string ImageLoadReason(const TTextures& library);

// The program's one image library (on the program's state).
TTextures& ImageLibrary();

}  // namespace kelvarn
