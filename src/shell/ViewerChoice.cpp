#include "shell/ViewerChoice.h"

#include <filesystem>

#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

bool ExtensionOccursIn(std::string_view lowerExt, std::string_view list) {
    return lowerExt.size() > 1 && ContainsStr(list, lowerExt);
}

TViewerChoice ChooseViewer(std::string_view path) {
    if (EndsWithText(path, ".texture.txt")) return TViewerChoice::TextureDescriptor;
    if (EndsWithText(path, ".lm.txt")) return TViewerChoice::LevelOfDetail;
    const std::string ext = LowerCase(ExtractFileExt(path));
    if (ExtensionOccursIn(ext, ".texture.jpg.tga.bmp.gif.png.psd.psp.tif"))
        return TViewerChoice::Image;
    if (ExtensionOccursIn(ext, ".im.pm")) return TViewerChoice::Mesh;
    if (ExtensionOccursIn(ext, ".trainzmesh")) return TViewerChoice::TrainzMesh;
    if (ExtensionOccursIn(ext, ".kin")) return TViewerChoice::BinaryText;
    if (ExtensionOccursIn(ext, ".txt.log.html.gs.xml")) return TViewerChoice::Text;
    if (ExtensionOccursIn(ext, ".mp3.wav")) return TViewerChoice::AudioOnly;
    return TViewerChoice::None;
}

TShowFilePlan PlanShowFile(const TShowFileInputs& in) {
    TShowFilePlan plan;
    const std::string ext = LowerCase(ExtractFileExt(in.path));
    plan.play = in.autoplay && ExtensionOccursIn(ext, ".mp3.wav");
    if (in.layoutMode == 1 || (in.activeIsFileViewer && !in.activeShownFile.empty() &&
                               in.activeShownFile == in.currentAssetFile)) {
        plan.stop = true;
        return plan;
    }
    plan.askToSave = true;
    if (!in.fileExists) {
        plan.alert = "File not found: " + in.path;
        plan.stop = true;
        return plan;
    }
    plan.viewer = ChooseViewer(in.path);
    plan.configFile = plan.viewer == TViewerChoice::Text && SameText(ExtractFileName(in.path), "config.txt");
    return plan;
}

TSaveTarget SaveTargetFor(std::string_view name) {
    if (EndsWithText(name, ".texture.txt")) return TSaveTarget::TextureDescriptor;
    if (EndsWithText(name, ".lm.txt")) return TSaveTarget::LevelOfDetail;
    const std::string ext = LowerCase(ExtractFileExt(name));
    if (ext == ".gs" || ext == ".txt") return TSaveTarget::Text;
    if ((ext == ".jpg" || ext == ".bmp" || ext == ".tga")) return TSaveTarget::Image;
    return TSaveTarget::None;
}

TSavedFile FileSavedTarget(std::string_view text, std::string_view assetFolder) {
    TSavedFile saved;
    saved.file = std::string(text);
    const bool absolute = !text.empty() && (IsPathSeparator(text.front()) ||
                                            (text.size() > 1 && text[1] == ':'));
    if (absolute) {
        // A full path: its own folder is the one edited.
        if (auto relative = AssetRelativePath(text, assetFolder)) {
            saved.assetFolder = std::string(assetFolder);
            saved.file = *relative;
        } else {
            saved.assetFolder = ExtractFileDir(text);
            saved.file = ExtractFileName(text);
        }
    } else {
        saved.assetFolder = std::string(assetFolder);
        saved.byViewer = true;
    }
    return saved;
}

std::optional<std::string> AssetRelativePath(std::string_view path, std::string_view assetFolder) {
    if (path.empty() || assetFolder.empty()) return std::nullopt;
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::weakly_canonical(FsPath(path), ec);
    if (ec) return std::nullopt;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(FsPath(assetFolder), ec);
    if (ec) return std::nullopt;
    const std::filesystem::path relative = file.lexically_relative(folder);
    if (relative.empty() || relative == "." || *relative.begin() == "..") return std::nullopt;
    return relative.generic_string();
}

}  // namespace kelvarn
