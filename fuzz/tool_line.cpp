// A tool line from the settings on any bytes: it splits into at most 25 fields, its numbers are read
// or refused with a message, and its command line splits into arguments (macros expanded into each)
// without ever joining two arguments or losing one.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/ToolRunner.h"
#include "shell/ProgramState.h"
#include "shell/RunCommand.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelvarn::TProgramState state;
    static const bool once = [] {
        state.ProgramFolder = "/program/";
        state.SetAssetPath("/assets/one");
        state.SetAssetFileName("a b;$(x).tga");
        state.Environment = [](const std::string&) { return std::string("env value"); };
        return true;
    }();
    (void)once;
    const std::string text = kelvarn::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size)).text;
    const kelvarn::TToolSpec spec = kelvarn::ParseToolSpec(text);
    if (spec.fields.empty() || spec.fields.size() > 25) std::abort();
    kelvarn::TToolNumbers numbers;
    const std::string error = kelvarn::ReadToolNumbers(spec, numbers);
    if (!error.empty() && error.find("field") == std::string::npos) std::abort();
    const std::vector<std::string> split = kelvarn::SplitCommandLine(spec.CommandLine());
    for (const std::string& argument : split)
        if (argument.find('"') != std::string::npos) std::abort();
    const std::vector<std::string> arguments = kelvarn::CommandArguments(state, spec.CommandLine());
    // The split comes first: expanding macros never changes how many arguments there are.
    const std::string blanked =
        kelvarn::ReplaceAll(kelvarn::ReplaceAll(spec.CommandLine(), kelvarn::kPilcrow, " "), kelvarn::kMiddleDot, " ");
    if (arguments.size() != kelvarn::SplitCommandLine(blanked).size()) std::abort();
    return 0;
}
