#include <functional>
#include <string>
#include <utility>

#include "catalogue/OutlineDocument.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "validation/ScriptUnit.h"
#include "validation/TableBuilders.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"
#include "validation/ui/ScriptRows.h"

namespace kelvarn {

void RegisterBuilderRows(TDispatcher& dispatcher, TProgramState& state, TScriptEngine& engine) {
    using TRoutine = std::function<std::string(TBuilderContext&)>;
    auto row = [&engine, &state](TRoutine routine) {
        return [&engine, &state, routine = std::move(routine)](const std::string&) {
            engine.Run([&] {
                TOutlineDocument* config = engine.Host().MainOutline();
                if (!config || !config->Root()) return;
                // Every routine may change the config: the user can take it back in one step.
                config->PushUndo();
                TBuilderContext context{state, engine.Host(), *config, state.AssetPath(), false};
                engine.Unit().LogMessage(0, routine(context));
            });
        };
    };
    const std::pair<int, TRoutine> rows[] = {
        {1103, UpdateUserTags},
        {1205, DeleteEmptyTags},
        {1208, [](TBuilderContext& c) { return CreateMeshTable(c, ""); }},
        {1209, CreateBogieTable},
        {1210, UpdateCategoryEra},
        {1211, UpdateCategoryRegion},
        {1212, UpdateKuidTable},
        {1213, UpdateUserTags},
        {1214, UpdateUsername},
        {1215, SetDefaultTrainzBuild},
        {1216, UpdateThumbnailTable},
        {1217, UpdateAssetFilename},
        {1219, FixLegacyKuids},
        {1221, UpdateCameraList},
        {1224, UpdateMeshLibraryTable},
        {1307, AddGroundplane},
        {1308, AddPassengerQueue},
        {1717, AddMandatoryTags},
    };
    for (const auto& [number, routine] : rows) dispatcher.RegisterCommand(number, row(routine));
}

}  // namespace kelvarn
