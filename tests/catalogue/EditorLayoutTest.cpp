#include <gtest/gtest.h>

#include "catalogue/EditorLayout.h"
#include "catalogue/OutlineDocument.h"
#include "ConfigTestSupport.h"

namespace kelvarn {
namespace {

TEST(EditorSize, DecodesWidthTimesThousandPlusHeight) {
    struct Case { int size; bool keep; int width; int height; };
    for (const Case& c : {Case{400090, false, 400, 90}, Case{640281, false, 640, 281}, Case{600155, false, 600, 155},
                          Case{-1, true, 0, 0}, Case{-600155, true, 0, 0}}) {
        const TEditorSize s = DecodeEditorSize(c.size);
        EXPECT_EQ(s.keep, c.keep) << c.size;
        EXPECT_EQ(s.width, c.width) << c.size;
        EXPECT_EQ(s.height, c.height) << c.size;
    }
}

TEST(EditorSize, SectionWidthRules) {
    TSectionFacts facts;
    facts.present = {90, 200, 40, 300, 500};
    facts.bControlWidth = 60;
    facts.messageWidth = 210;
    facts.numberElements = 3;
    struct Case {
        const char* what;
        std::array<int, kEditorSections> pages;
        std::array<int, kEditorSections> widths;
        std::array<int, kEditorSections> expected;
    };
    const Case cases[] = {
        {"keep present + 8", {0, 1, 1, 4, 3}, {-2, -2, -2, -2, -2}, {98, 208, 48, 308, 508}},
        {"defaults; B from its control, D and E fill", {0, 1, 1, 4, 3}, {-1, -1, -1, -1, -1}, {100, 125, 50, 0, 0}},
        {"message page from its label", {0, -1, -1, 0, -1}, {-1, -1, -1, -1, -1}, {100, 125, 50, 218, 0}},
        {"image pages take no width", {0, -1, -1, 2, -1}, {-1, -1, -1, -1, -1}, {100, 125, 50, 0, 0}},
        {"number list: 84 per element + 8", {0, -1, -1, 5, -1}, {-1, -1, -1, -1, -1}, {100, 125, 50, 260, 0}},
        {"B and E from 1 to 124 become 125", {0, 1, 1, 4, 3}, {10, 1, 10, 10, 124}, {10, 125, 10, 10, 125}},
        {"zero stays zero; 125 and up stay", {0, 1, 1, 4, 3}, {0, 0, 0, 0, 126}, {0, 0, 0, 0, 126}},
    };
    for (const Case& c : cases) EXPECT_EQ(SectionWidths(c.pages, c.widths, facts), c.expected) << c.what;

    facts.bControlWidth = 300;  // a long name: B as wide as it needs
    EXPECT_EQ(SectionWidths({0, 1, 1, 4, 3}, {-1, -1, -1, -1, -1}, facts)[esB], 308);
    facts.numberElements = 6;
    EXPECT_EQ(SectionWidths({0, -1, -1, 5, -1}, {-1, -1, -1, -1, -1}, facts)[esD], 512);
}

TEST(EditorSize, LooksUpUserTagsAmongTheExtensions) {
    test::ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    const std::string folder = bed.Asset("a", "kind \"scenery\"\r\nmy-tag \"outside\"\r\n"
                                              "extensions\r\n{\r\n  my-tag-123 \"defined\"\r\n"
                                              "  my-table-123\r\n  {\r\n    0 \"x\"\r\n  }\r\n}\r\n");
    ASSERT_EQ(doc.LoadConfig(folder), "");
    EXPECT_NE(LookupTagDefinition(doc.Root(), "my-tag-123").find("defined"), std::string::npos);
    EXPECT_EQ(LookupTagDefinition(doc.Root(), "MY-TABLE-123"), "my-table-123");
    EXPECT_EQ(LookupTagDefinition(doc.Root(), "my-tag"), "") << "only the extensions define user tags";
    EXPECT_EQ(LookupTagDefinition(doc.Root(), ""), "");
    EXPECT_EQ(LookupTagDefinition(nullptr, "my-tag-123"), "");
}

}  // namespace
}  // namespace kelvarn
