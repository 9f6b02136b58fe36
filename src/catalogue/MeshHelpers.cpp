#include "catalogue/MeshHelpers.h"

#include <algorithm>
#include <set>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
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

}  // namespace

int ListDuplicatePm(std::string_view folder, std::vector<std::string>& list) {
    list.clear();
    std::vector<std::string> found;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.im;*.pm", found);
    std::set<std::string> im;  // lower case
    std::vector<std::string> pm;
    for (std::string& path : found) {
        // The pattern search also takes one character more ("x.pmx"); only real mesh names count.
        if (EndsWithText(path, ".im"))
            im.insert(LowerCase(path));
        else if (EndsWithText(path, ".pm"))
            pm.push_back(std::move(path));
    }
    if (im.empty()) return 0;
    for (std::string& path : pm)
        if (im.count(LowerCase(ChangeFileExt(path, ".im")))) list.push_back(std::move(path));
    SortUniqueIgnoringCase(list);
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

}  // namespace kelvarn
