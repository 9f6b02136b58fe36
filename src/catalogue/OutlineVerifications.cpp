#include "catalogue/OutlineVerifications.h"

#include <algorithm>

#include "catalogue/MeshHelpers.h"
#include "media/ImageSize.h"
#include "media/MeshTextures.h"
#include "media/TexturePlan.h"
#include "shell/Backups.h"
#include "shell/Files.h"
#include "shell/Image32.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr int kThumbnailWidth = 240;
constexpr int kThumbnailHeight = 180;
constexpr std::string_view kSlotProblem = ": unsupported material slot ";

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
}

// The files below the folder whose names end in one of `endings` (ignoring case), full paths sorted
// ignoring case. The search patterns also take longer extensions ("x.pmx"); the ending decides.
std::vector<std::string> ListEnding(const std::string& folder, std::initializer_list<std::string_view> endings) {
    std::vector<std::string> found, files;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.*", found);
    for (std::string& file : found)
        if (std::any_of(endings.begin(), endings.end(), [&file](std::string_view e) { return EndsWithText(file, e); }))
            files.push_back(std::move(file));
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    return files;
}

// The asset-relative name of a file found below the folder, with "\" separators.
std::string RelativeName(const std::string& folder, const std::string& file) {
    const std::string prefix = PathString(FsPath(ExcludeTrailingSeparator(folder)));
    std::string name = StartsWithText(file, prefix) && file.size() > prefix.size() + 1 ? file.substr(prefix.size() + 1)
                                                                                       : ExtractFileName(file);
    return ReplaceChar(name, '/', '\\');
}

TImageSize SizeOrZero(const std::string& path) { return GetImageSize(path).value_or(TImageSize{}); }

std::string SizeText(const TImageSize& size) {
    return std::to_string(size.Width) + " x " + std::to_string(size.Height);
}

// Logs the lines outside script mode, or gives them back as the message in it.
TFolderReport Finish(const TAssetCheck& check, const std::string& title, std::vector<std::string> lines,
                     const DateTime& start) {
    TFolderReport report;
    check.Step(0, 0);
    if (lines.empty()) lines.emplace_back("\tNo problems found");
    if (check.ScriptMode) {
        for (const std::string& line : lines) report.Message += "\r\n\t\t" + line;
    } else {
        report.LogError = AddToLog(check.State, check.AssetFolder, title, lines, start);
    }
    report.Lines = std::move(lines);
    return report;
}

// Duplicate ".pm" meshes: asked about outside script mode; each one removed is backed up first and
// leaves the list of meshes to check.
void HandleDuplicatePm(const TAssetCheck& check, std::vector<std::string>& pm, std::vector<std::string>& lines) {
    std::vector<std::string> duplicates;
    if (ListDuplicatePm(check.AssetFolder, duplicates) == 0) return;
    std::vector<std::string> deleted, kept;
    if (!check.ScriptMode && check.State.Messages->AskYesNo("Delete duplicate '.pm' meshes?")) {
        for (const std::string& file : duplicates) {
            if (BackupFile(check.State, file).empty() && DeleteFilePath(file))
                deleted.push_back(file);
            else
                kept.push_back(file);
        }
    } else {
        kept = duplicates;
    }
    const auto list = [&](const char* heading, const std::vector<std::string>& files) {
        if (files.empty()) return;
        lines.emplace_back(heading);
        for (const std::string& file : files) lines.push_back("\t" + RelativeName(check.AssetFolder, file));
    };
    list("Duplicate PM meshes deleted from asset", deleted);
    list("Duplicate PM meshes found", kept);
    for (const std::string& file : deleted)
        pm.erase(std::remove_if(pm.begin(), pm.end(), [&file](const std::string& p) { return SameText(p, file); }),
                 pm.end());
}

// The items of one descriptor: its images missing or of a size the simulator refuses.
std::vector<std::string> DescriptorItems(const std::string& descriptor) {
    DecodedText text;
    if (!ReadTextFile(descriptor, text).empty()) return {"descriptor cannot be read"};
    std::string alpha, primary;
    ReadDescriptorNames(text.text, alpha, primary);
    const std::string folder = ExtractFileDir(descriptor);
    std::vector<std::string> items;
    std::vector<TImageSize> sizes;
    for (const auto& [key, name] : {std::pair<const char*, const std::string&>{"Primary", primary}, {"Alpha", alpha}}) {
        if (name.empty()) continue;
        const std::string image = ResolvePathIgnoreCase(JoinPath(folder, name));
        if (image.empty()) {
            items.push_back(std::string(key) + "=" + name + ", image file is missing");
            continue;
        }
        const TImageSize size = SizeOrZero(image);
        sizes.push_back(size);
        if (TextureSizeProblem(size.Width, size.Height))
            items.push_back(std::string(key) + "=" + name + ", texture size invalid (" + SizeText(size) + ")");
    }
    if (sizes.size() == 2 && !(sizes[0] == sizes[1])) items.emplace_back("Alpha and primary texture sizes differ");
    return items;
}

}  // namespace

TFolderReport VerifyMeshes(const TAssetCheck& check) {
    const DateTime start = check.State.Clock->Now();
    const std::string& folder = check.AssetFolder;
    std::vector<std::string> im = ListEnding(folder, {".im"});
    std::vector<std::string> pm = ListEnding(folder, {".pm"});
    std::vector<std::string> lines;
    HandleDuplicatePm(check, pm, lines);

    std::vector<std::string> meshes = std::move(im);
    meshes.insert(meshes.end(), pm.begin(), pm.end());
    std::size_t done = 0;
    for (const std::string& mesh : meshes) {
        const std::string name = RelativeName(folder, mesh);
        if (const std::string message = CheckMeshFile(mesh); !message.empty())
            lines.push_back("\tInvalid Mesh: " + name + ": " + message);
        // Each mesh its own list: an unreadable one has no texture lines, never the last mesh's.
        for (const std::string& problem : GetMeshTextureProblems(mesh).value_or(std::vector<std::string>{}))
            lines.push_back("\tInvalid Texture: " + name + ": " + problem);
        check.Step(++done, meshes.size());
    }
    return Finish(check, "Verify Meshes", std::move(lines), start);
}

TFolderReport VerifyTextures(const TAssetCheck& check) {
    const DateTime start = check.State.Clock->Now();
    const std::string& folder = check.AssetFolder;
    std::vector<std::string> lines;

    for (const std::string& texture : ListEnding(folder, {".texture"})) {
        lines.push_back("\t[" + RelativeName(folder, texture) + "]");
        const bool described = !FindFileIgnoreCase(ExtractFileDir(texture), ExtractFileName(texture) + ".txt").empty();
        lines.emplace_back(described ? "\t\tFile exists in binary and text formats"
                                     : "\t\tFile exists as binary texture only");
    }

    const std::vector<std::string> meshes = ListEnding(folder, {".im", ".pm"});
    const std::vector<std::string> descriptors = ListEnding(folder, {".texture.txt"});
    const std::size_t total = meshes.size() + descriptors.size();
    std::size_t done = 0;
    for (const std::string& mesh : meshes) {
        const std::string name = RelativeName(folder, mesh);
        for (const std::string& problem : GetMeshTextureProblems(mesh).value_or(std::vector<std::string>{})) {
            const std::size_t at = problem.find(kSlotProblem);
            if (at == std::string::npos) continue;
            lines.push_back("\t[" + name + "] Unsupported material slot: " + problem.substr(at + kSlotProblem.size()) +
                            " (" + problem.substr(0, at) + ")");
        }
        check.Step(++done, total);
    }

    for (const std::string& descriptor : descriptors) {
        const std::vector<std::string> items = DescriptorItems(descriptor);
        if (!items.empty()) {
            lines.push_back("\t[" + RelativeName(folder, descriptor) + "]");
            for (const std::string& item : items) lines.push_back("\t\t" + item);
        }
        check.Step(++done, total);
    }
    return Finish(check, "Verify Textures", std::move(lines), start);
}

TFolderReport VerifyImages(const TAssetCheck& check) {
    const DateTime start = check.State.Clock->Now();
    const std::vector<std::string> images = ListEnding(check.AssetFolder, {".tga", ".bmp", ".jpg"});
    std::vector<std::string> lines;
    std::size_t done = 0;
    for (const std::string& image : images) {
        const TImageSize size = SizeOrZero(image);
        const bool thumbnail = size.Width == kThumbnailWidth && size.Height == kThumbnailHeight;
        if (!thumbnail && TextureSizeProblem(size.Width, size.Height))
            lines.push_back("\t" + RelativeName(check.AssetFolder, image) + ": Image Size (" + SizeText(size) + ")");
        check.Step(++done, images.size());
    }
    return Finish(check, "Verify Images", std::move(lines), start);
}

}  // namespace kelvarn
