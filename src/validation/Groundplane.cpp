// Add Groundplanes: our template mesh, stretched between a traincar's a.limback and a.limfront, with
// its texture, entered in the mesh table.
#include <cstring>

#include "catalogue/OutlineDocument.h"
#include "shell/Backups.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptSettingsCommands.h"
#include "validation/TableBuilders.h"

namespace kelvarn {

namespace {

float ReadFloat(const std::string& bytes, std::size_t at) {
    float v = 0;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
}

void WriteFloat(std::string& bytes, std::size_t at, float v) { std::memcpy(bytes.data() + at, &v, sizeof v); }

// A point's text as FindAttachmentInMesh gives it, less the name, or empty.
std::string PointCoords(const TMesh& mesh, std::string_view name) {
    const std::optional<TATCHE> point = FindAttachmentPoint(mesh, name);
    return point ? AttachmentCoords(*point) : std::string();
}

// The first coordinate of a point's text ("x,y,z,..."); the value as printed, so rounded as shown.
bool FirstCoordinate(const std::string& found, float& x) {
    double v = 0;
    if (found.empty() || !TryParseDouble(Trim(found.substr(0, found.find(','))), v)) return false;
    x = static_cast<float>(v);
    return true;
}

// Copies one of our files into the asset folder, the asset's own file of that name backed up first.
std::string CopyIntoAsset(TProgramState& state, const std::string& source, const std::string& folder,
                          const std::string& name) {
    const std::string target = NativePath(folder + "/" + name);
    const std::string existing = ResolvePathIgnoreCase(target);
    if (!existing.empty())
        if (std::string error = BackupFile(state, existing); !error.empty()) return error;
    if (!ForceCopyFile(source, existing.empty() ? target : existing).empty()) return ".File copy failed: " + source;
    return {};
}

}  // namespace

std::string PatchGroundplaneMesh(std::string& bytes, float back, float front) {
    const std::size_t end = kGroundplaneFirstOffset + kGroundplaneStride * (kGroundplaneValues - 1) + sizeof(float);
    if (bytes.size() < end || !CheckMeshHeader(bytes, bytes.size()).empty())
        return ".Mesh Data Errors at: " + std::to_string(kGroundplaneFirstOffset);
    // Away from each other: the back values beyond a.limback, the front ones beyond a.limfront.
    const float direction = front >= back ? 1.0f : -1.0f;
    const float newBack = back - direction * kGroundplaneMargin;
    const float newFront = front + direction * kGroundplaneMargin;
    // Every value is checked before any is written: a template with a stray value stays as it was.
    std::string errors;
    for (int k = 0; k < kGroundplaneValues; ++k) {
        const std::size_t at = kGroundplaneFirstOffset + kGroundplaneStride * static_cast<std::size_t>(k);
        const float value = ReadFloat(bytes, at);
        if (value != kGroundplaneBack && value != kGroundplaneFront) errors += (errors.empty() ? " " : ", ") + std::to_string(at);
    }
    if (!errors.empty()) return ".Mesh Data Errors at:" + errors;
    for (int k = 0; k < kGroundplaneValues; ++k) {
        const std::size_t at = kGroundplaneFirstOffset + kGroundplaneStride * static_cast<std::size_t>(k);
        WriteFloat(bytes, at, ReadFloat(bytes, at) == kGroundplaneBack ? newBack : newFront);
    }
    return {};
}

std::string AddGroundplane(TBuilderContext& c) {
    if (!KindInherits(c, "TRAINCAR")) return ".Asset must be a traincar";
    const std::string folder = ExcludeTrailingSeparator(c.AssetFolder);
    if (std::string none = NoAssetFolderMessage(folder); !none.empty()) return none;
    TOutlineDocument& config = c.Config;

    std::string mesh = Trim(config.GetValueByPath("config.txt\\mesh-table\\default\\mesh"));
    if (!mesh.empty()) mesh = ResolveLodMesh(folder, mesh);
    const std::string meshFile = mesh.empty() ? std::string() : ResolveScriptFile(NativePath(folder + "/" + mesh));
    if (meshFile.empty()) return ".Default mesh not found";
    TMesh loaded(meshFile);
    float back = 0, front = 0;
    if (!loaded.SetActive(true).empty() || !FirstCoordinate(PointCoords(loaded, "a.limback"), back) ||
        !FirstCoordinate(PointCoords(loaded, "a.limfront"), front))
        return ".Attachment point a.limback and/or a.limfront missing from mesh";

    const std::string master = NativePath(ExpandMacros(c.State, "%bin%\\groundplane_master.im"));
    std::string bytes;
    if (!FileExists(master) || !ReadFileBytes(master, bytes).empty()) return ".File copy failed: %bin%\\groundplane_master.im";
    // The mesh is checked before anything reaches the asset: a faulty template leaves the asset alone.
    if (std::string errors = PatchGroundplaneMesh(bytes, back, front); !errors.empty()) return errors;

    for (const char* name : {"groundplane.tga", "groundplane-groundplane.texture.txt"}) {
        const std::string source = NativePath(ExpandMacros(c.State, std::string("%bin%\\") + name));
        if (std::string error = CopyIntoAsset(c.State, source, folder, name); !error.empty()) return error;
    }
    const std::string target = NativePath(folder + "/groundplane.im");
    const std::string existing = ResolvePathIgnoreCase(target);
    if (!existing.empty())
        if (std::string error = BackupFile(c.State, existing); !error.empty()) return error;
    // Written beside and renamed: a failure leaves no half-written groundplane.im.
    if (!WriteFileAtomic(existing.empty() ? target : existing, bytes).empty())
        return ".Groundplane creation failed due to I/O error";

    config.SetTagByPath("\\mesh-table\\groundplane\\mesh", "groundplane.im");
    config.SetTagByPath("\\mesh-table\\groundplane\\auto-create", "1");
    if (TOutlineNode* entry = config.FindNodeByPath("config.txt\\mesh-table\\groundplane")) config.ExpandNode(entry, false);
    ShowLineCount(c);
    return {};
}

}  // namespace kelvarn
