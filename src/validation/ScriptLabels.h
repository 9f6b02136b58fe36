// Where the jumps of a script land: the lines holding "-endfor", "-endcase" and "-endselect", the
// -case labels and the -select label digits. Built once per run from the lower-cased lines, so a
// jump inside a loop costs a look-up, not a scan of the script.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TScriptLabels {
public:
    explicit TScriptLabels(const std::vector<std::string>& lines);

    // The first line at or after `from` containing "-endfor" (resp. "-endcase", "-endselect"), -1
    // when there is none.
    int NextEndFor(int from) const { return Next(endFor_, from); }
    int NextEndCase(int from) const { return Next(endCase_, from); }
    int NextEndSelect(int from) const { return Next(endSelect_, from); }
    // The first line at or after `from` holding "-case|" followed by the decimal `choice` and no
    // further digit.
    int NextCaseLabel(int from, int choice) const;
    // The first line at or after `from` whose -select label digit (the first character after the
    // first "-select|" of the trimmed line) is 1 to 9 and checked; -1 when there is none.
    int NextSelectLabel(int from, const std::vector<bool>& checked) const;

private:
    static int Next(const std::vector<int>& next, int from);
    static int FirstAtOrAfter(const std::vector<int>& sorted, int from);

    std::vector<int> endFor_, endCase_, endSelect_;  // per line: the next such line, -1 for none
    std::map<std::string, std::vector<int>, std::less<>> caseLabels_;  // digits after "-case|" -> lines
    std::array<std::vector<int>, 10> selectLabels_;  // digit -> lines
};

}  // namespace kelvarn
