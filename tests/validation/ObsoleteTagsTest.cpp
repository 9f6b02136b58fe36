// Delete Obsolete Tags on a small set of tag definitions of our own: the legacy question, the build
// window, what a batch keeps and says, and that a missing definition file deletes nothing.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "catalogue/OutlineWiring.h"
#include "shell/Files.h"
#include "shell/Strings.h"
#include "validation/ObsoleteTags.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kTags =
    "<TAGSPEC>\n"
    "  <KIND><scenery inherit=\"SCENERY\"/></KIND>\n"
    "  <USER-TAGS><extensions format=\"container\"><user-tag format=\"user-tag\"/></extensions></USER-TAGS>\n"
    "  <BASE-ASSET>\n"
    "    <kuid format=\"kuid\" quoted=\"0\"/>\n"
    "    <kind format=\"string\" quoted=\"1\"/>\n"
    "    <username format=\"string\" quoted=\"1\"/>\n"
    "    <old-tag format=\"string\" quoted=\"1\" introduced=\"2.0\" obsolete=\"3.0\"/>\n"
    "    <new-tag format=\"string\" quoted=\"1\" introduced=\"3.5\"/>\n"
    "    <box format=\"container\"><inner format=\"string\" quoted=\"1\"/></box>\n"
    "  </BASE-ASSET>\n"
    "  <SCENERY><light format=\"string\" quoted=\"1\"/></SCENERY>\n"
    "  <LEGACY><asset-filename/><night/><missing-legacy/></LEGACY>\n"
    "</TAGSPEC>\n";

constexpr std::string_view kConfig =
    "kuid <kuid:1:2>\r\n"
    "kind \"scenery\"\r\n"
    "username \"Shed\"\r\n"
    "old-tag \"x\"\r\n"
    "new-tag \"y\"\r\n"
    "bogus \"z\"\r\n"
    "Asset-Filename \"shed\"\r\n"
    "night \"shed_night\"\r\n"
    "box\r\n{\r\n  inner \"i\"\r\n  stray \"s\"\r\n}\r\n"
    "extensions\r\n{\r\n  anything-1 \"keep\"\r\n}\r\n";

struct ObsoleteBed : ScriptBed {
    std::unique_ptr<TOutlineWiring> wiring;
    std::string asset;
    explicit ObsoleteBed(bool withTags = true) : ScriptBed(false) {
        if (withTags) WriteBytes(Program() + "/bin/tags.xml", kTags);
        wiring = std::make_unique<TOutlineWiring>(state, *main, false);
        asset = SelectAsset("asset", kConfig);
    }
    Lines Names() const {
        Lines names;
        for (const TOutlineNode* n = main->Root()->NextRow(); n; n = n->NextRow()) names.push_back(main->NodePath(n));
        return names;
    }
};

TEST(ObsoleteTags, BuildWindowAndTheLegacyQuestion) {
    struct Case {
        int build;
        std::deque<std::string> answers;
        Lines kept;
    };
    const std::vector<Case> cases = {
        {35, {"yes", "no"},
         {"config.txt\\kuid", "config.txt\\kind", "config.txt\\username", "config.txt\\new-tag", "config.txt\\night",
          "config.txt\\box\\", "config.txt\\box\\inner", "config.txt\\extensions\\",
          "config.txt\\extensions\\anything-1"}},
        {25, {"no", "yes"},
         {"config.txt\\kuid", "config.txt\\kind", "config.txt\\username", "config.txt\\old-tag",
          "config.txt\\asset-filename", "config.txt\\box\\", "config.txt\\box\\inner", "config.txt\\extensions\\",
          "config.txt\\extensions\\anything-1"}},
    };
    for (const Case& c : cases) {
        ObsoleteBed bed;
        bed.state.SetActiveBuild(c.build);
        bed.host.answers = c.answers;
        EXPECT_EQ(DeleteObsoleteTags(bed.state, bed.host, *bed.main, false), "");
        EXPECT_EQ(bed.Names(), c.kept) << c.build;
        Lines asked;
        for (const std::string& line : bed.host.log)
            if (StartsWith(line, "confirm")) asked.push_back(line);
        EXPECT_EQ(asked, (Lines{"confirm 'asset-filename' may be required for correct operation. \r\rDelete Tag? -> " +
                                    std::string(c.answers[0] == "yes" ? "yes" : "no"),
                                "confirm 'night' may be required for correct operation. \r\rDelete Tag? -> " +
                                    std::string(c.answers[1] == "yes" ? "yes" : "no")}));
        EXPECT_TRUE(bed.main->Modified());
    }
}

TEST(ObsoleteTags, ABatchAsksNothingAndKeepsTheLegacyTags) {
    ObsoleteBed bed;
    bed.state.SetActiveBuild(35);
    EXPECT_EQ(DeleteObsoleteTags(bed.state, bed.host, *bed.main, true),
              "Legacy tags\r\n\t'asset-filename' may be required for correct operation. Tag has been retained."
              "\r\n\t'night' may be required for correct operation. Tag has been retained.");
    const Lines names = bed.Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "config.txt\\asset-filename"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "config.txt\\bogus"), names.end());
    for (const std::string& line : bed.host.log) EXPECT_FALSE(StartsWith(line, "confirm")) << line;
}

TEST(ObsoleteTags, NoDefinitionsDeleteNothing) {
    for (const char* tags : {"", "<TAGSPEC><unclosed></TAGSPEC>"}) {
        ObsoleteBed bed(false);
        if (*tags) WriteBytes(bed.Program() + "/bin/tags.xml", tags);
        const Lines before = bed.Names();
        const std::string message = DeleteObsoleteTags(bed.state, bed.host, *bed.main, false);
        EXPECT_TRUE(ContainsStr(message, "tags.xml")) << message;
        EXPECT_EQ(bed.Names(), before);
        EXPECT_FALSE(bed.main->Modified());
    }
}

TEST(ObsoleteTags, ClearInvalidTakesASnapshotFirst) {
    ObsoleteBed bed;
    bed.state.SetActiveBuild(35);
    const std::string before = bed.main->ConfigFileText();
    bed.host.answers = {"yes", "yes"};
    bed.Run("-clear|invalid");
    EXPECT_NE(bed.main->ConfigFileText(), before);
    ASSERT_TRUE(bed.main->UndoLastChange());
    EXPECT_EQ(bed.main->ConfigFileText(), before);
}

}  // namespace
}  // namespace kelvarn::test
