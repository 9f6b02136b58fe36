// The engine's state, its context and its messages.
#include "validation/ScriptUnit.h"

#include "catalogue/OutlineDocument.h"
#include "shell/Macros.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLabels.h"

namespace kelvarn {

TScriptUnit::TScriptUnit(TProgramState& state, ScriptHost& host) : state_(state), host_(host) {
    state_.AbortRequested = false;
    RegisterScriptCommands(commands_);
}

TScriptUnit::~TScriptUnit() = default;

void TScriptUnit::BindContext() {
    if (scriptMode_) {
        context_ = host_.EditorOutline();
        assetFolder_ = batchFolder_;
    } else {
        context_ = host_.MainOutline();
        assetFolder_ = state_.AssetPath();
    }
}

void TScriptUnit::CancelChoice() {
    OptionIndex = -1;
    SelectionChecked.assign(SelectionItems.size(), false);
}

void TScriptUnit::LogMessage(int line, std::string_view text) {
    std::string message(text);
    if (!message.empty() && message.front() == '.') {
        if (ReadSettingBool(state_.Settings(), keys::Silent)) return;
        message.erase(0, 1);
    }
    message = ExpandMacros(state_, message);
    if (message.empty()) return;
    if (line > 0) message = CallPath + "\\" + ZeroPad(std::to_string(line), 3) + ": " + message;
    if (scriptMode_)
        OutputList.push_back("\t" + message);
    else
        host_.AppendAlert(message);
}

void TScriptUnit::SaveSnapshot() {
    if (scriptMode_) return;
    if (TOutlineDocument* main = host_.MainOutline()) main->PushUndo();
}

void TScriptUnit::ShowLineCount() {
    BindContext();
    host_.ShowStatus(stPanel3, context_ ? context_->ConfigStatusText() : std::string());
}

const TScriptLabels& TScriptUnit::Labels() {
    static const TScriptLabels none{std::vector<std::string>()};
    if (frames_.empty()) return none;  // a handler called outside a run: nothing to jump to
    TRunFrame& frame = frames_.back();
    if (!frame.labels) frame.labels = std::make_unique<TScriptLabels>(*frame.lines);
    return *frame.labels;
}

TRunning::TRunning(TScriptUnit& unit) : unit_(unit), outer_(!unit.running_) { unit_.running_ = true; }

TRunning::~TRunning() {
    if (!outer_) return;
    unit_.running_ = false;
    // A batch last showed its last asset's line count: the count is the main window's config's again.
    unit_.ShowLineCount();
    if (unit_.RefreshAfterRun) {
        unit_.RefreshAfterRun = false;
        unit_.host_.RefreshFiles();
    }
}

}  // namespace kelvarn
