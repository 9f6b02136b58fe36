// Mode "texture": ".texture" files become a TGA image and a ".texture.txt" descriptor.
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

namespace {

struct TConversion {
    std::string Texture;     // the ".texture" file
    std::string Image;       // the TGA to write (an existing one in another case is that file)
    std::string Descriptor;  // its ".txt"
};

// The picture and descriptor lines of a texture; false when it cannot be loaded.
bool LoadTexture(TRepairRun& run, const std::string& path, Image32& bitmap, int& alphaKind,
                 std::vector<std::string>& descriptor) {
    int compression = 0, bits = 0;
    alphaKind = 0;
    const bool loaded = run.Facade.LoadImage(path, bitmap, alphaKind, compression, bits) && !bitmap.Empty();
    descriptor = run.Library.PendingDescriptor;
    run.Library.FreeImage();
    return loaded;
}

void Convert(TRepairRun& run, const TConversion& c, std::vector<std::string>& lines) {
    Image32 bitmap;
    int alphaKind = 0;
    std::vector<std::string> descriptor;
    if (!LoadTexture(run, c.Texture, bitmap, alphaKind, descriptor)) {
        lines.push_back("Texture could not be loaded: " + c.Texture);
        return;
    }
    if (bitmap.Width == 1 && bitmap.Height == 1 && !ResampleImage(bitmap, 8, 8)) {
        lines.push_back("Texture could not be loaded: " + c.Texture);
        return;
    }
    for (const std::string* path : {&c.Image, &c.Descriptor, &c.Texture})
        if (std::string error = run.PrepareChange(*path); !error.empty()) {
            lines.push_back(error);
            return;
        }
    std::string text;
    for (const std::string& line : descriptor) text += line + "\r\n";
    bitmap.Depth = alphaKind != 0 ? 32 : 24;
    const bool descriptorSaved = WriteFileAtomic(c.Descriptor, text).empty();
    const bool imageSaved = descriptorSaved && run.Facade.SaveTGA(c.Image, bitmap, 1);
    // The texture goes only when this run wrote both: files an earlier run left prove nothing.
    if (descriptorSaved && imageSaved && DeleteFilePath(c.Texture)) return;
    lines.push_back("Texture conversion failed: " + c.Texture);
}

}  // namespace

void ConvertTextureFiles(TRepairRun& run, std::vector<std::string>& lines) {
    const std::vector<std::string> textures = run.FilesBelow({".texture"});
    for (std::size_t i = 0; i < textures.size(); ++i) {
        run.Progress(i, textures.size());
        const std::string& path = textures[i];
        const std::string folder = ExtractFileDir(path);
        TConversion c{path, run.Resolve(folder, ChangeFileExt(ExtractFileName(path), ".tga")),
                      run.Resolve(folder, ExtractFileName(path) + ".txt")};
        if (run.ReportOnly()) {
            Image32 bitmap;
            int alphaKind = 0;
            std::vector<std::string> descriptor;
            if (!LoadTexture(run, path, bitmap, alphaKind, descriptor))
                lines.push_back("Texture could not be loaded: " + path);
            continue;
        }
        Convert(run, c, lines);
    }
}

}  // namespace kelvarn
