// What a mesh material's texture entries ask to load. The model reader makes a plan per used entry
// (the file or the descriptor's primary and alpha images, and the alpha rule to apply); a texture
// source turns a plan into pixels the renderer uploads. The reader never decodes an image itself, so
// it runs without a display and without the codecs.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

// A message box to show once the load is over, in the order the load produced them.
struct TMessageBoxText {
    std::string Text;
    std::string Caption;
    bool operator==(const TMessageBoxText&) const = default;
};
using TMessageList = std::vector<TMessageBoxText>;

// The slots of a material's texture entries that the mesh view uses.
enum TTextureSlot : std::uint32_t { tsDiffuse = 1, tsBump = 8, tsReflection = 9 };

struct TTexturePlan {
    std::uint32_t Slot = 0;
    std::string FileName;   // the entry's file-name part, lower case (what the material keeps)
    std::string Path;       // the file to load: the texture itself, or its descriptor's primary
    std::string AlphaPath;  // the descriptor's alpha image, loaded first as the pending alpha; or empty
    bool ConstantAlpha = false;
    int Value = 0;  // the constant alpha (0..255) when set, else the material kind
    bool operator==(const TTexturePlan&) const = default;
};

// Finds the files a mesh names. Names inside meshes and descriptors are often Windows paths, even
// absolute ones, of a folder that no longer exists: only the file-name part counts.
class ITextureFiles {
public:
    virtual ~ITextureFiles() = default;
    // The existing file that the name's file-name part names, or empty.
    virtual std::string Find(std::string_view name) = 0;
    // A descriptor's bytes; false when it cannot be read.
    virtual bool ReadText(const std::string& path, std::string& bytes) = 0;
};

// Looks in the mesh's own folder, matching names ignoring case (assets are made on Windows). The
// folder is listed, and each descriptor read, once: a mesh may name the same files many times.
class TMeshFolderFiles final : public ITextureFiles {
public:
    explicit TMeshFolderFiles(std::string folder) : folder_(std::move(folder)) {}
    std::string Find(std::string_view name) override;
    bool ReadText(const std::string& path, std::string& bytes) override;

private:
    std::string folder_;
    bool listed_ = false;
    std::map<std::string, std::string, std::less<>> exact_, folded_;  // file name -> path
    std::map<std::string, std::optional<std::string>, std::less<>> texts_;
};

// Finds nothing: for reading a mesh's shape alone.
class TNoTextureFiles final : public ITextureFiles {
public:
    std::string Find(std::string_view) override { return {}; }
    bool ReadText(const std::string&, std::string&) override { return false; }
};

// The file-name part of a texture name as a material keeps it: after the last "\" or "/", lower case.
std::string TextureFileName(std::string_view name);

// The "alpha=" and "primary=" names of a texture descriptor: the text after "=" of the first line
// holding each (compared in lower case), without the line end and surrounding blanks.
void ReadDescriptorNames(std::string_view descriptorText, std::string& alpha, std::string& primary);

// The plan for one texture entry of a material of `kind` and `opacity`, or none when nothing is to be
// loaded (an unused slot, a bump texture of a kind below 5, no file).
std::optional<TTexturePlan> PlanTexture(std::uint32_t slot, std::string_view name, int kind, float opacity,
                                        ITextureFiles& files);

// Pixels ready for the renderer: rows from the bottom, tightly packed R, G, B (and A when HasAlpha).
struct TPreparedTexture {
    int Width = 0;
    int Height = 0;
    bool HasAlpha = false;
    std::vector<std::uint8_t> Pixels;
};

// Turns plans into pixels (the image codecs behind it). Null when nothing can be made; what the user
// must be told goes to `messages`.
class ITextureSource {
public:
    virtual ~ITextureSource() = default;
    virtual std::shared_ptr<const TPreparedTexture> Prepare(const TTexturePlan& plan, TMessageList& messages) = 0;
};

}  // namespace kelvarn
