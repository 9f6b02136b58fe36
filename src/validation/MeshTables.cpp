// The mesh, bogey and thumbnail tables, and the file helpers they share.
#include <algorithm>

#include "catalogue/AssetHelpers.h"
#include "catalogue/MeshHelpers.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "media/LodFile.h"
#include "shell/Backups.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/RunCommand.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptSettingsCommands.h"
#include "validation/TableBuilders.h"

namespace kelvarn {

namespace {

std::string Folder(const TBuilderContext& c) { return ExcludeTrailingSeparator(c.AssetFolder); }

// A path relative to the asset folder as a mesh-table writes it.
std::string Slashed(std::string_view path) { return ReplaceChar(path, '\\', '/'); }

// The existing file a path relative to the asset folder names (ignoring case), or empty.
std::string AssetFile(const std::string& folder, std::string_view relative) {
    return ResolveScriptFile(NativePath(folder + "\\" + std::string(relative)));
}

std::string FolderPart(std::string_view meshPath) {
    const std::size_t slash = meshPath.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : Slashed(meshPath.substr(0, slash + 1));
}

struct TMeshes {
    std::string Default, Shadow;
    int Others = 0;  // meshes that are not the shadow
};

// The traincar and bogey rule: a mesh whose name holds "shadow" is the shadow, any other the default
// (the last of each found).
TMeshes SortMeshes(const std::vector<std::string>& meshes) {
    TMeshes sorted;
    for (const std::string& mesh : meshes) {
        if (ContainsStr(LowerCase(mesh), "shadow")) {
            sorted.Shadow = mesh;
        } else {
            sorted.Default = mesh;
            ++sorted.Others;
        }
    }
    return sorted;
}

// The shadow entry of a traincar or bogey, after its default mesh was written.
std::string AddShadow(TBuilderContext& c, const TMeshes& meshes) {
    TOutlineDocument& config = c.Config;
    if (!meshes.Shadow.empty()) {
        config.SetTagByPath("\\mesh-table\\shadow\\mesh", Slashed(meshes.Shadow));
        return {};
    }
    const std::string folder = Folder(c);
    const std::string meshFolder = FolderPart(meshes.Default);
    const long long mode = ReadSettingInt(c.State.Settings(), keys::Shadows);
    if (mode == 1) {
        const std::string invisible = NativePath(ExpandMacros(c.State, "%bin%\\invisible.im"));
        const std::string target = NativePath(folder + "/" + meshFolder + "invisible.im");
        const std::string existing = ResolvePathIgnoreCase(target);
        // The asset's own file of that name goes to the backups before ours replaces it.
        if (!existing.empty())
            if (std::string error = BackupFile(c.State, existing); !error.empty()) return error;
        if (!ForceCopyFile(invisible, existing.empty() ? target : existing).empty())
            return ".File copy failed: " + invisible;
        config.SetTagByPath("\\mesh-table\\shadow\\mesh", meshFolder + "invisible.im");
    } else if (mode == 2) {
        const std::string tool = NativePath(ExpandMacros(c.State, "%strell%\\DuskCaster\\DuskCaster.exe"));
        if (!FileExists(tool) || !ToolVersionAtLeast(tool, 1, 10))
            return ".Cannot create shadow, DuskCaster not installed or out of date";
        const std::string line = c.State.Settings().ReadString("System", "DuskCaster", "");
        std::vector<std::string> arguments = CommandArguments(c.State, line);
        if (arguments.empty()) return ".Cannot create shadow, DuskCaster not installed or out of date";
        const std::string mesh = NativePath(folder + "/" + meshes.Default);
        arguments.push_back(mesh);
        std::vector<std::string> notes;
        {
            TBusy busy(c.Host);
            std::vector<std::string> output;
            RunArguments(c.State, "", arguments, line + " \"" + mesh + "\"", &output, 1, 1, {}, &notes);
        }
        // Nothing shows the output: the user is told what cut it short, and a shadow the user stopped
        // is not named.
        if (StoppedByUser(notes)) return RunNotesMessage("DuskCaster", notes);
        config.SetTagByPath("\\mesh-table\\shadow\\mesh", meshFolder + "shadow.im");
        return RunNotesMessage("DuskCaster", notes);
    }
    return {};
}

void SetDefaultEntry(TOutlineDocument& config, const std::string& mesh) {
    config.SetTagByPath("\\mesh-table\\default\\mesh", Slashed(mesh));
    config.SetTagByPath("\\mesh-table\\default\\auto-create", "1");
}

// The ".kin" of a mesh's name beside it, when the asset has one.
std::string KinFor(const std::string& mesh, const std::vector<std::string>& kins) {
    const std::string stem = LowerCase(Slashed(RemoveFileExt(mesh)));
    for (const std::string& kin : kins)
        if (LowerCase(Slashed(RemoveFileExt(kin))) == stem) return Slashed(kin);
    return {};
}

bool HasAnimKin(const std::string& folder) { return !AssetFile(folder, "anim.kin").empty(); }

// Every ".im" and ".pm" below the asset folder: the meshes the bogey and traincar rules sort.
std::vector<std::string> AssetMeshes(const TBuilderContext& c) {
    std::vector<std::string> meshes;
    ListFolderFiles(Folder(c) + "\\", "*.im;*.pm", meshes);
    return meshes;
}

// --- the per-kind builders

std::string MakeBogeyMeshTable(TBuilderContext& c) {
    const TMeshes sorted = SortMeshes(AssetMeshes(c));
    if (sorted.Default.empty()) return ".Cannot identify default mesh";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(c.Config, sorted.Default);
    return AddShadow(c, sorted);
}

std::string MakeTraincarMeshTable(TBuilderContext& c) {
    const TMeshes sorted = SortMeshes(AssetMeshes(c));
    if (sorted.Others >= 2 && sorted.Shadow.empty()) return ".Cannot identify default mesh";
    std::vector<std::string> kins;
    ListFolderFiles(Folder(c) + "\\", "*.kin", kins);
    if (kins.size() >= 2) return ".Asset has animations but cannot identify default *.KIN";
    if (sorted.Default.empty()) return ".Cannot identify default mesh";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(c.Config, sorted.Default);
    if (kins.size() == 1) {
        c.Config.SetTagByPath("\\mesh-table\\default\\anim", Slashed(kins.front()));
        c.Config.SetTagByPath("\\mesh-table\\default\\animation-loop-speed", "1.0");
    }
    return AddShadow(c, sorted);
}

std::string MakeSceneryMeshTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string folder = Folder(c);
    const std::string main = FindAssetMeshes(config, folder, "asset-filename");
    if (main.empty()) return ".Unable to identify meshes";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(config, main);
    if (TOutlineNode* autoanimation = TopLevel(config, "autoanimation"); autoanimation && HasAnimKin(folder)) {
        config.SetTagByPath("\\mesh-table\\default\\anim", "anim.kin");
        config.DeleteNodeNow(autoanimation, false);
    }
    const std::string night = FindAssetMeshes(config, folder, "night");
    if (!night.empty()) {
        config.SetTagByPath("\\mesh-table\\default-night\\mesh", night);
        config.SetTagByPath("\\mesh-table\\default-night\\auto-create", "1");
        if (TOutlineNode* tag = TopLevel(config, "night")) config.DeleteNodeNow(tag, false);
    }
    return {};
}

std::string MakeInteriorMeshTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string main = FindAssetMeshes(config, Folder(c), "asset-filename");
    if (main.empty()) return ".Unable to identify meshes";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(config, main);
    if (const TOutlineNode* attachment = TopLevel(config, "attachment"))
        config.SetTagByPath("\\mesh-table\\default\\attachment", TagValueUnquoted(attachment->Text()));
    return {};
}

std::string MakeCrossingMeshTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string main = FindAssetMeshes(config, Folder(c), "mode0");
    if (main.empty()) return ".Unable to identify meshes";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(config, main);
    if (HasAnimKin(Folder(c))) config.SetTagByPath("\\mesh-table\\default\\anim", "anim.kin");
    return {};
}

std::string MakeJunctionMeshTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string mode0 = FindAssetMeshes(config, Folder(c), "mode0");
    const std::string mode1 = FindAssetMeshes(config, Folder(c), "mode1");
    if (mode0.empty()) return ".Unable to identify meshes";
    TTreeUpdate update(c.Host);
    config.SetTagByPath("\\mesh-table\\mode0\\mesh", mode0);
    config.SetTagByPath("\\mesh-table\\mode0\\auto-create", "1");
    if (!mode1.empty()) config.SetTagByPath("\\mesh-table\\mode1\\mesh", mode1);
    return {};
}

std::string MakeSignalMeshTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    std::string main = FindAssetMeshes(config, Folder(c), "mode1");
    if (main.empty()) main = FindAssetMeshes(config, Folder(c), "asset-filename");
    if (main.empty()) return ".Unable to identify meshes";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(config, main);
    return {};
}

std::string MakePantographMeshTable(TBuilderContext& c) {
    const std::string main = FindAssetMeshes(c.Config, Folder(c), "asset-filename");
    if (main.empty()) return ".Unable to identify meshes";
    TTreeUpdate update(c.Host);
    SetDefaultEntry(c.Config, main);
    return {};
}

std::string MakeTurntableMeshTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string main = FindAssetMeshes(config, Folder(c), "asset-filename");
    if (main.empty()) return ".Unable to identify meshes";
    const std::string bridge = FindAssetMeshes(config, Folder(c), "mode0");
    TTreeUpdate update(c.Host);
    SetDefaultEntry(config, main);
    if (!bridge.empty()) {
        config.SetTagByPath("\\mesh-table\\turntable\\mesh", bridge);
        config.SetTagByPath("\\mesh-table\\turntable\\auto-create", "1");
    }
    return {};
}

enum class TBuilder { None, Bogey, Scenery, Generic, Interior, Crossing, Junction, Signal, Pantograph, Traincar, Turntable };

TBuilder BuilderFor(std::string_view kind) {
    if (kind == "bogey") return TBuilder::Bogey;
    if (kind == "buildable" || kind == "fixedtrack" || kind == "industry" || kind == "scenery") return TBuilder::Scenery;
    if (kind == "drivercharacter" || kind == "mesh" || kind == "*product") return TBuilder::Generic;
    if (kind == "interior") return TBuilder::Interior;
    if (kind == "mocrossing") return TBuilder::Crossing;
    if (kind == "mojunction") return TBuilder::Junction;
    if (kind == "mosignal" || kind == "mospeedboard") return TBuilder::Signal;
    if (kind == "pantograph") return TBuilder::Pantograph;
    if (kind == "traincar") return TBuilder::Traincar;
    if (kind == "turntable") return TBuilder::Turntable;
    return TBuilder::None;
}

// The meshes that still want an entry: the asset's ".im", ".pm" and ".lm.txt" (entered as ".lm"), less
// the components of level-of-detail files and the meshes a local mesh-table entry names.
std::string AddUnreferencedMeshes(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string folder = Folder(c);
    // One search of the folder, split by pattern: each group keeps the order found, and a name matching
    // two patterns joins both, as separate searches would give.
    std::vector<std::string> found, ims, pms, lods, kins;
    ListFolderFiles(folder + "\\", "*.im;*.pm;*.lm.txt;*.kin", found);
    for (const std::string& file : found) {
        const std::string name = ExtractFileName(file);
        if (MatchesPatternList(name, "*.im")) ims.push_back(file);
        if (MatchesPatternList(name, "*.pm")) pms.push_back(file);
        if (MatchesPatternList(name, "*.lm.txt")) lods.push_back(file);
        if (MatchesPatternList(name, "*.kin")) kins.push_back(file);
    }

    std::vector<std::string> taken;  // lower case, "/" separators
    for (const std::string& lod : lods) {
        LodFile file;
        if (!ReadLodFile(NativePath(folder + "\\" + lod), file).empty()) continue;
        const std::string base = FolderPart(lod);
        for (const std::string& name : file.MeshNames()) taken.push_back(LowerCase(base + Slashed(name)));
    }
    if (const TOutlineNode* table = TopLevel(config, "mesh-table")) {
        for (std::size_t i = 0; i < table->ChildCount(); ++i) {
            const TOutlineNode* entry = table->Child(i);
            if (config.FindChildByName(entry, "mesh-asset")) continue;
            if (const TOutlineNode* mesh = config.FindChildByName(entry, "mesh"))
                taken.push_back(LowerCase(Slashed(TagValueUnquoted(mesh->Text()))));
        }
    }

    std::vector<std::string> remaining;
    auto add = [&](const std::string& path) {
        const std::string slashed = Slashed(path);
        if (std::find(taken.begin(), taken.end(), LowerCase(slashed)) == taken.end()) remaining.push_back(slashed);
    };
    for (const std::string& mesh : ims) add(mesh);
    for (const std::string& mesh : pms) add(mesh);
    for (const std::string& lod : lods) add(lod.substr(0, lod.size() - 4));  // "x.lm.txt" is entered as "x.lm"
    if (remaining.empty()) return ".No unreferenced meshes to process";

    TTreeUpdate update(c.Host);
    const TOutlineNode* table = TopLevel(config, "mesh-table");
    int number = 0;
    for (const std::string& mesh : remaining) {
        while (table && config.FindChildByName(table, std::to_string(number))) ++number;
        const std::string entry = "\\mesh-table\\" + std::to_string(number) + "\\";
        config.SetTagByPath(entry + "mesh", mesh);
        config.SetTagByPath(entry + "auto-create", "1");
        if (std::string kin = KinFor(mesh, kins); !kin.empty()) config.SetTagByPath(entry + "anim", kin);
        table = TopLevel(config, "mesh-table");
        ++number;
    }
    return {};
}

}  // namespace

// --- shared helpers

std::string ConfigKind(const TOutlineDocument& config) {
    const TOutlineNode* kind = TopLevel(config, "kind");
    return kind ? LowerCase(Trim(TagValueUnquoted(kind->Text()))) : std::string();
}

bool KindInherits(const TBuilderContext& c, std::string_view section) {
    std::string chain = c.Config.Hooks().KindChain();
    if (chain.empty()) chain = c.State.KindChain;
    return ListContains(section, chain);
}

void ShowLineCount(TBuilderContext& c) { c.Host.ShowStatus(stPanel3, c.Config.ConfigStatusText()); }

TOutlineNode* TopLevel(const TOutlineDocument& config, std::string_view name) {
    return config.Root() ? config.FindChildByName(config.Root(), name) : nullptr;
}

std::string FindAssetMeshes(const TOutlineDocument& config, const std::string& assetFolder, std::string_view tag) {
    const std::string folder = ExcludeTrailingSeparator(assetFolder);
    if (folder.empty() || !config.Root()) return {};
    if (tag == "asset-filename") {
        const TOutlineNode* node = TopLevel(config, "asset-filename");
        const std::string value = node ? TagValueUnquoted(node->Text()) : std::string();
        if (value.empty()) return {};
        for (const char* ext : {".im", ".pm"})
            if (!AssetFile(folder, value + ext).empty()) return Slashed(value) + ext;
        return {};
    }
    const TOutlineNode* node = TopLevel(config, tag);
    if (!node) return {};
    const std::string value = TagValueUnquoted(node->Text());
    if (value.empty()) return {};
    const std::string base = value + "\\" + value;
    if (!AssetFile(folder, base + ".im").empty()) return value + "/" + value + ".im";
    if (!AssetFile(folder, base + ".pm").empty()) return value + "/" + value + ".pm";
    if (!AssetFile(folder, base + ".lm.txt").empty()) return value + "/" + value + ".lm";
    return {};
}

void ListFolderFiles(const std::string& folder, std::string_view patterns, std::vector<std::string>& list) {
    std::vector<std::string> found;
    FindFilesRecursive(NativePath(folder) + "*.*", patterns, found);
    const std::string prefix = IncludeTrailingSeparator(ReplaceChar(NativePath(folder), '\\', '/'), '/');
    for (const std::string& file : found) {
        std::string path = ReplaceChar(NativePath(file), '\\', '/');
        if (const std::size_t at = path.find(prefix); at != std::string::npos) path.erase(at, prefix.size());
        list.push_back(ReplaceChar(path, '/', '\\'));
    }
}

std::string ResolveLodMesh(const std::string& assetFolder, const std::string& meshPath) {
    if (!EndsWithText(meshPath, ".lm")) return meshPath;
    LodFile lod;
    const std::string file = NativePath(ExcludeTrailingSeparator(assetFolder) + "\\" + meshPath + ".txt");
    const std::string found = ResolveScriptFile(file);
    if (found.empty() || !ReadLodFile(found, lod).empty()) return {};
    const std::string first = lod.FirstMeshName();
    return first.empty() ? std::string() : FolderPart(meshPath) + Slashed(first);
}

// --- the tables

std::string CreateMeshTable(TBuilderContext& c, std::string_view word) {
    if (LowerCase(Trim(word)) == "library") return UpdateMeshLibraryTable(c);
    const std::string kind = ConfigKind(c.Config);
    if (!KindInherits(c, "MESH-ASSET")) return ".Not applicable to " + kind + " assets";
    if (TopLevel(c.Config, "mesh-table")) return ".Mesh-table already exists";
    if (std::string none = NoAssetFolderMessage(Folder(c)); !none.empty()) return none;
    std::vector<std::string> lods;
    ListFolderFiles(Folder(c) + "\\", "*.lm.txt", lods);
    if (!lods.empty()) return ".Lm.txt files found in asset, cannot identify meshes";
    // The builder is chosen before any ".pm" goes: an asset no builder takes keeps its files.
    const TBuilder builder = BuilderFor(kind);
    if (builder == TBuilder::None) return ".Cannot create mesh table for this asset";

    const std::string removed = DeleteDuplicatePm(c.State, Folder(c), c.Batch);
    std::string message;
    switch (builder) {
        case TBuilder::Bogey: message = MakeBogeyMeshTable(c); break;
        case TBuilder::Scenery: message = MakeSceneryMeshTable(c); break;
        case TBuilder::Generic: message = AddUnreferencedMeshes(c); break;
        case TBuilder::Interior: message = MakeInteriorMeshTable(c); break;
        case TBuilder::Crossing: message = MakeCrossingMeshTable(c); break;
        case TBuilder::Junction: message = MakeJunctionMeshTable(c); break;
        case TBuilder::Signal: message = MakeSignalMeshTable(c); break;
        case TBuilder::Pantograph: message = MakePantographMeshTable(c); break;
        case TBuilder::Traincar: message = MakeTraincarMeshTable(c); break;
        case TBuilder::Turntable: message = MakeTurntableMeshTable(c); break;
        case TBuilder::None: break;
    }
    if (TOutlineNode* table = TopLevel(c.Config, "mesh-table")) c.Config.ExpandNode(table, true);
    ShowLineCount(c);
    if (message.empty() && !removed.empty()) message = "." + removed;
    return message;
}

std::string UpdateMeshLibraryTable(TBuilderContext& c) {
    const std::string kind = ConfigKind(c.Config);
    if (!KindInherits(c, "MESH-ASSET")) return ".Not applicable to " + kind + " assets";
    if (std::string none = NoAssetFolderMessage(Folder(c)); !none.empty()) return none;
    const std::string message = AddUnreferencedMeshes(c);
    if (TOutlineNode* table = TopLevel(c.Config, "mesh-table")) c.Config.ExpandNode(table, false);
    ShowLineCount(c);
    return message;
}

std::string CreateBogieTable(TBuilderContext& c) {
    if (!KindInherits(c, "TRAINCAR")) return ".Not applicable to non traincar assets";
    FixLegacyKuids(c);
    TOutlineDocument& config = c.Config;
    struct TLegacyBogey {
        TOutlineNode* node;
        std::string index, reversed;
    };
    std::vector<TLegacyBogey> legacy;
    for (std::size_t i = 0; config.Root() && i < config.Root()->ChildCount(); ++i) {
        TOutlineNode* node = config.Root()->Child(i);
        // Only tags: the "bogeys" container is the table itself.
        if (!TOutlineDocument::IsTag(node)) continue;
        const std::string name = node->Name();
        if (name != "bogey" && !StartsWith(name, "bogey-")) continue;
        const std::vector<std::string> parts = SplitString(name, "-");
        TLegacyBogey bogey{node, "0", "0"};
        if (parts.size() >= 2 && LowerCase(parts[1]) == "r") {
            bogey.reversed = "1";
        } else if (parts.size() >= 2) {
            bogey.index = parts[1];
            if (parts.size() >= 3 && LowerCase(parts[2]) == "r") bogey.reversed = "1";
        }
        // Only a number names an entry: anything else would become a container named after whatever
        // the tag's name held, so such a tag stays as it is.
        if (bogey.index.empty() || bogey.index.find_first_not_of("0123456789") != std::string::npos || parts.size() > 3)
            continue;
        legacy.push_back(bogey);
    }
    if (legacy.empty()) return ".No bogie tags found or table already exists";
    {
        TTreeUpdate update(c.Host);
        for (const TLegacyBogey& bogey : legacy) {
            const std::string value = LowerCase(TagValueUnquoted(bogey.node->Text()));
            config.DeleteNodeNow(bogey.node, false);
            config.SetTagByPath("\\bogeys\\" + bogey.index + "\\bogey", value);
            config.SetTagByPath("\\bogeys\\" + bogey.index + "\\reversed", bogey.reversed);
        }
        ReorderConfig(config, c.State);
    }
    if (TOutlineNode* bogeys = TopLevel(config, "bogeys")) config.ExpandNode(bogeys, true);
    ShowLineCount(c);
    return {};
}

std::string UpdateThumbnailTable(TBuilderContext& c) {
    if (std::string none = NoAssetFolderMessage(Folder(c)); !none.empty()) return none;
    TOutlineDocument& config = c.Config;
    if (!config.Root()) return {};
    const bool wasModified = config.Modified();
    std::string message;
    bool legacyDeleted = false;
    {
        TTreeUpdate update(c.Host);
        if (TOutlineNode* legacy = TopLevel(config, "thumbnail")) legacyDeleted = config.DeleteNodeNow(legacy, false);
        if (!TopLevel(config, "thumbnails")) config.SetTagByPath("\\thumbnails\\", "");
        const std::string folder = Folder(c);
        auto table = [&config] { return TopLevel(config, "thumbnails"); };

        if (!HasThumbnailSize(config, table(), 240, 180)) {
            std::string image = FindThumbnailImage(c.State, folder);
            const std::string placeholder = NativePath(ExpandMacros(c.State, "%bin%\\$screenshot$.jpg"));
            if (image.empty() && ReadSettingBool(c.State.Settings(), keys::Placeholder) && FileExists(placeholder)) {
                const std::string target = NativePath(folder + "/$screenshot$.jpg");
                const std::string existing = ResolvePathIgnoreCase(target);
                std::string error;
                if (!existing.empty()) error = BackupFile(c.State, existing);
                if (error.empty()) error = ForceCopyFile(placeholder, existing.empty() ? target : existing);
                if (error.empty()) image = "$screenshot$.jpg";
                else message = ".File copy failed: " + placeholder;
            }
            if (!image.empty()) SetThumbnailTags(config, table(), image, 240, 180, 0);
            else if (message.empty()) message = ".No preview image found";
        }
        if (!HasThumbnailSize(config, table(), 128, 64)) {
            const std::string icon = FindArt(c.State, folder, "art_icon");
            if (ContainsStr(icon, ".tga")) SetThumbnailTags(config, table(), icon, 128, 64, 0);
        }
        if (!HasThumbnailSize(config, table(), 512, 512)) {
            const std::string art = FindArt(c.State, folder, "art_512");
            if (ContainsStr(art, ".tga")) SetThumbnailTags(config, table(), art, 512, 512, 0);
        }
        TOutlineNode* thumbnails = table();
        if (thumbnails && thumbnails->ChildCount() == 0) {
            config.DeleteNodeNow(thumbnails, false);
            // Only the empty table came and went; a deleted legacy tag is a change the user must save.
            if (!legacyDeleted) config.SetModified(wasModified);
        } else if (thumbnails) {
            config.ExpandNode(thumbnails, true);
        }
    }
    ShowLineCount(c);
    return message;
}

}  // namespace kelvarn
