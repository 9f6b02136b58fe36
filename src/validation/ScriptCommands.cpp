#include "validation/ScriptCall.h"
#include "validation/ScriptCommandTable.h"

namespace kelvarn {

void TScriptCommands::Register(int command, TScriptHandler handler) {
    if (command > 0 && command < kInvalidCommand) handlers_[static_cast<std::size_t>(command)] = std::move(handler);
}

const TScriptHandler* TScriptCommands::Find(int command) const {
    if (command <= 0 || command >= kInvalidCommand) return nullptr;
    const TScriptHandler& handler = handlers_[static_cast<std::size_t>(command)];
    return handler ? &handler : nullptr;
}

std::vector<int> TScriptCommands::Unregistered() const {
    std::vector<int> missing;
    for (int i = 1; i < kInvalidCommand; ++i)
        if (!Find(i)) missing.push_back(i);
    return missing;
}

// The one list of command families.
void RegisterScriptCommands(TScriptCommands& commands) {
    RegisterFlowCommands(commands);
    RegisterRunnerCommands(commands);
    RegisterConfigEditCommands(commands);
    RegisterMemoryCommands(commands);
    RegisterSettingsCommands(commands);
    RegisterFileCommands(commands);
    RegisterBuilderCommands(commands);
}

}  // namespace kelvarn
