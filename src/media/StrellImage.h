// The image facade: the one door through which the rest of the program loads and saves pictures. It
// drives the image library by command number, loads any supported picture into a program image with
// its alpha kind, compression and bit depth, and saves images as BMP, JPEG or TGA.
#pragma once

#include <string>

#include "media/Textures.h"

namespace kelvarn {

// The library's operations by number.
enum TTextureCommand {
    tcLoadImageFile = 1,
    tcFreeImage = 2,
    tcExportImage = 3,
    tcFlipImage = 4,
    tcMirrorImage = 5,
    tcRotateImage = 6,
    tcColourKeyToAlpha = 7,
    tcAddAlphaChannel = 8,
    tcRemoveAlphaChannel = 9,
    tcExportWithoutAlpha = 10,
    tcExportAlphaAsGrey = 11,
    tcMergeAlphaImage = 12,
    tcScanAlpha = 13,
    tcThresholdAlpha = 14,
};

class TStrellImage {
public:
    explicit TStrellImage(TTextures& library) : library_(library) {}

    TTextures& Library() { return library_; }

    // Set at the start of every LoadImage and cleared by the pixel copies as soon as two successive
    // pixels differ in colour; the texture checks read it to find pictures of one colour.
    bool UniformColour = true;

    // Runs a command, records -8 when no error code is set, and copies the description out. Returns
    // the operation's result (True for operations that have none).
    bool TextureCommand(int command, int argument, const std::string& path, TImageInfo& info);

    // Loads a picture. `alphaKind` is the library's numbering (1 semitransparent, 2 masked). The
    // current image stays loaded; callers free it with command 2.
    bool LoadImage(const std::string& path, Image32& bitmap, int& alphaKind, int& compression, int& bits);

    void CopyPixels24(const TImageInfo& info, Image32& bitmap);
    void CopyPixels32(const TImageInfo& info, Image32& bitmap);

    // Each makes the bitmap 24-bit first (SaveTGA only when keepDepth is 0) and writes atomically.
    bool SaveBMP(const std::string& path, Image32& bitmap);
    bool SaveJPEG(const std::string& path, Image32& bitmap);
    bool SaveTGA(const std::string& path, Image32& bitmap, int keepDepth);

    // The further formats, chosen by content: our full TGA reader for files without a known signature,
    // Magick++ for PNG, GIF, TIFF and PSD, and also for BMP (Magick++) and JPEG (the program's one JPEG
    // decode) when `bmpAndJpeg` is set (the fallback after the library refused such a file).
    bool LoadGraphicEx(const std::string& path, Image32& bitmap, int& alphaKind, int& compression, int& bits,
                       bool bmpAndJpeg = false);

private:
    void CopyPixels(const TImageInfo& info, Image32& bitmap, int bytesPerPixel);

    TTextures& library_;
};

// The program's one facade, over ImageLibrary().
TStrellImage& ImageFacade();

}  // namespace kelvarn
