#include "validation/ui/CheckRows.h"

#include "catalogue/OutlineDocument.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "validation/TextureRepair.h"

namespace kelvarn {

void RegisterRepairTexturesRow(TDispatcher& dispatcher, TProgramState& state, TOutlineDocument& outline) {
    dispatcher.RegisterCommand(1222, [&state, &outline](const std::string&) {
        if (state.AssetPath().empty()) return;
        RepairTexturesAndLog(state, outline, state.AssetPath());
    });
}

}  // namespace kelvarn
