#include "validation/FileReferences.h"

#include <algorithm>

#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineHooks.h"
#include "media/ImageSize.h"
#include "media/MeshTextures.h"
#include "media/StrellImage.h"
#include "media/TexturePlan.h"
#include "media/Textures.h"
#include "shell/Files.h"
#include "shell/FirstMessageSink.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

std::string Backslashed(std::string_view path) { return ReplaceChar(path, '/', '\\'); }

// The folder part of an asset-relative path with its trailing "\", or empty at the asset's top.
std::string RelativeFolder(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : Backslashed(path.substr(0, cut + 1));
}

// The file an asset-relative path names, found ignoring case; empty when the asset lacks it.
std::string AssetFile(const TAssetCheck& check, std::string_view relative) {
    if (relative.empty()) return {};
    return ResolvePathIgnoreCase(JoinPath(check.AssetFolder, Backslashed(relative)));
}

bool ReadAssetText(const std::string& path, std::string& text) {
    DecodedText decoded;
    if (!ReadTextFile(path, decoded).empty()) return false;
    text = std::move(decoded.text);
    return true;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
}

// An ".im" or ".pm" and the descriptors and images of its textures.
void ReferenceIndexedMesh(const TAssetCheck& check, std::string_view path, TReferenceSet& references) {
    references.Add(path);
    const std::string file = AssetFile(check, path);
    if (file.empty()) return;
    const std::string folder = RelativeFolder(path);
    for (const std::string& texture : GetMeshTextures(file)) {
        const std::string descriptor = folder + texture + ".txt";
        references.Add(descriptor);
        ReferenceTextureImages(check, descriptor, references);
    }
}

// Does the asset hold `mesh` + ext? Then it is followed.
void ReferenceMeshIfPresent(const TAssetCheck& check, const std::string& mesh, TReferenceSet& references) {
    for (const char* ext : {".im", ".pm"})
        if (!AssetFile(check, mesh + ext).empty()) ReferenceMeshFile(check, mesh + ext, references);
}

bool HasListedExtension(std::string_view value) {
    static constexpr std::string_view kExtensions[] = {".bmp", ".htm", ".html", ".jpg", ".kin", ".tga", ".tfx", ".wav"};
    const std::string ext = LowerCase(ExtractFileExt(value));
    return std::find(std::begin(kExtensions), std::end(kExtensions), ext) != std::end(kExtensions);
}

// The descriptor a value naming a texture stands for: "x.texture" is described by "x.texture.txt",
// which a value may also name itself. Other values that merely hold the text name no descriptor.
std::string TextureDescriptorOf(std::string_view value) {
    if (EndsWithText(value, ".texture")) return std::string(value) + ".txt";
    if (EndsWithText(value, ".texture.txt")) return std::string(value);
    return {};
}

void ReferenceFonts(const TAssetCheck& check, std::string_view value, TReferenceSet& references) {
    const std::string folder = AssetFile(check, std::string(value) + "_alpha_numbers");
    if (folder.empty() || !DirectoryExists(folder)) return;
    std::vector<std::string> files;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.*", files);
    const std::string base = Backslashed(std::string(value) + "_alpha_numbers") + "\\";
    const std::string nativeFolder = PathString(FsPath(folder));
    for (const std::string& file : files) {
        if (!EndsWithText(file, ".tga") && !EndsWithText(file, ".bmp")) continue;
        if (!StartsWith(file, nativeFolder) || file.size() <= nativeFolder.size() + 1) continue;
        references.Add(base + file.substr(nativeFolder.size() + 1));
    }
}

// Every file below the asset folder, relative to it with "\" separators.
std::vector<std::string> ListAssetFiles(const std::string& assetFolder) {
    std::vector<std::string> found, files;
    FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.*", found);
    const std::string prefix = PathString(FsPath(ExcludeTrailingSeparator(assetFolder)));
    for (const std::string& file : found) {
        if (file.size() <= prefix.size() + 1 || !StartsWithText(file, prefix)) continue;
        files.push_back(Backslashed(file.substr(prefix.size() + 1)));
    }
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    return files;
}

// A picture whose header reads may still be cut or damaged: it is decoded as the image view would
// (every reader of the facade), with the readers' messages kept for the report instead of shown.
std::string PictureUnreadableReason(const std::string& file) {
    if (!GetImageSize(file)) return "Not a readable image";
    TProgramState quiet;
    FirstMessageSink said;
    quiet.Messages = &said;
    TTextures library(quiet);
    TStrellImage facade(library);
    Image32 bitmap;
    int alphaKind = 0, compression = 0, bits = 0;
    if (facade.LoadImage(file, bitmap, alphaKind, compression, bits) && !bitmap.Empty()) return {};
    if (!said.Text.empty()) return said.Text;
    return library.ImageError == image_error::kJpegLoad ? "Couldn't load JPG" : "Not a readable image";
}

}  // namespace

void TReferenceSet::Add(std::string_view path) {
    std::string kept = Backslashed(path);
    if (kept.empty()) return;
    paths_.try_emplace(LowerCase(kept), std::move(kept));
}

bool TReferenceSet::Contains(std::string_view path) const { return paths_.count(LowerCase(Backslashed(path))) != 0; }

std::vector<std::string> TReferenceSet::Sorted() const {
    std::vector<std::string> list;
    list.reserve(paths_.size());
    for (const auto& entry : paths_) list.push_back(entry.second);
    std::sort(list.begin(), list.end(), LessIgnoringCase);
    return list;
}

void ReferenceMeshFile(const TAssetCheck& check, std::string_view path, TReferenceSet& references) {
    const std::string ext = LowerCase(ExtractFileExt(path));
    if (ext == ".srt") {
        references.Add(path);
    } else if (ext == ".im" || ext == ".pm") {
        ReferenceIndexedMesh(check, path, references);
    } else if (ext == ".lm") {
        const std::string lodFile = std::string(path) + ".txt";
        references.Add(lodFile);
        const std::string file = AssetFile(check, lodFile);
        std::string text;
        if (file.empty() || !ReadAssetText(file, text)) return;
        const std::string folder = RelativeFolder(lodFile);
        for (const std::string& line : SplitLines(text)) {
            if (!ContainsStr(line, "name=")) continue;
            const std::size_t open = line.find('"');
            const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
            if (close == std::string::npos || close == open + 1) continue;
            ReferenceIndexedMesh(check, folder + line.substr(open + 1, close - open - 1), references);
        }
    }
}

void ReferenceTextureImages(const TAssetCheck& check, std::string_view descriptor, TReferenceSet& references) {
    references.Add(descriptor);
    const std::string file = AssetFile(check, descriptor);
    std::string text;
    if (file.empty() || !ReadAssetText(file, text)) return;
    std::string alpha, primary;
    ReadDescriptorNames(text, alpha, primary);
    const std::string folder = RelativeFolder(descriptor);
    if (!primary.empty()) references.Add(folder + primary);
    if (!alpha.empty()) references.Add(folder + alpha);
}

std::string UnreadableReason(const std::string& file) {
    if (FileSize(file) == 0) return "*** File is empty ***";
    const std::string ext = LowerCase(ExtractFileExt(file));
    if (ext == ".im" || ext == ".pm") return CheckMeshFile(file);
    if (ext == ".tga" || ext == ".bmp" || ext == ".jpg") return PictureUnreadableReason(file);
    return {};
}

void CollectReferencedFiles(const TAssetCheck& check, TReferenceSet& references, bool& usesMeshLibrary,
                            bool& aliased) {
    const TOutlineDocument& document = check.Document;
    const std::string kind = LowerCase(document.GetValueByPath("kind"));
    const bool inheritsTrack = ListContains("ITRACK", document.Hooks().KindChain());
    const std::size_t total = document.LineCount();
    std::size_t done = 0;
    for (const TOutlineNode* node = document.Root() ? document.Root()->NextRow() : nullptr; node;
         node = node->NextRow()) {
        const std::string name = node->Name();
        const std::string value = TagValueUnquoted(node->Text());
        if (name == "mesh-asset") usesMeshLibrary = true;
        if (name == "alias") aliased = true;
        if (name == "mesh") ReferenceMeshFile(check, value, references);
        if (name == "asset-filename" && inheritsTrack && !value.empty()) ReferenceMeshIfPresent(check, value, references);
        if ((name == "initiator" || name == "divider" || name == "terminator") && !value.empty())
            ReferenceMeshIfPresent(check, value + "\\" + value, references);
        if (const std::string descriptor = TextureDescriptorOf(value); !descriptor.empty())
            ReferenceTextureImages(check, descriptor, references);
        if (name == "asset-filename" && kind == "groundtexture" && !value.empty())
            ReferenceTextureImages(check, value + ".texture.txt", references);
        if (name == "fonts-path" && !value.empty()) ReferenceFonts(check, value, references);
        if (HasListedExtension(value)) references.Add(value);
        if (name == "script" && !value.empty()) references.Add(ContainsStr(value, ".") ? value : value + ".gs");
        check.Step(++done, total);
    }
    if (document.GetValueByPath("mesh-table").empty() && document.GetValueByPath("asset-filename").empty() &&
        kind == "itrack")
        ReferenceMeshFile(check, "default.im", references);
    references.Add("config.txt");
    if (kind == "bogey") references.Add("anim.kin");
    check.Step(0, 0);
}

TVerifyFilesReport VerifyFiles(const TAssetCheck& check) {
    TProgramState& state = check.State;
    TVerifyFilesReport report;
    const DateTime start = state.Clock->Now();

    TReferenceSet references;
    CollectReferencedFiles(check, references, report.UsesMeshLibrary, report.Aliased);
    const std::vector<std::string> files = ListAssetFiles(check.AssetFolder);
    TReferenceSet present;
    for (const std::string& file : files) {
        present.Add(file);
        if (SameText(ExtractFileExt(file), ".texture")) report.CompressedTextures = true;
    }
    for (const std::string& reference : references.Sorted()) {
        if (!present.Contains(reference)) {
            report.Missing.push_back(reference);
        } else if (const std::string reason = UnreadableReason(AssetFile(check, reference)); !reason.empty()) {
            report.Unreadable.push_back(reference + ": " + reason);
        }
    }
    for (const std::string& file : files)
        if (!references.Contains(file)) report.Unreferenced.push_back(file);

    std::vector<std::string>& lines = report.Lines;
    if (report.Aliased) lines.emplace_back("*This asset is aliased");
    if (report.UsesMeshLibrary) lines.emplace_back("*This asset uses mesh library references");
    if (report.CompressedTextures) lines.emplace_back("*This asset contains compressed texture files");
    if (report.Aliased || report.UsesMeshLibrary || report.CompressedTextures)
        lines.emplace_back("*Results may be incorrect or incomplete");
    const auto list = [&lines](const char* heading, const std::vector<std::string>& paths) {
        if (paths.empty()) return;
        lines.push_back(std::string("\t") + heading + " (" + std::to_string(paths.size()) + ")");
        for (const std::string& path : paths) lines.push_back("\t\t" + path);
    };
    list("Missing Files", report.Missing);
    list("Empty or Unreadable Files", report.Unreadable);
    list("Unreferenced Files", report.Unreferenced);

    report.Title = "Verify Files (Build " + FormatBuild(state.ActiveBuild()) + "): " +
                   std::to_string(check.Document.LineCount()) + " lines processed";
    report.LogError = AddToLog(state, check.AssetFolder, report.Title, lines, start);
    return report;
}

}  // namespace kelvarn
