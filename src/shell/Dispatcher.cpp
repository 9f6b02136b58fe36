#include "shell/Dispatcher.h"

#include "shell/MainMenuTable.h"
#include "shell/MessageRouting.h"
#include "shell/ProgramState.h"

namespace kelvarn {

TDispatcher::TDispatcher(TProgramState& state) : state_(state) {
    // Rows whose action is nothing are known from the start; their work is the sender's own.
    for (int number : KnownCommands())
        if (IsNothingCommand(number)) RegisterCommand(number, [](const std::string&) {});
    // A forwarded command line acts only through the "-CMP" rule.
    RegisterCallback(ccInstance, [](const std::string&) {});
    RegisterCallback(ccNone, [](const std::string&) {});
}

void TDispatcher::RegisterCallback(int code, TTextHandler handler) { callbacks_[code] = std::move(handler); }
void TDispatcher::RegisterCommand(int number, TTextHandler handler) { commands_[number] = std::move(handler); }
void TDispatcher::AddMenuValidator(std::function<void(int)> validator) { validators_.push_back(std::move(validator)); }

void TDispatcher::ReceiveCommand(int code, const std::string& text) {
    const TRoute route = RouteMessage(code, text);
    switch (route.kind) {
        case TRouteKind::LoadFolder:
            if (OnLoadFolder) OnLoadFolder(route.folder);
            break;
        case TRouteKind::Status:
            SetStatusText(text);
            break;
        case TRouteKind::Ignored:
            break;
        case TRouteKind::Command:
            ExecuteMenuCommand(code, text);
            break;
        case TRouteKind::MenuState:
            ValidateMenu(route.group);
            break;
        case TRouteKind::Callback:
            DispatchCallback(code, text);
            break;
    }
}

void TDispatcher::SetStatusText(const std::string& text) {
    if (Closing || !Status) return;
    const auto status = ParseStatusText(text);
    if (!status) return;
    if (status->target == stCaption) {
        Status->SetCaption(CaptionText(state_, status->text));
        return;
    }
    const int panel = StatusPanelFor(status->target);
    if (panel >= 0) Status->SetPanelText(panel, StatusPanelText(status->target, status->text));
}

void TDispatcher::RunRow(const std::map<int, TTextHandler>& rows, int code, const std::string& text,
                         std::string_view undefined) {
    const auto row = rows.find(code);
    if (row == rows.end()) {
        state_.Messages->ShowMessage(std::string(undefined) + std::to_string(code));
        return;
    }
    // A copy: the handler may register rows (and so replace itself) while it runs.
    const TTextHandler handler = row->second;
    handler(text);
}

void TDispatcher::ExecuteMenuCommand(int number, const std::string& text) {
    if (OnBeforeCommand) OnBeforeCommand(number);
    RunRow(commands_, number, text, "Undefined Command Token: ");
}

void TDispatcher::DoMenuCommand(int number, const std::string& caption) {
    LastMenuCaption = StripAccelerators(caption);
    ExecuteMenuCommand(number, LastMenuCaption);
}

void TDispatcher::DispatchCallback(int code, const std::string& text) {
    ValidateMenu(0);
    RunRow(callbacks_, code, text, "Callback Command Undefined: ");
}

void TDispatcher::ValidateMenu(int number) {
    for (const auto& validator : validators_) validator(number);
}

}  // namespace kelvarn
