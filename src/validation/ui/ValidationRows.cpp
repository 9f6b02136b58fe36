#include "validation/ui/ValidationRows.h"

#include "catalogue/AssetCheck.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"

namespace kelvarn {

TFormatSet ValidationFormats(int number) {
    switch (number) {
        case 1701:
        case 1716: return AllFormats();
        case 1707:
        case 1708: return SyntaxFormats();
        case 1709: return PointFormats();
        default: return {};
    }
}

void RegisterValidationRows(TDispatcher& d, const TWalnut& walnut, TAssetCheckRunner runner) {
    for (int number : {1701, 1707, 1708, 1709, 1716}) {
        d.RegisterCommand(number, [number, &walnut, runner](const std::string&) {
            runner([&](const TAssetCheck& check) {
                TVerifyRequest request;
                request.Formats = ValidationFormats(number);
                request.Progress = [&check](std::size_t done, std::size_t total) {
                    check.Step(done, total);
                    return check.KeepGoing();
                };
                const TVerifyReport report = VerifyConfig(check.State, check.Document, walnut, check.AssetFolder, request);
                if (!report.LogError.empty()) check.State.Messages->ShowMessage(report.LogError, "", MessageKind::Warning);
            });
        });
    }
}

}  // namespace kelvarn
