// The commands that steer a run: the -case and -select dialogs with their labels, and the loop.
// Jumps set vars.LineIndex to the target line; the runner then adds 1, so the run goes on after it.
// Each returns its message (informational, with the leading ".").
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

struct ScriptCall;

// -case|options|caption opens the dialog; -case|n is a label reached by running into it; -endcase
// passes "-1".
std::string ScriptCase(ScriptCall& call, std::string_view p2, std::string_view p1);
// The same scheme for -select, -select|n labels and -endselect.
std::string ScriptSelect(ScriptCall& call, std::string_view p2, std::string_view p1);
// -foreach|form|argument: file, line, reverse, tag, option or number.
std::string ScriptForEach(ScriptCall& call, std::string_view p2, std::string_view p1);
std::string ScriptEndFor(ScriptCall& call);
std::string ScriptBreak(ScriptCall& call);

}  // namespace kelvarn
