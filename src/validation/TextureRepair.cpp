#include "validation/TextureRepair.h"

#include <algorithm>
#include <filesystem>

#include "catalogue/OutlineDocument.h"
#include "shell/Backups.h"
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

TRepairRun::TRepairRun(const TTextureRepairContext& context)
    : Context(context), Library(context.State), Facade(Library),
      folder_(ExcludeTrailingSeparator(NativePath(context.AssetFolder))) {}

std::vector<std::string> TRepairRun::FilesBelow(std::initializer_list<std::string_view> extensions) const {
    std::vector<std::string> all, result;
    FindFilesRecursive(JoinPath(folder_, "*.*"), "*.*", all);
    for (std::string& path : all) {
        const std::string name = ExtractFileName(path);
        for (std::string_view ext : extensions)
            if (EndsWithText(name, ext) && name.size() > ext.size()) {
                result.push_back(std::move(path));
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

void TRepairRun::AddMissing(const std::string& path) {
    const auto at = std::lower_bound(missing_.begin(), missing_.end(), path, LessIgnoringCase);
    if (at != missing_.end() && SameText(*at, path)) return;
    missing_.insert(at, path);
}

std::string TRepairRun::PrepareChange(const std::string& path) {
    if (!InsideAsset(path)) return "Unable to process file: " + path;
    if (!FileExists(path)) return {};
    const std::string key = Settled(path).string();
    if (backedUp_.count(key)) return {};
    if (std::string error = BackupFile(Context.State, path); !error.empty()) return error;
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

std::string JoinRepairReport(const std::vector<std::string>& lines) {
    std::string report;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        report += report.empty() ? "." : "\r\n\t";
        report += line;
    }
    return report;
}

std::string RepairTextures(const TTextureRepairContext& context, std::string_view mode) {
    using Mode = void (*)(TRepairRun&, std::vector<std::string>&);
    static constexpr Mode kModes[] = {ConvertTextureFiles, CheckImageSize,         CheckAlphaImages,
                                      MakeUniformImagesSmall, FindMissingImages, FindUnreferencedImages,
                                      ReplaceImageReferences};
    std::string word = LowerCase(Trim(mode));
    if (word.empty()) word = "all";
    TRepairRun run(context);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < std::size(kModes); ++i)
        if (word == "all" || word == kTextureRepairModes[i]) kModes[i](run, lines);
    if (!run.Missing().empty()) {
        lines.emplace_back("Missing Files:");
        for (const std::string& path : run.Missing()) lines.push_back("- " + path);
    }
    return JoinRepairReport(lines);
}

std::string RepairTexturesAndLog(TProgramState& state, TOutlineDocument& config, const std::string& folder) {
    const DateTime start = state.Clock->Now();
    config.PushUndo();
    const TTextureRepairContext context{state, &config, folder, false, false, {}};
    const std::string report = RepairTextures(context, "all");
    std::vector<std::string> lines;
    if (!report.empty()) lines = SplitString(report.substr(1), "\r\n\t");
    AddToLog(state, folder, "Repair Textures", lines, start);
    return report;
}

}  // namespace kelvarn
