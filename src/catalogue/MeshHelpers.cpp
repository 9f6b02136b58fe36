#include "catalogue/MeshHelpers.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "catalogue/OutlineDocument.h"
#include "media/LodFile.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// Sorted, without duplicates, ignoring case; the first spelling of a name is kept.
void SortUniqueIgnoringCase(std::vector<std::string>& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    list.erase(std::unique(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return SameText(a, b); }),
               list.end());
}

std::string RemoveFiles(TProgramState& state, const std::vector<std::string>& files) {
    int removed = 0;
    std::string failures;
    for (const std::string& file : files) {
        if (state.Trash->MoveToTrash(file).empty())
            ++removed;
        else
            failures += "\r\n\t\tNot deleted: " + ExtractFileName(file);
    }
    return std::to_string(removed) + "pm mesh file(s) deleted" + failures;
}

// The meshes a level-of-detail file names, each as the LOD file's folder, "\\" and the name, in file
// order; empty names are passed over.
std::vector<std::string> LodMeshFiles(std::string_view lodText) {
    std::vector<std::string> meshes;
    const std::string file = ExistingFile(lodText);
    if (file.empty()) return meshes;
    const std::string folder = ExtractFileDir(lodText);
    LodFile lod;
    if (!ReadLodFile(file, lod).empty()) return meshes;
    for (const std::string& name : lod.MeshNames())
        if (!Trim(name).empty()) meshes.push_back(folder + "\\" + name);
    return meshes;
}

}  // namespace

int ListDuplicatePm(std::string_view folder, std::vector<std::string>& list) {
    list.clear();
    // Every file, then only names that really end in ".im" or ".pm": a pattern search would also take
    // one character more ("x.pmx").
    std::vector<std::string> found;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.*", found);
    std::unordered_set<std::string> im;  // lower case
    std::vector<std::pair<std::string, std::string>> pm;  // lower case, as found
    for (std::string& path : found) {
        if (EndsWithText(path, ".im"))
            im.insert(LowerCase(path));
        else if (EndsWithText(path, ".pm"))
            pm.emplace_back(LowerCase(path), std::move(path));
    }
    if (im.empty()) return 0;
    std::sort(pm.begin(), pm.end());
    std::string twin;
    for (std::size_t i = 0; i < pm.size(); ++i) {
        if (i > 0 && pm[i].first == pm[i - 1].first) continue;
        twin.assign(pm[i].first, 0, pm[i].first.size() - 3).append(".im");
        if (im.count(twin)) list.push_back(std::move(pm[i].second));
    }
    return static_cast<int>(list.size());
}

std::string DeleteDuplicatePm(TProgramState& state, std::string_view folder, bool scriptMode) {
    std::vector<std::string> duplicates;
    if (ListDuplicatePm(folder, duplicates) == 0) return {};
    if (ReadSettingBool(state.Settings(), keys::AutoDeletePM)) return RemoveFiles(state, duplicates);
    if (scriptMode) {
        std::string names;
        for (const std::string& file : duplicates) {
            if (!names.empty()) names += "\r\n\t\t";
            names += ExtractFileName(file);
        }
        return names;
    }
    if (!state.Messages->AskYesNo("Duplicate *.pm meshes found\rDelete these files?")) return {};
    return RemoveFiles(state, duplicates);
}

std::string ListMeshPoints(std::string_view meshPath, std::vector<std::string>& list) {
    list.clear();
    std::string mesh(meshPath);
    if (ExtractFileExt(mesh) == ".lm") {
        const std::string lodText = mesh + ".txt";
        if (ExistingFile(lodText).empty()) return "File not found: " + lodText;
        const std::vector<std::string> meshes = LodMeshFiles(lodText);
        if (meshes.empty()) return "File not found: " + ExtractFileDir(lodText) + "\\";
        mesh = meshes.front();
    }
    const std::string file = ExistingFile(mesh);
    if (file.empty()) return "File not found: " + mesh;
    TMesh reader(file);
    if (std::string error = reader.SetActive(true); !error.empty()) return error;
    for (const TChunk& chunk : reader.Chunks()) {
        if (chunk.GetTag() != "ATCH") continue;
        const TATCH points(chunk.Data);
        for (const TATCHE& p : points.Entries()) list.push_back(AttachmentToCsv(p));
    }
    return {};
}

void CollectMeshTableFiles(const TOutlineDocument& document, std::string_view folder, std::vector<std::string>& list) {
    const TOutlineNode* table = document.FindChildByName(document.Root(), "mesh-table");
    if (!table) return;
    for (std::size_t i = 0; i < table->ChildCount(); ++i) {
        const TOutlineNode* meshNode = document.FindNodeByPath("mesh-table\\" + table->Child(i)->Name() + "\\mesh");
        if (!meshNode) continue;
        const std::string mesh = TagValueUnquoted(meshNode->Text());
        if (Trim(mesh).empty()) continue;
        const std::string path = std::string(folder) + "\\" + mesh;
        if (ExtractFileExt(mesh) != ".lm") {
            if (!ExistingFile(path).empty()) list.push_back(path);
            continue;
        }
        for (std::string& lodMesh : LodMeshFiles(path + ".txt"))
            if (!ExistingFile(lodMesh).empty()) list.push_back(std::move(lodMesh));
    }
}

std::vector<std::string> ListMeshTable(TProgramState& state, const TOutlineDocument& document, std::string_view folder) {
    std::vector<std::string> refused;
    std::vector<std::string> meshes;
    CollectMeshTableFiles(document, folder, meshes);
    SortUniqueIgnoringCase(meshes);
    std::vector<std::string>& lines = state.AttachmentPoints;
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    const std::string prefix = std::string(folder) + "\\";
    for (const std::string& mesh : meshes) {
        std::string relative = mesh;
        if (const std::size_t at = relative.find(prefix); at != std::string::npos) relative.erase(at, prefix.size());
        if (const std::size_t slash = relative.find('\\'); slash != std::string::npos) relative[slash] = '/';

        // Read as named first; only a name that misses is looked up ignoring case.
        std::string file = mesh, bytes;
        if (!ReadFileBytes(file, bytes).empty()) {
            file = ExistingFile(mesh);
            if (file.empty() || !ReadFileBytes(file, bytes).empty()) continue;
        }
        // A file that fails the header check is passed over quietly (the mesh checks report it); one
        // that passes it but is still no mesh the reader takes is reported.
        if (!CheckMeshHeader(bytes, bytes.size()).empty()) continue;
        TMesh reader(file);
        if (std::string error = reader.LoadBytes(std::move(bytes)); !error.empty()) {
            refused.push_back(std::move(error));
            continue;
        }
        for (const TChunk& chunk : reader.Chunks()) {
            if (chunk.GetTag() != "ATCH") continue;
            const TATCH points(chunk.Data);
            for (const TATCHE& p : points.Entries()) {
                std::string name = ReplaceFirstText(p.Name, ":cull", "");
                if (const std::size_t slash = name.find('/'); slash != std::string::npos) name.erase(0, slash + 1);
                std::string line = LowerCase(name + "=" + relative);
                const auto at = std::lower_bound(lines.begin(), lines.end(), line);
                if (at == lines.end() || *at != line) lines.insert(at, std::move(line));
            }
            break;  // later point chunks are not read
        }
    }
    return refused;
}

}  // namespace kelvarn
