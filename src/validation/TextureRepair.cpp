#include "validation/TextureRepair.h"

#include <algorithm>
#include <filesystem>

#include "catalogue/OutlineDocument.h"
#include "shell/Backups.h"
#include "validation/AssetCheck.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ReportLog.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

namespace fs = std::filesystem;

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
}

// Absolute, with links of the existing part followed, so a path cannot leave the asset through "..",
// an absolute name or a linked folder.
fs::path Settled(std::string_view path) {
    std::error_code ec;
    fs::path p = fs::absolute(FsPath(path), ec);
    if (ec) p = FsPath(path);
    fs::path settled = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : settled;
}

}  // namespace

TRepairRun::TRepairRun(const TAssetCheck& check, bool reportOnly)
    : Check(check), Library(Quiet), Facade(Library), reportOnly_(reportOnly),
      folder_(ExcludeTrailingSeparator(NativePath(check.AssetFolder))) {}

std::vector<std::string> TRepairRun::FilesBelow(std::initializer_list<std::string_view> extensions) const {
    if (!listed_) {
        listing_.clear();
        FindFilesRecursive(JoinPath(folder_, "*.*"), "*.*", listing_);
        for (const std::string& path : listing_) folded_.insert(LowerCase(path));
        listed_ = true;
    }
    std::vector<std::string> result;
    for (const std::string& path : listing_) {
        const std::string name = ExtractFileName(path);
        for (std::string_view ext : extensions)
            if (EndsWithText(name, ext) && name.size() > ext.size()) {
                result.push_back(path);
                break;
            }
    }
    std::sort(result.begin(), result.end(), LessIgnoringCase);
    return result;
}

std::string TRepairRun::Relative(std::string_view path) const {
    const std::string prefix = IncludeTrailingSeparator(folder_, fs::path::preferred_separator);
    if (!StartsWith(path, prefix)) return std::string(path);
    return ReplaceChar(path.substr(prefix.size()), '/', '\\');
}

bool TRepairRun::InsideAsset(std::string_view path) const {
    const fs::path root = Settled(folder_);
    const fs::path target = Settled(path);
    auto r = root.begin(), t = target.begin();
    for (; r != root.end(); ++r, ++t) {
        if (r->empty()) continue;  // a trailing separator
        if (t == target.end() || *r != *t) return false;
    }
    return t != target.end();
}

std::string TRepairRun::Resolve(std::string_view folder, std::string_view name) const {
    const std::string joined = NativePath(JoinPath(folder, ReplaceChar(name, '/', '\\')));
    if (FileExists(joined)) return joined;
    const std::string found = ResolvePathIgnoreCase(joined);
    return found.empty() ? joined : found;
}

bool TRepairRun::HasFile(const std::string& path) const {
    if (!listed_) FilesBelow({});
    return folded_.count(LowerCase(path)) || FileExists(path) || !ResolvePathIgnoreCase(path).empty();
}

void TRepairRun::AddMissing(const std::string& path) {
    const auto at = std::lower_bound(missing_.begin(), missing_.end(), path, LessIgnoringCase);
    if (at != missing_.end() && SameText(*at, path)) return;
    missing_.insert(at, path);
}

std::string TRepairRun::PrepareChange(const std::string& path) {
    if (!InsideAsset(path)) return "Unable to process file: " + path;
    FilesChanged();  // whatever happens next, the files are read again
    if (!FileExists(path)) return {};
    const std::string key = Settled(path).string();
    if (backedUp_.count(key)) return {};
    if (std::string error = BackupFile(Check.State, path); !error.empty()) return error;
    backedUp_.insert(key);
    return {};
}

bool TRepairRun::LoadBitmap(const std::string& path, Image32& bitmap, int& alphaKind) {
    int compression = 0, bits = 0;
    alphaKind = 0;
    const bool loaded = Facade.LoadImage(path, bitmap, alphaKind, compression, bits);
    Library.FreeImage();
    return loaded && !bitmap.Empty();
}

const TDescriptorImages& TRepairRun::Descriptor(const std::string& path) {
    auto found = descriptors_.find(path);
    if (found == descriptors_.end()) found = descriptors_.emplace(path, ReadDescriptorImages(path)).first;
    return found->second;
}

std::string JoinRepairReport(const std::vector<std::string>& lines) {
    std::string report;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        report += report.empty() ? "." : "\r\n\t";
        report += line;
    }
    return report;
}

std::string RepairTextures(const TAssetCheck& check, std::string_view mode, bool reportOnly) {
    using Mode = void (*)(TRepairRun&, std::vector<std::string>&);
    static constexpr Mode kModes[] = {ConvertTextureFiles, CheckImageSize,         CheckAlphaImages,
                                      MakeUniformImagesSmall, FindMissingImages, FindUnreferencedImages,
                                      ReplaceImageReferences};
    std::string word = LowerCase(Trim(mode));
    if (word.empty()) word = "all";
    // A misspelt word would otherwise run nothing and say nothing.
    if (word != "all" && std::find(std::begin(kTextureRepairModes), std::end(kTextureRepairModes), word) ==
                             std::end(kTextureRepairModes)) {
        std::string modes = "all";
        for (std::string_view m : kTextureRepairModes) modes.append(", ").append(m);
        return "Repair Textures: unknown mode " + std::string(Trim(mode)) + " (the modes are " + modes + ")";
    }
    TRepairRun run(check, reportOnly);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < std::size(kModes); ++i)
        if (word == "all" || word == kTextureRepairModes[i]) kModes[i](run, lines);
    check.Step(0, 0);  // the gauge ends
    if (!run.Missing().empty()) {
        lines.emplace_back("Missing Files:");
        for (const std::string& path : run.Missing()) lines.push_back("- " + path);
    }
    return JoinRepairReport(lines);
}

std::string RepairTextures(const TTextureRepairContext& context, std::string_view mode) {
    if (!context.Config) return {};
    return RepairTextures(TAssetCheck{context.State, *context.Config, context.AssetFolder, context.ScriptMode,
                                      context.Progress},
                          mode, context.ReportOnly);
}

std::string RepairTexturesAndLog(TProgramState& state, TOutlineDocument& config, const std::string& folder) {
    const DateTime start = state.Clock->Now();
    config.PushUndo();
    const std::string report = RepairTextures(TAssetCheck{state, config, folder}, "all");
    std::vector<std::string> lines;
    if (!report.empty()) lines = SplitString(report.substr(1), "\r\n\t");
    AddToLog(state, folder, "Repair Textures", lines, start);
    return report;
}

}  // namespace kelvarn
