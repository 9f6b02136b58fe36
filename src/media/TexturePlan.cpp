#include "media/TexturePlan.h"

#include <algorithm>
#include <cmath>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::uint64_t kMaxDescriptorBytes = 1 << 20;  // a descriptor is a few lines

// An alpha byte from a computed value; opacities outside 0..1 (or not a number) in a damaged file
// must not give a value outside the byte.
int AlphaByte(double value) {
    if (!(value > 0)) return 0;
    if (value > 255) return 255;
    return static_cast<int>(std::nearbyint(value));  // halves to even, as the simulator's tools round
}

std::string AfterEquals(std::string_view line) {
    const std::size_t eq = line.find('=');
    return Trim(line.substr(eq + 1));
}

}  // namespace

std::string TMeshFolderFiles::Find(std::string_view name) {
    const std::string part = ExtractFileName(name);
    if (part.empty() || folder_.empty()) return {};
    if (!listed_) {
        listed_ = true;
        std::vector<std::string> entries;
        ListEntriesOfKind(JoinPath(folder_, "*"), entries, false);
        for (const std::string& path : entries) {
            if (!FileExists(path)) continue;
            const std::string file = ExtractFileName(path);
            exact_.emplace(file, path);
            folded_.emplace(LowerCase(file), path);  // the first in name order, as a lookup ignoring case finds it
        }
    }
    if (const auto hit = exact_.find(part); hit != exact_.end()) return hit->second;
    if (const auto hit = folded_.find(LowerCase(part)); hit != folded_.end()) return hit->second;
    return {};
}

bool TMeshFolderFiles::ReadText(const std::string& path, std::string& bytes) {
    auto [it, added] = texts_.try_emplace(path);
    if (added) {
        std::string read;
        if (ReadFileBytes(path, read, kMaxDescriptorBytes).empty()) it->second = std::move(read);
    }
    if (!it->second) return false;
    bytes = *it->second;
    return true;
}

std::string TextureFileName(std::string_view name) { return LowerCase(ExtractFileName(name)); }

void ReadDescriptorNames(std::string_view descriptorText, std::string& alpha, std::string& primary) {
    alpha.clear();
    primary.clear();
    bool haveAlpha = false, havePrimary = false;
    for (const std::string& line : SplitLines(descriptorText)) {
        const std::string lower = LowerCase(line);
        if (!haveAlpha && lower.find("alpha=") != std::string::npos) {
            alpha = AfterEquals(line);
            haveAlpha = true;
        }
        if (!havePrimary && lower.find("primary=") != std::string::npos) {
            primary = AfterEquals(line);
            havePrimary = true;
        }
    }
}

std::optional<TTexturePlan> PlanTexture(std::uint32_t slot, std::string_view name, int kind, float opacity,
                                        ITextureFiles& files) {
    if (slot != tsDiffuse && slot != tsBump && slot != tsReflection) return std::nullopt;
    // A bump map is drawn only by the bump materials ("m.tbumptex" and on).
    if (slot == tsBump && kind < 5) return std::nullopt;
    TTexturePlan plan;
    plan.Slot = slot;
    plan.FileName = TextureFileName(name);

    // The constant alpha of a diffuse texture, if it gets one.
    std::optional<int> diffuseAlpha;
    plan.Path = files.Find(plan.FileName);
    if (!plan.Path.empty()) {
        if (kind == 6)
            diffuseAlpha = 255;
        else if (opacity != 1.0f)
            diffuseAlpha = AlphaByte(std::sqrt(static_cast<double>(opacity)) * 255);
    } else {
        // No such image: a texture descriptor of that name may say which images make it.
        const std::string descriptor = files.Find(plan.FileName + ".txt");
        std::string text;
        if (descriptor.empty() || !files.ReadText(descriptor, text)) return std::nullopt;
        std::string alphaName, primaryName;
        ReadDescriptorNames(DecodeText(text).text, alphaName, primaryName);
        plan.Path = files.Find(primaryName);
        if (plan.Path.empty()) return std::nullopt;
        if (!SameText(alphaName, primaryName)) plan.AlphaPath = files.Find(alphaName);
        if (opacity == 1.0f && (kind == 6 || alphaName.empty()))
            diffuseAlpha = 255;
        else if (opacity != 1.0f)
            diffuseAlpha = AlphaByte(255 * static_cast<double>(opacity));
    }
    // A reflection loads with the kind as its value, a bump map with a constant alpha of 255.
    const std::optional<int> alpha = slot == tsDiffuse ? diffuseAlpha
                                     : slot == tsBump  ? std::optional<int>(255)
                                                       : std::nullopt;
    plan.ConstantAlpha = alpha.has_value();
    plan.Value = alpha.value_or(kind);
    return plan;
}

}  // namespace kelvarn
