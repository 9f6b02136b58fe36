#include "catalogue/WikiHelp.h"

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// A page named by a key of section Wiki; empty when the key is missing.
std::string WikiPage(const TProgramState& state, std::string_view key) {
    return state.Settings().ReadString(sections::Wiki, key, "");
}

std::string KindChainOf(const TProgramState& state, const TOutlineDocument& document) {
    std::string chain = document.Hooks().KindChain();
    return chain.empty() ? state.KindChain : chain;
}

bool HasNodeNamed(const TOutlineDocument& document, std::string_view name) {
    for (const TOutlineNode* node = document.Root(); node; node = node->NextRow())
        if (node->NameIs(name)) return true;
    return false;
}

// The mesh-table pages by the asset's kind; empty when the kind has none.
std::string MeshTablePage(const TProgramState& state, const std::string& chain) {
    if (ListContains("INTERIOR", chain)) return WikiPage(state, "$mesh-table-int");
    if (ListContains("MESH-ASSET", chain)) return WikiPage(state, "$mesh-table");
    return {};
}

const TOutlineNode* Ancestor(const TOutlineNode* node, int generations) {
    while (node && generations-- > 0) node = node->Parent();
    return node;
}

void ReplaceFirst(std::string& text, std::string_view from, std::string_view to) {
    if (const std::size_t at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
}

}  // namespace

std::string HelpDescription(std::string_view help) { return std::string(help.substr(0, help.find_first_of("@#"))); }

bool HasHelpLink(const TOutlineDocument& document, const TOutlineNode* node) {
    if (!node) return false;
    bool found = false;
    const TTagSpec spec = document.Hooks().FindSpecNode(document.NodePath(node), found);
    return found && spec.Help.find('@') != std::string::npos;
}

void ExpandWikiMacro(TProgramState& state, const TOutlineDocument& document, std::string_view path,
                     std::string_view value) {
    bool found = false;
    const TTagSpec spec = document.Hooks().FindSpecNode(path, found);
    if (!found) return;
    TTokens parts;
    if (SplitByCharSet(spec.Help, parts, "@#") > 3) {
        state.Messages->ShowMessage("Macro Error - too many substrings: " + spec.Help);
        return;
    }
    const std::string page = parts[1] == "?" ? TagHelpMacro(state, document, path, value, spec)
                                             : state.Settings().ReadString(sections::Wiki, parts[1], parts[1]);
    if (page.find('$') != std::string::npos) {
        state.Messages->ShowMessage("Macro Error - definition not found: " + page);
        return;
    }
    const std::string anchor = ExpandWikiAnchor(document, path, parts[2]);
    if (page.empty()) {
        state.Messages->ShowMessage("Link empty or invalid: " + anchor);
        return;
    }
    // The same base as "wiki://" links: without a setting, the simulator's public wiki.
    std::string address = ReadSetting(state.Settings(), keys::WikiURL);
    if (!EndsWith(address, "/")) address += "/";
    address += page + anchor;
    if (ReadSettingBool(state.Settings(), keys::WikiDebug))
        state.Messages->ShowMessage(address);
    else
        OpenWebAddress(state, address);
}

std::string TagHelpMacro(TProgramState& state, const TOutlineDocument& document, std::string_view path,
                         std::string_view value, const TTagSpec& spec) {
    const std::string last = LastPathElement(path);
    const std::string tagValue = value.empty() ? document.GetValueByPath(path) : std::string(value);
    const std::string chain = KindChainOf(state, document);
    IMessageSink& messages = *state.Messages;

    if (SameText(last, "kind")) {
        if (ContainsStr(path, "effects")) return WikiPage(state, "$" + tagValue);
        std::string page = tagValue == "scenery" && HasNodeNamed(document, "trackside")
                               ? WikiPage(state, "$scenery-trackside")
                               : WikiPage(state, "$" + tagValue);
        return page.empty() ? WikiPage(state, "$hierarchy") : page;
    }
    if (SameText(last, "mesh-table")) {
        if (ListContains("INTERIOR", chain) || ListContains("MESH-ASSET", chain)) return MeshTablePage(state, chain);
        if (ListContains("ITRACK", chain)) {
            messages.ShowMessage("WIKIHELP: Obsolete track");
            return "WIKIHELP: ITRACK";
        }
        if (ListContains("TRACK", chain)) {
            messages.ShowMessage("Mesh-table-track (no page defined)");
            return "WIKIHELP: TRACK";
        }
        messages.ShowMessage("WIKIHELP: Undefined mesh-table tag");
    } else if (SameText(last, "att")) {
        return ContainsStr(path, "effects") ? WikiPage(state, "$effects") : std::string();
    }

    const TOutlineNode* holder = document.FindParentNodeByPath(path);
    if (spec.Format == "user-table" && holder && holder->NameIs("mesh-table")) {
        std::string page = MeshTablePage(state, chain);
        if (!ListContains("INTERIOR", chain) && !ListContains("MESH-ASSET", chain))
            page = "WIKIHELP: Undefined Asset Mesh-ID";
        return page;
    }
    // An absent sequence reads as "0": the tag is no numbered sequence.
    if (!spec.Sequence.empty() && spec.Sequence != "0") {
        const std::string stem = RemoveChars(last, "0123456789");
        if (SameText(stem, "car")) {
            if (ListContains("CONSIST", chain)) return "*** consist vehicle-ID ***";
            if (ListContains("MAP", chain) || ListContains("REGION", chain)) return "WIKIHELP: Road Traffic Tag";
            return "WIKIHELP: Undefined CAR-ID";
        }
        if (SameText(stem, "smoke")) return "WIKIHELP: Smoke Tag";
        messages.ShowMessage("WIKIHELP: Undefined Sequence Tag");
        return {};
    }
    messages.ShowMessage("WIKIHELP: Undefined Special Case Tag");
    return {};
}

std::string ExpandWikiAnchor(const TOutlineDocument& document, std::string_view path, std::string_view anchor) {
    if (anchor.empty()) return {};
    std::string result(anchor);
    if (result.find('^') != std::string::npos) {
        if (const TOutlineNode* node = document.FindNodeByPath(path)) {
            const int level = node->Level();
            if (level >= 4) ReplaceFirst(result, "$^^^", Ancestor(node, 3)->Name());
            if (level >= 3) ReplaceFirst(result, "$^^", Ancestor(node, 2)->Name());
            if (level >= 2) ReplaceFirst(result, "$^", Ancestor(node, 1)->Name());
        }
    }
    ReplaceFirst(result, "$", LastPathElement(path));
    return result.empty() ? std::string() : "#" + result;
}

void WikiLinkUrl(TProgramState& state, const TOutlineDocument& document, std::string_view path) {
    const TOutlineNode* node = document.FindNodeByPath(path);
    if (!node) return;
    std::string link = TagValueUnquoted(node->Text());
    if (StartsWith(link, "wiki://")) {
        std::string base = ReadSetting(state.Settings(), keys::WikiURL);
        // "wiki://page" keeps its own "/" before the page.
        if (EndsWith(base, "/")) base.pop_back();
        link = ReplaceFirstText(link, "wiki:/", base);
    }
    OpenWebAddress(state, link);
}

void OpenWikiPage(TProgramState& state, std::string_view page) {
    std::string address = ReadSetting(state.Settings(), keys::WikiURL);
    if (EndsWith(address, "/")) address.pop_back();
    address += "/" + std::string(page);
    if (ReadSettingBool(state.Settings(), keys::WikiDebug))
        state.Messages->ShowMessage(address);
    else
        OpenWebAddress(state, address);
}

std::string CheckedWebAddress(std::string_view address) {
    std::string url = Trim(address);
    if (StartsWithText(url, "www.")) url = "http://" + url;
    std::size_t hostAt = 0;
    if (StartsWithText(url, "http://"))
        hostAt = 7;
    else if (StartsWithText(url, "https://"))
        hostAt = 8;
    else
        return {};
    // A host must follow the scheme; an address holds no control characters.
    if (url.size() <= hostAt || url[hostAt] == '/' || url[hostAt] == ' ') return {};
    for (const char c : url)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return {};
    return url;
}

bool OpenWebAddress(TProgramState& state, std::string_view address) {
    const std::string url = CheckedWebAddress(address);
    if (url.empty()) {
        state.Messages->ShowMessage("Link empty or invalid: " + std::string(address));
        return false;
    }
    if (state.Runner->OpenWithDefault(url)) return true;
    state.Messages->ShowMessage("Unable to open " + url, "", MessageKind::Warning);
    return false;
}

}  // namespace kelvarn
