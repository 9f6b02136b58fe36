// What the texture repair's modes share within one run: the asset's files, the missing list, the
// image facade, and the one way a file is changed (inside the asset, backed up once, then written).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "media/StrellImage.h"
#include "media/Textures.h"
#include "shell/Image32.h"
#include "validation/TextureRepair.h"

namespace kelvarn {

class TRepairRun {
public:
    explicit TRepairRun(const TTextureRepairContext& context);

    const TTextureRepairContext& Context;
    TTextures Library;
    TStrellImage Facade;

    bool ReportOnly() const { return Context.ReportOnly; }
    const std::string& Folder() const { return folder_; }  // the asset folder, native
    void Progress(std::size_t done, std::size_t total) const {
        if (Context.Progress) Context.Progress(done, total);
    }

    // Files below the asset folder whose name ends in one of the extensions (ignoring case): native
    // full paths, sorted ignoring case.
    std::vector<std::string> FilesBelow(std::initializer_list<std::string_view> extensions) const;
    std::vector<std::string> ImagesBelow() const { return FilesBelow({".tga", ".bmp", ".jpg"}); }

    // The asset-relative name with "\" separators (the path itself when it lies outside).
    std::string Relative(std::string_view path) const;
    // Does the path (a file or a name to be made) lie inside the asset folder?
    bool InsideAsset(std::string_view path) const;
    // `name` (relative, "\" or "/") joined to `folder`, native. The existing file of that name in
    // another case when there is one.
    std::string Resolve(std::string_view folder, std::string_view name) const;

    // The sorted list of missing files (ignoring case, each once).
    const std::vector<std::string>& Missing() const { return missing_; }
    void AddMissing(const std::string& path);

    // Before a file's first change in this run: it must lie inside the asset, and an existing file is
    // backed up (once per run: backup names stamp whole seconds). Empty when the change may go ahead,
    // else the line to report.
    std::string PrepareChange(const std::string& path);

    // Loads a picture through the facade as a 32-bit bitmap; false when it cannot be read.
    bool LoadBitmap(const std::string& path, Image32& bitmap, int& alphaKind);

private:
    std::string folder_;  // native, no trailing separator
    std::vector<std::string> missing_;
    std::set<std::string> backedUp_;
};

// The Primary and Alpha names of a descriptor file (as written; empty when absent or unreadable).
struct TDescriptorImages {
    std::string Path;     // the descriptor, native
    std::string Primary;
    std::string Alpha;
};
TDescriptorImages ReadDescriptorImages(const std::string& path);

// Width and height from the file's header; false (and -1 x -1) when unreadable.
bool ReadImageSize(TRepairRun& run, const std::string& path, int& width, int& height);
// The picture brought to a new size by the program's one resampler; false when it cannot be.
bool ResampleImage(Image32& bitmap, int width, int height);
// The grey level that becomes an alpha byte: (61 R + 174 G + 21 B) div 256.
std::uint8_t IntensityOf(std::uint32_t argb);
// Is the file the Primary or Alpha image of a descriptor of the asset that names both?
bool InAlphaTexture(const std::string& assetFolder, const std::string& path);
// The stock images: is the name one of them, and make one (empty on success, else the message).
bool IsStockImageName(std::string_view name);
std::string MakeStockImage(const std::string& folder, const std::string& name);

// The modes. Each appends its report lines.
void ConvertTextureFiles(TRepairRun& run, std::vector<std::string>& lines);
void CheckImageSize(TRepairRun& run, std::vector<std::string>& lines);
void CheckAlphaImages(TRepairRun& run, std::vector<std::string>& lines);
void MakeUniformImagesSmall(TRepairRun& run, std::vector<std::string>& lines);
void FindMissingImages(TRepairRun& run, std::vector<std::string>& lines);
void FindUnreferencedImages(TRepairRun& run, std::vector<std::string>& lines);
void ReplaceImageReferences(TRepairRun& run, std::vector<std::string>& lines);

// Is every pixel of the loaded picture, compared as 32-bit values, that of pixel (0,0)? That value is
// handed back. A picture that cannot be loaded is not uniform.
bool IsUniformImage(TRepairRun& run, const std::string& path, std::uint32_t& colour);

}  // namespace kelvarn
