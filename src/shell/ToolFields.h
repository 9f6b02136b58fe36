// A tool line from the settings: caption ¦ start-in folder ¦ command line ¦ show-window value ¦
// output mode ¦ before-action ¦ after-action ¦; "¶" stands for a blank before splitting and "·" for a
// blank inside the command line (the ini file would trim a real one). Menus, the settings and the
// tool runner all read tool lines, so the parse lives here below all of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

struct TToolSpec {
    std::vector<std::string> fields;  // at most 25, split at "¦" by characters
    std::string Field(int number) const;  // 1-based; empty when missing
    std::string Caption() const { return Field(1); }
    std::string Folder() const { return Field(2); }
    std::string CommandLine() const { return Field(3); }
};
TToolSpec ParseToolSpec(std::string_view spec);

}  // namespace kelvarn
