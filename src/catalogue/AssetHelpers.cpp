#include "catalogue/AssetHelpers.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// The path relative to the folder: the first occurrence of the folder and a separator removed
// (ignoring case), every separator turned into "/".
std::string RelativeToFolder(std::string_view path, std::string_view folder) {
    std::string native = ReplaceChar(NativePath(path), '\\', '/');
    const std::string prefix = IncludeTrailingSeparator(ReplaceChar(NativePath(folder), '\\', '/'), '/');
    if (const std::size_t at = FindText(native, prefix); at != std::string::npos) native.erase(at, prefix.size());
    return native;
}

int ValueAsInt(std::string_view text) {
    long long v = 0;
    return TryParseInt(Trim(text), v) && v >= INT32_MIN && v <= INT32_MAX ? static_cast<int>(v) : 0;
}

// Could the text, its double quotes dropped, hold "<kuid" in any case? A quick test that spares most
// nodes the building of their name and value.
bool MayHoldKuid(std::string_view text) {
    static constexpr std::string_view kWord = "kuid";
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        std::size_t i = at + 1, matched = 0;
        for (; i < text.size() && matched < kWord.size(); ++i) {
            if (text[i] == '"') continue;
            if ((text[i] | 0x20) != kWord[matched]) break;
            ++matched;
        }
        if (matched == kWord.size()) return true;
    }
    return false;
}

}  // namespace

void ClearErrorMarks(TOutlineDocument& document) {
    for (TOutlineNode* node = document.Root(); node; node = node->NextRow())
        if (node->Flags() & (nfDelete | nfError)) document.SetNodeFlags(node, 0, nfDelete | nfError);
}

bool IsKuidValue(std::string_view value) {
    bool any = false;
    std::size_t i = 0;
    while (i < value.size()) {
        const char c = value[i];
        if (c == ',' || c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < value.size() && value[end] != ',' && value[end] != ' ' && value[end] != '\t') ++end;
        const std::string_view piece = value.substr(i, end - i);
        if (piece.size() < 7 || !StartsWithText(piece, "<kuid") || piece.back() != '>') return false;
        any = true;
        i = end;
    }
    return any;
}

void ListDependencies(const TOutlineDocument& document, std::vector<std::string>& list) {
    static constexpr std::string_view kSkipped = "-ifasset.kuid.";
    for (const TOutlineNode* node = document.Root(); node; node = node->NextRow()) {
        if (!MayHoldKuid(node->Text())) continue;
        const std::string name = TagName(node->Text());
        if (kSkipped.find(name) != std::string_view::npos) continue;
        const std::string value = LowerCase(TagValueUnquoted(node->Text()));
        if (!IsKuidValue(value)) continue;
        if (node->Parent() && node->Parent()->NameIs("obsolete-table")) continue;
        list.push_back(value);
    }
}

void RefreshDependencyKuids(TProgramState& state, const TOutlineDocument& document) {
    state.DependencyKuids.clear();
    ListDependencies(document, state.DependencyKuids);
}

std::string FindThumbnailImage(TProgramState& state, std::string_view folder) {
    std::vector<std::string> jpegs;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.jpg", jpegs);
    std::vector<std::string> kept;
    for (auto it = jpegs.rbegin(); it != jpegs.rend(); ++it) {
        if (!EndsWithText(*it, ".jpg")) continue;
        state.ImageSizeInfo = {};
        state.SendCommand(ccImageSize, *it);
        if (state.ImageSizeInfo.Width == 240 && state.ImageSizeInfo.Height == 180) kept.push_back(*it);
    }
    return kept.size() == 1 ? RelativeToFolder(kept.front(), folder) : std::string();
}

std::string FindArt(TProgramState& state, std::string_view folder, std::string_view name) {
    if (folder.empty()) {
        state.Messages->ShowMessage("Find Art called with null path");
        return {};
    }
    std::vector<std::string> files;
    FindFilesRecursive(JoinPath(folder, "*.*"), "*.txt;*.tga;*.jpg;*.bmp", files);
    const std::string base(name);
    for (const char* ending : {".texture.txt", ".tga", ".bmp", ".jpg"}) {
        const std::string wanted = base + ending;
        for (const std::string& file : files) {
            if (file.find(wanted) == std::string::npos) continue;
            std::string relative = RelativeToFolder(file, folder);
            if (std::string_view(ending) == ".texture.txt") relative = ReplaceFirstText(relative, ".txt", "");
            return relative;
        }
    }
    return {};
}

bool HasThumbnailSize(const TOutlineDocument& document, const TOutlineNode* thumbnails, int width, int height) {
    if (!thumbnails) return false;
    for (std::size_t i = 0; i < thumbnails->ChildCount(); ++i) {
        const std::string entry = thumbnails->Child(i)->Name();
        const std::string at = "\\thumbnails\\" + entry + "\\";
        if (ValueAsInt(document.GetValueByPath(at + "width")) == width &&
            ValueAsInt(document.GetValueByPath(at + "height")) == height)
            return true;
    }
    return false;
}

void SetThumbnailTags(TOutlineDocument& document, const TOutlineNode* thumbnails, std::string_view imagePath,
                      int width, int height, int firstNumber) {
    std::set<int> used;
    if (thumbnails)
        for (std::size_t i = 0; i < thumbnails->ChildCount(); ++i) {
            long long n = 0;
            if (TryParseInt(thumbnails->Child(i)->Name(), n) && n >= 0 && n <= 255) used.insert(static_cast<int>(n));
        }
    int number = std::max(firstNumber, 0);
    while (number < 256 && used.count(number)) ++number;
    const std::string at = "\\thumbnails\\" + std::to_string(number) + "\\";
    document.SetTagByPath(at + "image", imagePath);
    document.SetTagByPath(at + "width", std::to_string(width));
    document.SetTagByPath(at + "height", std::to_string(height));
}

TSimulatorLaunch SimulatorLaunch(const TProgramState& state, const TOutlineDocument& document, std::string_view mode) {
    const std::string trainz = ExpandMacros(state, "%trainz%");
    std::string program = "%trainz%\\trainz.exe";
    if (trainz == ExpandMacros(state, "%2006%"))
        program = "%trainz%\\trs2006.exe";
    else if (trainz == ExpandMacros(state, "%tc%"))
        program = "%trainz%\\tc.exe";
    std::string kuid;
    if (const TOutlineNode* node = document.FindChildByName(document.Root(), "kuid")) kuid = TagValueUnquoted(node->Text());
    std::string argument = "-";
    argument += LowerCase(mode);
    argument += '=';
    argument += kuid;
    return {NativePath(ExpandMacros(state, program)), std::move(argument)};
}

void LaunchSimulator(TProgramState& state, const TOutlineDocument& document, std::string_view mode) {
    const TSimulatorLaunch launch = SimulatorLaunch(state, document, mode);
    ProcessRequest request;
    request.program = launch.Program;
    request.arguments = {launch.Argument};
    // Started and left to run; a missing simulator is reported, never handed to another program.
    const ProcessResult result = state.Runner->Run(request);
    if (result.started) return;
    const std::string reason = result.notFound ? "The system cannot find the file specified. (2)"
                               : result.error.empty() ? "The program could not be started"
                                                      : result.error;
    state.Messages->ShowMessage("CreateProcess\n\nCommand Line: " + launch.Program + " " + launch.Argument + "\n\n" + reason,
                                "", MessageKind::Error);
}

}  // namespace kelvarn
