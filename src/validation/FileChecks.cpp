#include "validation/FileChecks.h"

#include "catalogue/OutlineDocument.h"
#include "media/LodFile.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/FormatChecks.h"

namespace kelvarn {

namespace {

constexpr std::int32_t kMeshLibraryBuild = 29;

const TOutlineNode* Grandparent(const TOutlineNode* node) {
    return node && node->Parent() ? node->Parent()->Parent() : nullptr;
}

// Assets are made on Windows: the file a config names is found whatever the case of its letters.
bool AssetFileExists(const TCheckContext& context, std::string_view relative) {
    return !ResolvePathIgnoreCase(JoinPath(context.AssetFolder, relative)).empty();
}

// A config value as a path below the asset folder: "/" becomes "\", quotes go.
std::string ValuePath(std::string_view value) { return ReplaceChar(RemoveChars(value, "\""), '/', '\\'); }

// The mesh of the grandparent: its own "mesh" tag, or, for an effect (whose grandparent is the
// effects container of a mesh-table entry), the entry's "mesh" beside it.
std::string EffectParentMesh(const TOutlineDocument& document, const TOutlineNode* node) {
    const TOutlineNode* grandparent = Grandparent(node);
    if (!grandparent) return {};
    const TOutlineNode* mesh = document.FindChildByName(grandparent, "mesh");
    if (!mesh) mesh = document.FindSiblingByName(grandparent, "mesh");
    return mesh ? TagValueUnquoted(mesh->Text()) : std::string();
}

}  // namespace

bool UsesMeshLibrary(const TOutlineDocument& document, const TOutlineNode* node) {
    if (!node || !node->Parent()) return false;
    const TOutlineNode* table = document.FindChildByName(document.Root(), "mesh-table");
    const TOutlineNode* entry = document.FindChildByName(table, node->Parent()->Name());
    return document.FindChildByName(entry, "mesh-asset") != nullptr;
}

std::string CheckFile(const TCheckContext& context, const TOutlineNode* node, std::string_view value,
                      const TTagSpec& spec) {
    if (std::string message = CheckQuotedString(value); !message.empty()) return message;
    if (RemoveChars(value, "\"").empty()) return "Filename not specified";
    const std::string name = node->Name();
    if ((name == "mesh" || name == "anim") && UsesMeshLibrary(context.Document, node)) return {};

    // Looked up as written (found whatever the case), reported in lower case.
    std::string path = ValuePath(value);
    const auto missing = [&](std::string_view shown) { return "File not found: " + LowerCase(shown); };
    if (name == "image" && EndsWithText(path, ".texture") && AssetFileExists(context, path + ".txt")) return {};
    if (spec.Location == ".effect-parent") {
        const std::string folder = ExtractFileDir(ValuePath(EffectParentMesh(context.Document, node)));
        if (!folder.empty()) path = folder + "\\" + path;
        if (EndsWithText(path, ".texture")) path += ".txt";
    }
    if (spec.Ext) {
        if (EndsWithText(path, ".lm")) path += ".txt";
        return AssetFileExists(context, path) ? std::string() : missing(path);
    }
    if (name == "script" || !EndsWithText(path, ".texture")) return {};
    if (!AssetFileExists(context, path) && !AssetFileExists(context, path + ".txt")) return missing(path + ".txt");
    return {};
}

std::string CheckPoint(const TCheckContext& context, const TOutlineNode* node, std::string_view value,
                       const TTagSpec& spec, std::string& reference) {
    reference.clear();
    const TOutlineDocument& document = context.Document;
    if (context.Build >= kMeshLibraryBuild &&
        (UsesMeshLibrary(document, node) || UsesMeshLibrary(document, Grandparent(node))))
        return ".Asset uses a mesh library, unable to verify this node";

    std::string mesh;
    if (spec.Location == ".att-parent") {
        const TOutlineNode* parent = document.FindSiblingByName(node, "att-parent");
        const std::string entry = parent ? TagValueUnquoted(parent->Text()) : std::string("default");
        mesh = document.GetValueByPath("\\mesh-table\\" + entry + "\\mesh");
        if (mesh.empty()) return "Cannot find mesh containing point";
    } else if (spec.Location == ".effect-parent") {
        mesh = EffectParentMesh(document, node);
        if (mesh.empty()) return "Cannot find mesh containing point";
    }
    mesh = ValuePath(mesh);

    // A level-of-detail mesh stands for its first detail mesh.
    if (EndsWith(LowerCase(mesh), ".lm")) {
        const std::string path = ResolvePathIgnoreCase(JoinPath(context.AssetFolder, mesh + ".txt"));
        LodFile lod;
        if (path.empty() || !ReadLodFile(path, lod).empty()) return "Unable to read mesh file: " + mesh + ".txt";
        if (const std::string first = lod.FirstMeshName(); !first.empty()) mesh = ValuePath(first);
    }
    if (const std::size_t slash = mesh.find('\\'); slash != std::string::npos) mesh[slash] = '/';
    reference = RemoveChars(value, "\"") + "=" + mesh;
    return {};
}

}  // namespace kelvarn
