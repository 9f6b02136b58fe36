#include "validation/ui/FileCheckRows.h"

#include "shell/Dispatcher.h"
#include "validation/FileReferences.h"

namespace kelvarn {

void RegisterFileCheckRows(TDispatcher& d, TAssetCheckRunner runner) {
    d.RegisterCommand(1706, [runner = std::move(runner)](const std::string&) {
        runner([](const TAssetCheck& check) { VerifyFiles(check); });
    });
}

}  // namespace kelvarn
