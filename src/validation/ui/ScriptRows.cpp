#include "validation/ui/ScriptRows.h"

#include <functional>
#include <string>
#include <utility>

#include "catalogue/OutlineDocument.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "validation/ObsoleteTags.h"
#include "validation/ScriptFileCommands.h"
#include "validation/ScriptSettingsCommands.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"

namespace kelvarn {

namespace {

// The current asset's config, after its undo point; null without a loaded asset.
TOutlineDocument* UndoableConfig(TScriptEngine& engine) {
    TOutlineDocument* config = engine.Host().MainOutline();
    if (!config || !config->Root()) return nullptr;
    config->PushUndo();
    return config;
}

}  // namespace

void RegisterScriptFileRows(TDispatcher& dispatcher, TProgramState& state, TScriptEngine& engine) {
    auto row = [&engine](std::function<std::string()> routine) {
        return [&engine, routine = std::move(routine)](const std::string&) {
            engine.Run([&] { engine.Unit().LogMessage(0, routine()); });
        };
    };
    dispatcher.RegisterCommand(1206, row([&engine, &state] {
        TOutlineDocument* config = UndoableConfig(engine);
        return config ? DeleteObsoleteTags(state, engine.Host(), *config, false) : std::string();
    }));
    dispatcher.RegisterCommand(1223, row([&engine, &state] {
        return RepairWaves(state, engine.Host(), state.AssetPath());
    }));
    for (const auto& [number, tool] : {std::pair<int, const char*>{1320, "Meshwright"}, {1321, "Texwright"}}) {
        dispatcher.RegisterCommand(number, row([&engine, &state, name = std::string(tool)] {
            TOutlineDocument* config = UndoableConfig(engine);
            return RunExternalTool(state, engine.Host(), config, state.AssetPath(), name, "", "", false);
        }));
    }
}

}  // namespace kelvarn
