#include "validation/ObsoleteTags.h"

#include <algorithm>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptHost.h"

namespace kelvarn {

namespace {

bool InsideKept(const TOutlineNode* node, const std::vector<TOutlineNode*>& kept) {
    for (const TOutlineNode* legacy : kept)
        if (legacy == node || legacy->IsAncestorOf(node)) return true;
    return false;
}

}  // namespace

std::string DeleteObsoleteTags(TProgramState& state, ScriptHost& host, TOutlineDocument& config, bool batch) {
    if (!config.Root()) return {};
    std::vector<std::string> legacy;
    const std::string tagsFile = NativePath(ExpandMacros(state, "%bin%\\tags.xml"));
    // Without the definitions every tag would count as unknown, and the whole config would go.
    if (std::string error = TWalnut::ListChildElements(tagsFile, "LEGACY", legacy); !error.empty()) return error;

    std::vector<TOutlineNode*> rows;
    for (TOutlineNode* node = config.Root(); node; node = node->NextRow()) rows.push_back(node);
    host.ShowGauge(static_cast<int>(rows.size()));

    // Pass 1: the legacy tags, which older builds may still need.
    std::string message;
    std::vector<TOutlineNode*> kept;
    for (const std::string& name : legacy) {
        TOutlineNode* found = nullptr;
        for (std::size_t i = 0; i < config.Root()->ChildCount() && !found; ++i) {
            TOutlineNode* top = config.Root()->Child(i);
            if (!TOutlineDocument::IsComment(top) && SameText(top->Name(), name)) found = top;
        }
        if (!found) continue;
        const std::string text = "'" + name + "' may be required for correct operation. ";
        if (batch) {
            if (message.empty()) message = "Legacy tags";
            message += "\r\n\t" + text + "Tag has been retained.";
            kept.push_back(found);
        } else if (host.Confirm(text + "\r\r" + "Delete Tag?")) {
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [found](TOutlineNode* n) { return n == found || found->IsAncestorOf(n); }),
                       rows.end());
            TOutlineNode* parent = found->Parent();
            if (config.DeleteNodeNow(found, false)) config.MarkModified(parent);
        } else {
            kept.push_back(found);
        }
        host.Poll();
    }

    // Pass 2: what the definitions do not allow at the active build, from the last row back.
    const std::int32_t build = state.ActiveBuild();
    for (std::size_t i = rows.size(); i-- > 1;) {
        TOutlineNode* node = rows[i];
        host.StepGauge();
        // Comments are no tags; what a kept legacy tag holds stays with it.
        if (TOutlineDocument::IsComment(node) || InsideKept(node, kept)) continue;
        const std::string path = config.NodePath(node);
        if (ContainsText(path, "extensions")) continue;
        bool found = false;
        const TTagSpec spec = config.Hooks().FindSpecNode(path, found);
        if (found && InBuildWindow(ParseBuild(spec.Introduced), ParseBuild(spec.Obsolete), build)) continue;
        TOutlineNode* parent = node->Parent();
        if (config.DeleteNodeNow(node, false)) config.MarkModified(parent);
    }
    host.HideGauge();
    return message;
}

}  // namespace kelvarn
