// The modes that compare the images with what names them: "missing" (named but absent; stock
// images are made), "unreferenced" (present but named by nothing; offered for deletion) and
// "duplicate" (config values pointed at the image's descriptor).
#include <algorithm>
#include <unordered_set>

#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/TextureRepairWork.h"

namespace kelvarn {

namespace {

bool NamesImage(std::string_view name) {
    return EndsWithText(name, ".tga") || EndsWithText(name, ".bmp") || EndsWithText(name, ".jpg");
}

// The images the descriptors name, as full paths (each descriptor's names are relative to its folder).
std::vector<std::string> DescriptorImagePaths(TRepairRun& run) {
    std::vector<std::string> paths;
    for (const std::string& descriptor : run.FilesBelow({".texture.txt"})) {
        const TDescriptorImages images = run.Descriptor(descriptor);
        for (const std::string* name : {&images.Primary, &images.Alpha})
            if (!name->empty()) paths.push_back(run.Resolve(ExtractFileDir(descriptor), *name));
    }
    return paths;
}

std::vector<std::string> ConfigImageNames(const TRepairRun& run) {
    std::vector<std::string> names;
    ListAssetImages(run.Check.Document, names);
    return names;
}

// The key an image is compared by: asset-relative, "\" for "/", ignoring case.
std::string ReferenceKey(const TRepairRun& run, std::string_view path) {
    std::string relative = run.Relative(NativePath(ReplaceChar(path, '/', '\\')));
    while (StartsWith(relative, ".\\")) relative.erase(0, 2);
    return LowerCase(relative);
}

}  // namespace

void ListAssetImages(const TOutlineDocument& config, std::vector<std::string>& list) {
    for (const TOutlineNode* node = config.Root(); node; node = node->NextRow()) {
        const std::string value = TagValueUnquoted(node->Text());
        if (NamesImage(Trim(value))) list.push_back(value);
    }
}

void FindMissingImages(TRepairRun& run, std::vector<std::string>& lines) {
    (void)lines;
    std::vector<std::string> candidates;
    for (const std::string& path : DescriptorImagePaths(run))
        if (!run.HasFile(path)) candidates.push_back(path);
    for (const std::string& name : ConfigImageNames(run)) {
        const std::string path = NativePath(JoinPath(run.Folder(), ReplaceChar(name, '/', '\\')));
        if (!run.HasFile(path)) candidates.push_back(path);
    }
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        run.Progress(i, candidates.size());
        const std::string& path = candidates[i];
        const std::string name = ExtractFileName(path);
        const std::string folder = ExtractFileDir(path);
        // Stock images are made where the name points, when that lies inside the asset.
        if (EndsWithText(name, ".tga") && IsStockImageName(name) && run.InsideAsset(path) && DirectoryExists(folder)) {
            if (run.ReportOnly()) continue;  // a real run would make it
            MakeStockImage(folder, name);
            run.FilesChanged();
        }
        if (!run.HasFile(path)) run.AddMissing(path);
    }
}

void FindUnreferencedImages(TRepairRun& run, std::vector<std::string>& lines) {
    std::unordered_set<std::string> referenced;
    for (const std::string& path : DescriptorImagePaths(run)) referenced.insert(ReferenceKey(run, path));
    for (const std::string& name : ConfigImageNames(run))
        referenced.insert(ReferenceKey(run, JoinPath(run.Folder(), ReplaceChar(name, '/', '\\'))));

    std::vector<std::string> unreferenced;
    for (const std::string& path : run.ImagesBelow())
        if (!referenced.count(ReferenceKey(run, path))) unreferenced.push_back(path);
    if (unreferenced.empty()) return;

    lines.emplace_back("Unreferenced files: ");
    std::string question = "Delete Unreferenced Files?";
    for (const std::string& path : unreferenced) {
        lines.push_back("- " + run.Relative(path));
        question += "\r\n- " + run.Relative(path);
    }
    std::vector<std::string> scripts;
    FindFilesRecursive(JoinPath(run.Folder(), "*.*"), "*.gs*;*.htm*", scripts);
    if (!scripts.empty()) {
        lines.emplace_back("Images may be referenced by script or html files");
        question += "\r\nImages may be referenced by script or html files";
    }
    if (run.ReportOnly() || run.Check.ScriptMode) return;
    if (!run.Check.State.Messages->AskYesNo(question)) return;
    for (const std::string& path : unreferenced) {
        if (std::string error = run.PrepareChange(path); !error.empty()) lines.push_back(error);
        else if (!DeleteFilePath(path)) lines.push_back("Unable to delete file: " + path);
    }
}

void ReplaceImageReferences(TRepairRun& run, std::vector<std::string>& lines) {
    (void)lines;
    TOutlineDocument* config = &run.Check.Document;
    if (config->Empty()) return;
    std::vector<TOutlineNode*> nodes;
    for (TOutlineNode* node = config->Root()->FirstChild(); node; node = node->NextRow()) nodes.push_back(node);
    for (TOutlineNode* node : nodes) {
        if (node->HasChildren()) continue;
        const std::string quoted = TagValue(node->Text());
        const std::string value = TagValueUnquoted(node->Text());
        if (!NamesImage(value)) continue;
        // The descriptor lies in the value's own folder, beside the image it would replace.
        const std::string base = RemoveFileExt(value);
        const std::string descriptor = NativePath(JoinPath(run.Folder(), ReplaceChar(base, '/', '\\') + ".texture.txt"));
        if (!run.HasFile(descriptor) || !run.InsideAsset(descriptor)) continue;
        if (run.ReportOnly()) continue;
        TTagSpec spec = DefaultTagSpec();
        spec.Path = config->NodePath(node);
        spec.Name = node->WrittenName();
        spec.Value = base + ".texture";
        spec.ValueKind = StartsWith(quoted, "\"") ? vkQuoted : vkBare;
        config->ApplyTagEdit(spec, node);
    }
}

}  // namespace kelvarn
