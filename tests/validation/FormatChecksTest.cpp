// The value checks by format: each a table of value -> message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "validation/FormatChecks.h"

namespace kelvarn {
namespace {

struct Case {
    const char* value;
    const char* message;
};

template <typename Check>
void ExpectMessages(const char* what, Check check, std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(check(c.value), c.message) << what << ": " << c.value;
}

TEST(FormatChecks, QuotedStrings) {
    ExpectMessages("string", CheckQuotedString,
                   {{"\"abc\"", ""},
                    {"\"\"", ""},
                    {"abc", "Value is not quoted"},
                    {"", "Value is not quoted"},
                    {"\"abc", "Closing quote missing"},
                    {"\"", "Closing quote missing"},
                    {"abc\"", "Opening quote missing"},
                    {"ab\"c", "Value has embedded quotes"},
                    {"x\"abc\"", "Value has embedded quotes"},
                    {"\"abc\"x", "Value has embedded quotes"},
                    {"\"a\"b\"", "Value has embedded quotes"},
                    {"\"a\"\"b\"", "Value has embedded quotes"}});
}

TEST(FormatChecks, Kuids) {
    ExpectMessages("kuid", CheckKuid,
                   {{"<kuid:1234:5678>", ""},
                    {"<kuid2:1234:5678:2>", ""},
                    {"<kuid:-3:10060>", ""},
                    {"<nullkuid>", ""},
                    {"<kuid:2147483647:1>", ""},
                    {"", "No value supplied"},
                    {"\"<kuid:1:2>\"", "Kuid values must not be quoted"},
                    {"<kuid:0:5678>", "Invalid kuid format"},
                    {"<kuid:1234:0>", "Invalid kuid format"},
                    {"<kuid2:1:2:0>", ""},
                    {"<KUID2:520252:100102:0>", ""},
                    {"<KUID:1234:5678>", ""},
                    {"<Kuid2:1:2:3>", ""},
                    {"<KUID2:0:2:0>", "Invalid kuid format"},
                    {"<kuid2:1:2:x>", "Invalid kuid format"},
                    {"<kuid2:1:2>", "Invalid kuid format"},
                    {"<kuid:1:2:3>", "Invalid kuid format"},
                    {"<kuid:a:2>", "Invalid kuid format"},
                    {"<kuid:1:2", "Invalid kuid format"},
                    {"kuid:1:2>", "Invalid kuid format"},
                    {"<NULLKUID>", "Invalid kuid format"},
                    {"<kuid:2147483648:1>", "Invalid kuid format"},
                    {"1234", "Invalid kuid format"}});
}

TEST(FormatChecks, Booleans) {
    ExpectMessages("bool", CheckBool,
                   {{"0", ""},
                    {"1", ""},
                    {"2", "Invalid boolean format"},
                    {"yes", "Invalid boolean format"},
                    {"", "Invalid boolean format"},
                    {"\"1\"", "Boolean values must not be quoted"},
                    {"\"2\"", "Invalid boolean format, Boolean values must not be quoted"}});
}

TEST(FormatChecks, Integers) {
    const auto one = [](std::string_view v) { return CheckInt(v, 1); };
    const auto three = [](std::string_view v) { return CheckInt(v, 3); };
    ExpectMessages("int", one,
                   {{"5", ""},
                    {"-12", ""},
                    {" 7 ", ""},
                    {"2147483647", ""},
                    {"-2147483648", ""},
                    {"2147483648", "Invalid integer format"},
                    {"99999999999", "Invalid integer format"},
                    {"1.5", "Invalid integer format"},
                    {"0x10", "Invalid integer format"},
                    {"$10", "Invalid integer format"},
                    {"", "No value supplied"},
                    {"\"5\"", "Integer values must not be quoted"},
                    {"1,2", "Incorrect number of elements (1)"}});
    ExpectMessages("int,3", three,
                   {{"1,2,3", ""},
                    {" 1 , 2 ,3", ""},
                    {"1,2", "Incorrect number of elements (3)"},
                    {"1,2,3,4", "Incorrect number of elements (3)"},
                    {"1,x,3", "Invalid integer format"},
                    {"1,,3", "Invalid integer format"}});
}

TEST(FormatChecks, FloatsAndFloatLists) {
    const auto one = [](std::string_view v) { return CheckFloat(v, 1); };
    const auto two = [](std::string_view v) { return CheckFloat(v, 2); };
    ExpectMessages("float", one,
                   {{"1.5", ""},
                    {"-0.25", ""},
                    {"3", ""},
                    {"1e3", ""},
                    {" 2.0 ", ""},
                    {"abc", "Invalid floating point format"},
                    {"nan", "Invalid floating point format"},
                    {"", "No value supplied"},
                    {"\"1.0\"", "Floating point values must not be quoted"},
                    // "." is the decimal separator: a comma makes two elements
                    {"1,5", "Incorrect number of elements (1)"}});
    ExpectMessages("float,2", two, {{"0.5,1", ""}, {"0.5", "Incorrect number of elements (2)"}});
    ExpectMessages("floatlist", CheckFloatList,
                   {{"1,2.5,3", ""},
                    {"7", ""},
                    {"", "Invalid floating point format"},
                    {"1,,2", "Invalid floating point format"},
                    {"1,b", "Invalid floating point format"},
                    {"\"1\"", "Floating point values must not be quoted"}});
}

TEST(FormatChecks, Colours) {
    const auto rgb = [](std::string_view v) { return CheckColour(v, 3); };
    const auto rgba = [](std::string_view v) { return CheckColour(v, 4); };
    ExpectMessages("rgb", rgb,
                   {{"255,0,128", ""},
                    {"0, 0, 0", ""},
                    {"256,0,0", "Colour elements should be between 0 and 255"},
                    {"300,0,0", "Colour elements should be between 0 and 255"},
                    {"-1,0,0", "Colour elements should be between 0 and 255"},
                    {"a,0,0", "Colour elements should be between 0 and 255"},
                    {"1,2", "Incorrect number of elements"},
                    {"\"1,2,3\"", "Colour values must not be quoted"}});
    ExpectMessages("rgba", rgba, {{"1,2,3,4", ""}, {"1,2,3", "Incorrect number of elements"}});
}

TEST(FormatChecks, Options) {
    const std::vector<std::string> options = {"2.5=2006", "AU Australia", "  gb", "US"};
    struct Item {
        const char* value;
        bool matches;
    } items[] = {{"2.5", true}, {"au", true}, {"AU", true}, {"gb", true}, {"us", true},
                 {"2006", false}, {"Australia", false}, {"", false}, {" us", false}};
    for (const Item& i : items) EXPECT_EQ(MatchSetItems(i.value, options), i.matches) << i.value;
    EXPECT_EQ(OptionName("2.9=2009"), "2.9");
    EXPECT_EQ(OptionName("1950s"), "1950s");
    EXPECT_FALSE(MatchesOption("", {""}));
}

}  // namespace
}  // namespace kelvarn
