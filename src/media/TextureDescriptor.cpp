#include "media/TextureDescriptor.h"

#include <algorithm>
#include <filesystem>

#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {
namespace {

using SV = std::string_view;

constexpr SV kTile[] = {"st", "s", "t", "none"};
constexpr SV kCompression[] = {"none", "dxt1", "dxt3", "dxt5"};
constexpr SV kHint[] = {"static", "dynamic"};
constexpr SV kNormalMapHint[] = {"normalmap", "none"};
constexpr SV kModifyMap[] = {"flipgreen", "none"};
constexpr SV kAlphaHint[] = {"semitransparent", "masked", "opaque"};
constexpr SV kAnisotropy[] = {"1", "2", "4", "8", "16"};
constexpr SV kAutoMip[] = {"none", "default", "fastest", "nicest"};
constexpr SV kFilter[] = {"nearest", "linear", "default"};
constexpr SV kMipFilter[] = {"nearest", "linear", "default", "none"};

const std::array<TDescriptorKey, kDescriptorFields> kKeys = {{
    {"Primary", {}},
    {"Alpha", {}},
    {"Tile", kTile},
    {"Compression", kCompression},
    {"Hint", kHint},
    {"NormalMapHint", kNormalMapHint},
    {"ModifyMap", kModifyMap},
    {"AlphaHint", kAlphaHint},
    {"Anisotropy", kAnisotropy},
    {"AutoMip", kAutoMip},
    {"MagFilter", kFilter},
    {"MinFilter", kFilter},
    {"MipFilter", kMipFilter},
}};

const std::array<SV, kDescriptorHelpEntries> kHelp = {
    "Texture wrapping", "Texture wrapping", "Horizontal and vertical tiling.", "Horizontal tiling",
    "Vertical tiling", "No tiling",
    "Texture compression", "Texture compression", "No compression", "Opaque or masked alpha",
    "High contrast blended alpha", "Blended alpha",
    "Internal use only", "Internal use only", "Standard texture", "Texture modified in memory (deprecated)",
    "Normal map", "Normal map", "Normal mapped texture", "None",
    "Normal map correction", "Normal map correction", "Invert green channel", "none",
    "Alpha channel properties", "Alpha channel properties", "Blended alpha", "Masked alpha", "No alpha",
    "Sampling quality", "Sampling quality", "None", "Low", "Medium", "High", "Very High",
    "Mip map generation", "Mip map generation", "No mipmaps", "Game default", "Best performance", "Best quality",
    "Texture sampling when magnified", "Texture sampling when magnified", "No blending on enlargement",
    "Smooth blended enlargement", "Game default",
    "Texture sampling when reduced", "Texture sampling when reduced", "No blending on reduction",
    "Smooth blended reduction", "Game default",
    "Mip map texture sampling", "Mip map texture sampling", "No blending", "Smooth blending between mip maps",
    "Game default", "Disable mipmapping (for user interface textures)",
};

constexpr std::uint64_t kMaxDescriptorBytes = 1ull << 20;

int FieldOfKey(std::string_view key) {
    for (int i = 0; i < kDescriptorFields; ++i)
        if (SameText(key, kKeys[i].Name)) return i;
    return -1;
}

std::string Normalised(std::string_view path) {
    return PathString(FsPath(path).lexically_normal());
}

}  // namespace

std::span<const TDescriptorKey, kDescriptorFields> DescriptorKeys() { return kKeys; }

const std::array<std::string_view, kDescriptorHelpEntries>& DescriptorHelpTable() { return kHelp; }

std::string_view DescriptorHelpText(int field, int itemIndex) {
    if (field < 2 || field >= kDescriptorFields) return {};
    std::size_t start = 0;
    for (int f = 2; f < field; ++f) start += kKeys[f].Values.size() + 2;
    const int count = static_cast<int>(kKeys[field].Values.size());
    if (itemIndex < -1 || itemIndex > count) return {};
    return kHelp[start + static_cast<std::size_t>(itemIndex + 1)];
}

std::string DescriptorLineKey(std::string_view line) {
    const std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string() : Trim(line.substr(0, eq));
}

TextureDescriptor TextureDescriptor::Parse(std::string_view text) {
    TextureDescriptor d;
    for (const std::string& raw : SplitLines(text)) {
        const std::string line = Trim(raw);
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        const int field = eq == std::string::npos ? -1 : FieldOfKey(Trim(std::string_view(line).substr(0, eq)));
        if (field < 0) {
            d.OtherLines.push_back(line);
            continue;
        }
        const std::string value = Trim(std::string_view(line).substr(eq + 1));
        if (field < 2) {
            (field == 0 ? d.Primary : d.Alpha) = value;
        } else {
            d.Items[field] = 0;
            d.SetValue(field, value);
        }
    }
    return d;
}

std::vector<std::string> TextureDescriptor::Lines() const {
    std::vector<std::string> lines;
    for (int f = 0; f < kDescriptorFields; ++f)
        if (IsSet(f)) lines.push_back(std::string(kKeys[f].Name) + "=" + Value(f));
    lines.insert(lines.end(), OtherLines.begin(), OtherLines.end());
    return lines;
}

std::string TextureDescriptor::Write() const { return JoinLines(Lines(), "\r\n"); }

bool TextureDescriptor::IsSet(int field) const {
    if (field == 0) return !Primary.empty();
    if (field == 1) return !Alpha.empty();
    if (field < 0 || field >= kDescriptorFields) return false;
    return Items[field] >= 1 && Items[field] <= static_cast<int>(kKeys[field].Values.size());
}

std::string TextureDescriptor::Value(int field) const {
    if (field == 0) return Primary;
    if (field == 1) return Alpha;
    if (!IsSet(field)) return {};
    return std::string(kKeys[field].Values[static_cast<std::size_t>(Items[field] - 1)]);
}

bool TextureDescriptor::SetValue(int field, std::string_view value) {
    if (field == 0 || field == 1) {
        (field == 0 ? Primary : Alpha) = std::string(value);
        return true;
    }
    if (field < 2 || field >= kDescriptorFields) return false;
    const std::string lower = LowerCase(value);
    const auto& values = kKeys[field].Values;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] == lower) {
            Items[field] = static_cast<int>(i) + 1;
            return true;
        }
    return false;
}

void TextureDescriptor::ClearField(int field) {
    if (field == 0) Primary.clear();
    else if (field == 1) Alpha.clear();
    else if (field > 1 && field < kDescriptorFields) Items[field] = 0;
}

bool DescriptorCanSave(std::string_view text) {
    const std::vector<std::string> lines = SplitLines(text);
    return !lines.empty() && SameText(DescriptorLineKey(lines.front()), "Primary");
}

std::string DescriptorDefaultImage(std::string_view descriptorPath) {
    const std::string name = ExtractFileName(descriptorPath);
    if (!EndsWithText(name, ".texture.txt")) return {};
    const std::string base = name.substr(0, name.size() - std::string_view(".texture.txt").size());
    const std::string folder = ExtractFileDir(descriptorPath);
    for (std::string_view ext : {".tga", ".bmp", ".jpg"}) {
        const std::string found = FindFileIgnoreCase(folder, base + std::string(ext));
        if (!found.empty() && FileExists(found)) return ExtractFileName(found);
    }
    return {};
}

std::vector<std::string> DescriptorImageFiles(std::string_view folder) {
    std::vector<std::string> found, names;
    FindFiles(JoinPath(folder, "*.*"), "*.jpg;*.bmp;*.tga", found, false);
    for (const std::string& path : found) names.push_back(ExtractFileName(path));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = LowerCase(a), lb = LowerCase(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string ReadTextureDescriptor(std::string_view path, TextureDescriptor& descriptor, DecodedText* text) {
    DecodedText decoded;
    if (std::string error = ReadTextFile(path, decoded, kMaxDescriptorBytes); !error.empty()) return error;
    descriptor = TextureDescriptor::Parse(decoded.text);
    if (text) *text = std::move(decoded);
    return {};
}

bool IsInAlphaTexture(std::string_view assetFolder, std::string_view imagePath) {
    const std::string image = Normalised(imagePath);
    std::vector<std::string> descriptors;
    FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.texture.txt", descriptors);
    for (const std::string& path : descriptors) {
        TextureDescriptor d;
        if (!ReadTextureDescriptor(path, d).empty() || d.Primary.empty() || d.Alpha.empty()) continue;
        const std::string folder = ExtractFileDir(path);
        for (const std::string* name : {&d.Primary, &d.Alpha})
            if (SameText(Normalised(JoinPath(folder, *name, '/')), image)) return true;
    }
    return false;
}

}  // namespace kelvarn
