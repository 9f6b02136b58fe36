#include "validation/ui/FileCheckRows.h"

#include "catalogue/OutlineDocument.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "validation/FileReferences.h"
#include "validation/TextureRepair.h"

namespace kelvarn {

void RegisterFileCheckRows(TDispatcher& d, TAssetCheckRunner runner) {
    d.RegisterCommand(1706, [runner = std::move(runner)](const std::string&) {
        runner([](const TAssetCheck& check) { VerifyFiles(check); });
    });
}

void RegisterRepairTexturesRow(TDispatcher& dispatcher, TProgramState& state, TOutlineDocument& outline) {
    dispatcher.RegisterCommand(1222, [&state, &outline](const std::string&) {
        if (state.AssetPath().empty()) return;
        RepairTexturesAndLog(state, outline, state.AssetPath());
    });
}

}  // namespace kelvarn
