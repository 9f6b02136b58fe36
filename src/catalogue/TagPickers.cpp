#include "catalogue/TagPickers.h"

#include <algorithm>

#include "catalogue/OutlineDocument.h"
#include "catalogue/SourceList.h"
#include "catalogue/Walnut.h"
#include "catalogue/WikiHelp.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// A level-of-detail text is a few lines per mesh; a larger file is not one.
constexpr std::uint64_t kMaxLodTextBytes = 1u << 20;

TTagSpec SpecOfNode(TOutlineDocument& document, const TOutlineNode* node, std::string& path) {
    path = document.NodePath(node);
    std::string lookup = path;
    if (!lookup.empty() && lookup.back() == '\\') lookup.pop_back();
    bool found = false;
    TTagSpec spec = document.Hooks().FindSpecNode(lookup, found);
    return found ? spec : DefaultTagSpec();
}

bool EndsWithAny(std::string_view text, std::initializer_list<std::string_view> endings) {
    return std::any_of(endings.begin(), endings.end(), [&](std::string_view e) { return EndsWithText(text, e); });
}

void AddOnce(std::vector<std::string>& list, std::string entry) {
    if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(std::move(entry));
}

}  // namespace

TPickAction PickTagValue(TOutlineDocument& document, const TOutlineNode* selected, std::string_view name,
                         std::string_view value, bool maximised) {
    TProgramState& state = document.State();
    std::string path;
    const TTagSpec spec = SpecOfNode(document, selected, path);
    const std::string help = HelpDescription(spec.Help);
    state.SendStatusText(stPanel2, help.empty() ? path : help);
    TPickAction action;
    if (maximised) return action;

    const std::string bare = Unquote(value);
    const auto show = [&](int rule, std::string file) {
        action.rule = rule;
        action.code = ccShowFile;
        action.text = std::move(file);
        return action;
    };
    // 1: the tags whose values come from a list.
    if (name == "trainz-build" || name == "category-class" || name == "nightmode" || name == "category-keyword" ||
        StartsWith(name, "category-region") || StartsWith(name, "category-era")) {
        action.rule = 1;
        GetSourceList(state, &document, spec.Source, action.lines);
        return action;
    }
    // 2: a texture's descriptor.
    if (ContainsText(".texture", name) || ContainsText(bare, ".texture")) {
        if (std::string file = ExistingFile(state.AssetPath() + "\\" + bare + ".txt"); !file.empty()) return show(2, file);
    }
    // 3: a script, or its source.
    if (name == "script" || name == "class") {
        const std::string file = ExpandMacros(state, "%p%\\" + bare);
        if (std::string found = ExistingFile(file); !found.empty()) return show(3, found);
        // Made on Windows: `script "PortalTunnel"` beside "portaltunnel.gs".
        if (std::string found = ExistingFile(file + ".gs"); !found.empty()) return show(3, found);
        return show(3, file + ".gs");
    }
    // 4: the effect kinds.
    if (name == "effects") return show(4, ExpandMacros(state, "%bin%\\effect-kind.txt"));
    // 5: meshes and images.
    if (EndsWithAny(bare, {".im", ".pm", ".tga", ".bmp", ".jpg"})) {
        if (std::string file = ExistingFile(ExpandMacros(state, "%p%\\" + bare)); !file.empty()) return show(5, file);
    }
    // 6: a file with a text of its own (".texture.txt", ".lm.txt").
    if (ContainsStr(bare, ".")) {
        if (std::string file = ExistingFile(ExpandMacros(state, "%p%\\" + bare + ".txt")); !file.empty())
            return show(6, file);
    }
    // 7: an image named with a prefix; sent as it is.
    if (ContainsText(value, "IMG:"))
        return show(7, ExpandMacros(state, "%p%\\" + Unquote(ReplaceFirstText(value, "IMG:", ""))));
    // 8: attachment points.
    if (name == "att" || ContainsStr(bare, "a.")) {
        action.rule = 8;
        action.code = ccShowTable;
        action.text = ShowAttachmentTable(document);
        return action;
    }
    // 9: the tags of the asset's kind.
    action.rule = 9;
    action.code = ccShowTags;
    action.text = document.GetValueByPath("config.txt\\kind");
    return action;
}

void SendPickAction(TProgramState& state, const TPickAction& action) {
    if (action.code != 0) state.SendCommand(action.code, action.text);
}

std::vector<std::string> AttachmentTable(std::string_view folder, std::vector<std::string>& failures) {
    failures.clear();
    std::vector<std::string> files, lines;
    FindFilesRecursive(std::string(folder) + "\\*.*", "*.im", files);
    for (const std::string& file : files) {
        // The search also takes "x.img"; only ".im" files are meshes.
        if (!EndsWithText(file, ".im")) continue;
        TMesh mesh(file);
        if (std::string error = mesh.SetActive(true); !error.empty()) {
            failures.push_back(error);
            continue;
        }
        const std::string quoted = "\"" + ExtractFileName(file) + "\",";
        for (const TChunk& chunk : mesh.Chunks()) {
            if (chunk.GetTag() != "ATCH") continue;
            const TATCH points(chunk.Data);
            for (const TATCHE& point : points.Entries()) lines.push_back(quoted + AttachmentToCsv(point));
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    lines.insert(lines.begin(), JoinCsvLine({"Mesh", "Point", "X", "Y", "Z", "x\xC2\xB0", "y\xC2\xB0", "z\xC2\xB0"}));
    return lines;
}

std::string ShowAttachmentTable(TOutlineDocument& document) {
    std::vector<std::string> failures;
    const std::vector<std::string> lines = AttachmentTable(document.State().AssetPath(), failures);
    if (!failures.empty()) document.Alert(JoinLines(failures));
    return JoinLines(lines);
}

std::string LodMeshName(std::string_view text) {
    const std::vector<std::string> lines = SplitLines(text);
    for (std::size_t i = lines.size(); i-- > 0;) {
        if (!ContainsText(lines[i], "name=")) continue;
        const std::string line = RemoveChars(Trim(lines[i]), ";");
        return Trim(RemoveChars(ReplaceFirstText(line, "name=", ""), "\""));
    }
    return {};
}

void GetMeshes(TOutlineDocument& document, const TOutlineNode* node, std::string_view folder,
               std::string_view location, std::vector<std::string>& list) {
    const std::string prefix = std::string(folder) + "\\";
    const auto meshOf = [&](const std::string& entryPath) { return document.GetValueByPath(entryPath + "mesh"); };
    if (location == ".att-parent") {
        const TOutlineNode* parent = node ? document.FindSiblingByName(node, "att-parent") : nullptr;
        const std::string value =
            parent ? meshOf("config.txt\\mesh-table\\" + TagValueUnquoted(parent->Text()) + "\\")
                   : meshOf("config.txt\\mesh-table\\default\\");
        if (!value.empty()) list.push_back(prefix + value);
    } else if (location == ".effect-parent") {
        const TOutlineNode* parent = node ? node->Parent() : nullptr;
        const TOutlineNode* entry = nullptr;
        if (parent && parent->Parent()) {
            entry = parent->NameIs("effects") ? parent->Parent() : parent->Parent()->Parent();
        }
        // A tag too near the top has no mesh-table entry above it.
        if (entry && entry != document.Root()) {
            const std::string value = meshOf(EnsureTrailingChar('\\', document.NodePath(entry)));
            if (!value.empty()) AddOnce(list, prefix + value);
        }
    } else if (location == ".mesh-table") {
        if (const TOutlineNode* table = document.FindNodeByPath("config.txt\\mesh-table")) {
            for (std::size_t i = 0; i < table->ChildCount(); ++i) {
                const std::string value = meshOf("config.txt\\mesh-table\\" + table->Child(i)->Name() + "\\");
                if (!value.empty()) AddOnce(list, prefix + value);
            }
        }
    } else if (location == ".default") {
        document.State().Messages->ShowMessage("Outline.GetMeshes.Default: NDF");
    }

    for (std::size_t i = 0; i < list.size();) {
        if (!EndsWithText(list[i], ".lm")) {
            ++i;
            continue;
        }
        const std::string text = ExistingFile(list[i] + ".txt");
        if (text.empty()) {
            ++i;
            continue;
        }
        DecodedText decoded;
        std::string mesh;
        if (ReadTextFile(text, decoded, kMaxLodTextBytes).empty()) mesh = LodMeshName(decoded.text);
        if (mesh.empty()) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        // The names in a level-of-detail file are its own folder's.
        const std::size_t cut = list[i].find_last_of("\\/");
        list[i] = (cut == std::string::npos ? std::string() : list[i].substr(0, cut + 1)) + mesh;
        ++i;
    }
}

std::string PointFolder(const TOutlineDocument& editor, const TProgramState& state) {
    return editor.ScriptMode ? editor.ShownFolder() : state.AssetPath();
}

void ListAttachmentPoints(TOutlineDocument& document, const TOutlineNode* node, std::string_view folder,
                          std::string_view location, std::vector<std::string>& list) {
    list.clear();
    std::vector<std::string> meshes;
    GetMeshes(document, node, folder, location, meshes);
    for (const std::string& entry : meshes) {
        const std::string file = ExistingFile(entry);
        if (file.empty()) continue;
        TMesh mesh(file);
        if (!mesh.SetActive(true).empty()) return;
        const std::string meshName = ExtractFileName(file);
        for (const std::string& point : MeshAttachmentNames(mesh)) {
            const std::size_t slash = point.find('/');
            list.push_back(meshName + ":" + (slash != std::string::npos && slash > 0 ? point.substr(slash + 1) : point));
        }
    }
}

std::vector<std::string> GetTagSpecDataButtonClick(TOutlineDocument& document, const TOutlineNode* selected) {
    std::vector<std::string> lines;
    if (!selected || selected == document.Root()) return lines;
    std::string path;
    const TTagSpec spec = SpecOfNode(document, selected, path);
    TWalnut::RenderSpecNode(spec, lines);
    lines.insert(lines.begin(), path);
    return lines;
}

}  // namespace kelvarn
