#include <gtest/gtest.h>

#include "shell/Text.h"
#include "shell/ToolFields.h"

namespace kelvarn {
namespace {

const std::string kBar(kBrokenBar);

// A tool line from its fields, each followed by "¦".
std::string Spec(const std::vector<std::string>& fields) {
    std::string spec;
    for (const std::string& f : fields) spec += f + kBar;
    return spec;
}

TEST(ToolSpec, SplitsAtBrokenBarsByCharacter) {
    struct Case {
        std::string spec;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {Spec({"Open", "", "\"%pfe%\"", "1", "0", "0", "0"}), {"Open", "", "\"%pfe%\"", "1", "0", "0", "0", ""}},
        // "¶" is a blank before splitting; "·" stays for the command line's expansion.
        {Spec({"A\xC2\xB6" "B", "x", "prog\xC2\xB7-v"}), {"A B", "x", "prog\xC2\xB7-v", ""}},
        // Characters whose UTF-8 bytes hold 0xA6 are not bars: "Ŧ" is C5 A6.
        {Spec({"\xC5\xA6", "y"}), {"\xC5\xA6", "y", ""}},
        {"", {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseToolSpec(c.spec).fields, c.fields) << c.spec;
    // At most 25 fields.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "f" + kBar;
    EXPECT_EQ(ParseToolSpec(many).fields.size(), 25u);
}

}  // namespace
}  // namespace kelvarn
