// The script commands of the table builders and config repairs: each hands the bound context to its
// routine (TableBuilders.h) and reports what the routine says.
#include "catalogue/OutlineDocument.h"
#include "validation/ScriptCall.h"
#include "validation/ScriptUnit.h"
#include "validation/TableBuilders.h"

namespace kelvarn {

namespace {

using TRoutine = std::string (*)(TBuilderContext&);

// Without a loaded config there is nothing to build on.
TScriptHandler Handler(TRoutine routine) {
    return [routine](ScriptCall& c) -> std::string {
        if (!c.config || !c.config->Root()) return {};
        TBuilderContext context{c.unit.State(), c.host, *c.config, c.assetFolder, c.unit.ScriptMode()};
        return routine(context);
    };
}

}  // namespace

void RegisterBuilderCommands(TScriptCommands& commands) {
    commands.Register(25, Handler(UpdateCategoryEra));
    commands.Register(26, Handler(UpdateCategoryRegion));
    commands.Register(27, Handler(UpdateKuidTable));
    commands.Register(28, Handler(UpdateUserTags));
    commands.Register(29, Handler(UpdateUsername));
    commands.Register(30, Handler(UpdateAssetFilename));
    commands.Register(31, Handler(UpdateCameraList));
    commands.Register(32, Handler(FixLegacyKuids));
    commands.Register(39, Handler(CreateBogieTable));
    commands.Register(40, [](ScriptCall& c) -> std::string {
        if (!c.config || !c.config->Root()) return {};
        TBuilderContext context{c.unit.State(), c.host, *c.config, c.assetFolder, c.unit.ScriptMode()};
        return CreateMeshTable(context, c.p[1]);
    });
    commands.Register(41, Handler(UpdateThumbnailTable));
}

}  // namespace kelvarn
