// The routines that derive whole groups of tags of a config from the asset's files and the settings:
// the mesh, bogey, thumbnail and KUID tables, category era and region, the user's own tags and names,
// the legacy asset-filename, camera and KUID forms, the trainz-build, mandatory tags, a passenger
// queue, the groundplane mesh of a traincar and empty tags. Each is a script command and a menu row;
// both call the routine here and report the message it returns (empty: nothing to say; a leading "."
// marks an informational one). Every routine ends by showing the config's line count.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class ScriptHost;
class TOutlineDocument;
class TOutlineNode;
class TProgramState;

// What a routine works on: the context config and its asset folder (empty when there is none), the
// program's services, and the desktop. `Batch`: a run over tagged assets, where nobody is asked.
struct TBuilderContext {
    TProgramState& State;
    ScriptHost& Host;
    TOutlineDocument& Config;
    std::string AssetFolder;
    bool Batch = false;
};

// --- helpers

// A KUID in lower case, a "<kuid2:" form reduced to "<kuid:" with the same user and number. Anything
// else gives ".BaseKUID: Invalid Input: " + input.
std::string BaseKUID(std::string_view kuid);
bool IsBaseKUIDError(std::string_view result);
// Every KUID a value of the config names, in tree order, outside the subtrees of the top-level
// extensions, kuid, kuid-table, obsolete-table and optional-kuid-table. A value naming several adds each;
// a text BaseKUID refuses adds nothing.
std::vector<std::string> CollectConfigKuids(const TOutlineDocument& config);
// The mesh a legacy tag names, relative to the asset folder ("/" between folder and name), or empty:
// "asset-filename" gives V.im or V.pm beside the config; any other tag (mode0, mode1, night) names a
// sub-folder V holding V.im, V.pm or V.lm.txt (given as V/V.lm).
std::string FindAssetMeshes(const TOutlineDocument& config, const std::string& assetFolder, std::string_view tag);
// Adds every file below `folder` (at all depths) matching the pattern list, as its path relative to
// the folder with "\" separators, in the order found.
void ListFolderFiles(const std::string& folder, std::string_view patterns, std::vector<std::string>& list);
// The mesh a mesh-table path stands for: an ".lm" is its ".lm.txt"'s first "name" mesh (relative to
// the asset folder, "/" separators); any other path is itself. Empty when the LOD file names none.
std::string ResolveLodMesh(const std::string& assetFolder, const std::string& meshPath);

// --- table builders (script command and menu row)

// `word` "library" (any case) runs UpdateMeshLibraryTable instead.
std::string CreateMeshTable(TBuilderContext& c, std::string_view word);
std::string UpdateMeshLibraryTable(TBuilderContext& c);
std::string CreateBogieTable(TBuilderContext& c);
std::string UpdateThumbnailTable(TBuilderContext& c);

// --- config repairs

std::string FixLegacyKuids(TBuilderContext& c);
std::string UpdateKuidTable(TBuilderContext& c);
std::string UpdateCategoryEra(TBuilderContext& c);
std::string UpdateCategoryRegion(TBuilderContext& c);
std::string UpdateUserTags(TBuilderContext& c);
std::string UpdateUsername(TBuilderContext& c);
std::string UpdateAssetFilename(TBuilderContext& c);
std::string UpdateCameraList(TBuilderContext& c);
// Writes the active build, the one the Repair menu's item names, as the config's trainz-build.
std::string SetDefaultTrainzBuild(TBuilderContext& c);
std::string AddMandatoryTags(TBuilderContext& c);
std::string AddPassengerQueue(TBuilderContext& c);
std::string DeleteEmptyTags(TBuilderContext& c);
std::string AddGroundplane(TBuilderContext& c);

// --- shared by the routines

// The asset's kind, lower-cased, and whether its kind chain holds `section` (e.g. "MESH-ASSET").
std::string ConfigKind(const TOutlineDocument& config);
bool KindInherits(const TBuilderContext& c, std::string_view section);
// Status panel 3: "Config: N lines".
void ShowLineCount(TBuilderContext& c);
// The config's top-level node of that name, or null.
TOutlineNode* TopLevel(const TOutlineDocument& config, std::string_view name);

// The groundplane template's eight x values (vertex k's first float at 368 + 20k): four at the back,
// four at the front.
inline constexpr float kGroundplaneBack = -1.0f;
inline constexpr float kGroundplaneFront = 1.0f;
inline constexpr float kGroundplaneMargin = 0.68f;
inline constexpr std::size_t kGroundplaneFirstOffset = 368;
inline constexpr std::size_t kGroundplaneStride = 20;
inline constexpr int kGroundplaneValues = 8;
// Rewrites a copy of the template mesh for the attachment points' first coordinates: back values get
// `back` moved the margin away from `front`, front values the reverse. Empty on success; else the
// message (".Mesh Data Errors at:" and the offsets of values that are neither template value, or why the
// bytes cannot hold them).
std::string PatchGroundplaneMesh(std::string& bytes, float back, float front);

}  // namespace kelvarn
