// Tag validation on the fixture definition: what each node's check reports, the file and point
// checks, the option sources, and the report VerifyConfig logs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/SourceList.h"
#include "support/MeshFileBuilder.h"
#include "validation/FileChecks.h"
#include "validation/TagValidation.h"
#include "ValidationTestSupport.h"

namespace kelvarn {
namespace {

using test::ValidationBed;
using Lines = std::vector<std::string>;

const std::string kHead = "kind \"checks\"\r\nkuid <kuid:1:2>\r\ntrainz-build 2.9\r\n";

// An asset with a mesh table of every kind: a plain mesh with effects, a level-of-detail mesh, an
// entry from a mesh library, and an entry whose attachment parent has no mesh.
const std::string kMeshes = kHead + R"(mesh-table
{
  default
  {
    mesh "body/body.im"
    auto-create 1
    att "a.top"
    effects
    {
      lamp0
      {
        kind "corona"
        att "a.lamp"
        texture "glow.texture"
        glow "halo.tga"
      }
    }
  }
  lod
  {
    mesh "lod/lod.lm"
    att "a.lod"
  }
  child
  {
    att-parent "lod"
    att "a.child"
  }
  orphan
  {
    att-parent "nothing"
    att "a.orphan"
  }
  library
  {
    mesh-asset <kuid:5:6>
    mesh "lib.im"
    anim "lib.kin"
    att "a.lib"
  }
  marker
  {
    spot "a.spot"
  }
}
lamp0
{
  attachment "a.lamp0"
}
)";

std::string TagLine(ValidationBed& bed, std::string_view path, int build = 29) {
    const TOutlineNode* node = bed.doc.FindNodeByPath(path);
    EXPECT_NE(node, nullptr) << path;
    return CheckTag(bed.Context(build), node);
}

TEST(CheckTags, EachFormatReportsItsFaults) {
    struct Case {
        const char* line;
        const char* expected;
    } cases[] = {
        {"label \"fine\"", ""},
        {"label fine", "[label fine] Value is not quoted"},
        {"label \"\"", ""},  // an optional text left empty
        {"count \"\"", "[count \"\"] Integer values must not be quoted"},
        {"identifier \"\"", "[identifier \"\"] Tag is empty"},
        {"notes \"abcdefghijklmn\"pqrstuvwxyz12\"", "[notes \"abcdefghijklmn...\"] Value has embedded quotes"},
        {"region-kuid <kuid:12:34>", ""},
        {"region-kuid <kuid:0:34>", "[region-kuid <kuid:0:34>] Invalid kuid format"},
        {"flag 1", ""},
        {"flag 2", "[flag 2] Invalid boolean format"},
        {"flag \"1\"", "[flag \"1\"] Boolean values must not be quoted"},
        {"number 1,2,3", ""},
        {"number 1,2", "[number 1,2] Incorrect number of elements (3)"},
        {"number 1,2,2147483648", "[number 1,2,2147483648] Invalid integer format"},
        {"ratio 0.75", ""},
        {"ratio 0,75", "[ratio 0,75] Incorrect number of elements (1)"},
        {"curve 1,2.5,-3", ""},
        {"curve 1,x", "[curve 1,x] Invalid floating point format"},
        {"colour 255,255,0", ""},
        {"colour 300,0,0", "[colour 300,0,0] Colour elements should be between 0 and 255"},
        {"tint 1,2,3", "[tint 1,2,3] Incorrect number of elements"},
        {"shade 10,20,30", ""},
        {"build-name 2.9", ""},
        {"build-name 3.0", "[build-name 3.0] Data does not match any valid option"},
        {"effect-kind \"Corona\"", ""},
        {"effect-kind \"fire\"", "[effect-kind \"fire\"] Data does not match any valid option"},
        {"effect-kind corona", "[effect-kind corona] Value is not quoted"},
        {"no-list \"x\"", "[no-list \"x\"] Source data not found, unable to validate"},
        {"no-source \"x\"", "[no-source \"x\"] Source data not found, unable to validate"},
        {"category-region \"AU;GB\"", ""},
        {"category-region \"00\"", ""},
        {"category-region \"au\"", ""},
        {"category-region \"00;AU\"", "[category-region \"00;AU\"] Code 00 cannot be mixed with other region codes"},
        {"category-region \";AU\"", "[category-region \";AU\"] Items are incorrectly separated"},
        {"category-region \"AU;\"", "[category-region \"AU;\"] Items are incorrectly separated"},
        {"category-region \"AU;XX\"", "[category-region \"AU;XX\"] An item is empty or does not match any option"},
        {"category-region \"AU;;GB\"", "[category-region \"AU;;GB\"] An item is empty or does not match any option"},
        {"category-region AU", "[category-region AU] Value is not quoted"},
        {"category-era \"1950s;2000s\"", ""},
        {"category-era \"1955\"", "[category-era \"1955\"] An item is empty or does not match any option"},
        {"category-keyword \"fast;red\"", ""},
        {"category-keyword \"fast,red\"", "[category-keyword \"fast,red\"] Comma delimiters found, use semicolons"},
        {"identifier \"anything\"", ""},
        {"retired 1", "[retired 1] Tag is invalid in this build"},
        {"coming 1", "[coming 1] Tag is invalid in this build"},
        {"nonsense 1", "[nonsense 1] Tag is invalid in this context"},
        {"Flag 3", "[flag 3] Invalid boolean format"},
    };
    for (const Case& c : cases) {
        ValidationBed bed;
        bed.Load(kHead + c.line + "\r\n");
        const std::string name = TagName(c.line);
        EXPECT_EQ(TagLine(bed, name), c.expected) << c.line;
    }
}

TEST(CheckTags, TheTrainzBuildMustBeTheActiveBuild) {
    ValidationBed bed;
    bed.Load(kHead);
    bed.state.SetActiveBuild(29);
    EXPECT_EQ(TagLine(bed, "trainz-build"), "");
    bed.state.SetActiveBuild(35);
    EXPECT_EQ(TagLine(bed, "trainz-build", 35), "[trainz-build 2.9] Trainz-Build does not match requested build");
}

TEST(CheckTags, BuildRanges) {
    struct Case {
        const char* introduced;
        const char* obsolete;
        int build;
        bool inRange;
    } cases[] = {
        {"", "", 25, true},       {"", "2.9", 29, false},  {"", "2.9", 28, true},     {"3.5", "", 34, false},
        {"3.5", "", 35, true},    {"", "0", 255, true},    {"2.5", "2.5", 25, false}, {"3.0", "2.5", 27, false},
        {"&2.9", "", 29, true},   {"junk", "", 0, true},
    };
    for (const Case& c : cases) {
        TTagSpec spec;
        spec.Introduced = c.introduced;
        spec.Obsolete = c.obsolete;
        EXPECT_EQ(InBuildRange(spec, c.build), c.inRange) << c.introduced << "-" << c.obsolete << " at " << c.build;
    }
    ValidationBed bed;
    bed.Load(kHead + "retired 1\r\n");
    EXPECT_EQ(TagLine(bed, "retired", 28), "");
}

TEST(CheckTags, SkippedNodes) {
    ValidationBed bed;
    bed.Load(kHead + "extensions\r\n{\r\n  junk-123\r\n  {\r\n    anything \"x\"\r\n  }\r\n}\r\n;nonsense 1\r\nflag 7\r\n");
    bed.doc.ToggleMark(bed.doc.FindNodeByPath("flag"), tmDelete, false);
    for (const char* path : {"extensions", "extensions\\junk-123", "extensions\\junk-123\\anything", "flag"})
        EXPECT_EQ(TagLine(bed, path), "") << path;
    const TVerifyReport report = bed.Validate(kHead + ";nonsense 1\r\n");
    EXPECT_EQ(report.Lines, Lines{"\tNo problems found"});
}

// A kuid-table may be empty; any other container is empty only by a fault: an empty mesh-table
// shows nothing, though its entries take any name.
TEST(CheckTags, EmptyContainers) {
    ValidationBed bed;
    bed.Load(kHead + "lamp0\r\n{\r\n}\r\nkuid-table\r\n{\r\n}\r\nproducts\r\n{\r\n}\r\n"
                     "mesh-table\r\n{\r\n  default\r\n  {\r\n  }\r\n}\r\n");
    EXPECT_EQ(TagLine(bed, "lamp0"), "[lamp0\\ ] Container is empty");
    EXPECT_EQ(TagLine(bed, "products"), "[products\\ ] Container is empty");
    EXPECT_EQ(TagLine(bed, "mesh-table\\default"), "[mesh-table\\default\\ ] Container is empty");
    EXPECT_EQ(TagLine(bed, "kuid-table"), "");
    bed.Load(kHead + "mesh-table\r\n{\r\n}\r\n");
    EXPECT_EQ(TagLine(bed, "mesh-table"), "[mesh-table\\ ] Container is empty");
}

TEST(CheckTags, AnUnknownContainerIsReportedOnceNotEachOfItsContents) {
    ValidationBed bed;
    const std::string config = kHead +
                               "colours\r\n{\r\n  body\r\n  {\r\n    red 1\r\n  }\r\n  roof 2\r\n}\r\n"
                               "lamp0\r\n{\r\n  glare 3\r\n}\r\n";
    const TVerifyReport report = bed.Validate(config);
    EXPECT_EQ(report.Lines, (Lines{"\t[colours\\ ]", "\t\t Tag is invalid in this context", "\t[lamp0\\glare 3]",
                                   "\t\t Tag is invalid in this context"}));
    EXPECT_TRUE(bed.doc.FindNodeByPath("colours")->HasFlag(nfError));
    for (const char* path : {"colours\\body", "colours\\body\\red", "colours\\roof"}) {
        EXPECT_EQ(TagLine(bed, path), "") << path;
        EXPECT_FALSE(bed.doc.FindNodeByPath(path)->HasFlag(nfError)) << path;
    }
}

TEST(CheckTags, TheWholeWalkAndASingleCheckAgree) {
    ValidationBed bed;
    bed.File("body/Body.im");
    bed.Validate(kMeshes + "colours\r\n{\r\n  body\r\n  {\r\n    red 1\r\n  }\r\n}\r\nflag 2\r\n"
                           "lamp1\r\n{\r\n  glare\r\n  {\r\n    size 3\r\n  }\r\n}\r\n");
    std::size_t faults = 0;
    for (const TOutlineNode* node = bed.doc.Root()->NextRow(); node; node = node->NextRow()) {
        const std::string line = CheckTag(bed.Context(29), node);
        const bool fault = !line.empty() && line[0] != '.';
        faults += fault;
        EXPECT_EQ(node->HasFlag(nfError), fault) << bed.doc.NodePath(node) << ": " << line;
    }
    EXPECT_GE(faults, 4u);
}

// --- files and points

struct MeshBed : ValidationBed {
    MeshBed() {
        File("body/Body.im");
        File("body/halo.tga");
        File("lod/lod.lm.txt",
             "version 1.0\r\nmesh(\"10\") {\r\n  name=\"lod/lod0.im\";\r\n}\r\nmesh(\"20\") {\r\n  name=\"lod/lod1.im\";\r\n}\r\n");
        Load(kMeshes);
    }
};

TEST(CheckFiles, FilesNamedByTheConfigMustExist) {
    struct Case {
        const char* line;
        const char* onDisk;  // a file written before the check, "" for none
        const char* expected;
    } cases[] = {
        {"picture \"x.tga\"", "", ""},
        {"picture \"x.texture\"", "", "[picture \"x.texture\"] File not found: x.texture.txt"},
        {"picture \"x.texture\"", "x.texture.txt", ""},
        {"picture \"x.texture\"", "x.texture", ""},
        {"picture \"Maps/X.texture\"", "maps/x.TEXTURE.txt", ""},
        {"picture \"\"", "", "[picture \"\"] Filename not specified"},
        {"picture x.texture", "", "[picture x.texture] Value is not quoted"},
        {"image \"y.texture\"", "y.texture.txt", ""},
        {"image \"y.texture\"", "", "[image \"y.texture\"] File not found: y.texture.txt"},
        {"script \"missing.texture\"", "", ""},
        {"sound \"Horn.WAV\"", "horn.wav", ""},
        {"sound \"horn.wav\"", "HORN.wav", ""},
        {"sound \"Sounds/Horn.wav\"", "", "[sound \"Sounds/Horn.wav\"] File not found: sounds\\horn.wav"},
        {"model \"lod/lod.lm\"", "lod/lod.lm.txt", ""},
        {"model \"lod/lod.lm\"", "lod/lod.lm", "[model \"lod/lod.lm\"] File not found: lod\\lod.lm.txt"},
    };
    for (const Case& c : cases) {
        ValidationBed bed;
        if (*c.onDisk) bed.File(c.onDisk);
        bed.Load(kHead + c.line + "\r\n");
        EXPECT_EQ(TagLine(bed, TagName(c.line)), c.expected) << c.line << " with " << c.onDisk;
    }
}

TEST(CheckFiles, MeshTablesEffectsAndLibraries) {
    MeshBed bed;
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"mesh-table\\default\\mesh", ""},  // body/Body.im: the case differs on disk
        {"mesh-table\\library\\mesh", ""},  // a mesh library's meshes are not ours to check
        {"mesh-table\\library\\anim", ""},
        {"mesh-table\\default\\effects\\lamp0\\glow", ""},  // beside the entry's mesh: body/halo.tga
        {"mesh-table\\default\\effects\\lamp0\\texture", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TagLine(bed, c.path), c.expected) << c.path;

    DeleteFilePath(bed.asset + "/body/halo.tga");
    EXPECT_EQ(TagLine(bed, "mesh-table\\default\\effects\\lamp0\\glow"),
              "[mesh-table\\default\\effects\\lamp0\\glow \"halo.tga\"] File not found: body\\halo.tga");
    DeleteFilePath(bed.asset + "/body/Body.im");
    EXPECT_EQ(TagLine(bed, "mesh-table\\default\\mesh"),
              "[mesh-table\\default\\mesh \"body/body.im\"] File not found: body\\body.im");
}

TEST(CheckPoints, TheMeshHoldingThePoint) {
    MeshBed bed;
    struct Case {
        const char* path;
        int build;
        const char* expected;
        const char* reference;
    } cases[] = {
        {"mesh-table\\default\\att", 29, "", "a.top=body/body.im"},
        {"mesh-table\\default\\effects\\lamp0\\att", 29, "", "a.lamp=body/body.im"},
        {"mesh-table\\lod\\att", 29, "", "a.lod=body/body.im"},
        {"mesh-table\\child\\att", 29, "", "a.child=lod/lod0.im"},
        {"mesh-table\\orphan\\att", 29, "Cannot find mesh containing point", ""},
        {"mesh-table\\library\\att", 29, ".Asset uses a mesh library, unable to verify this node", ""},
        {"mesh-table\\library\\att", 28, "", "a.lib=body/body.im"},
        {"mesh-table\\marker\\spot", 29, "", "a.spot="},
        {"lamp0\\attachment", 29, "", "a.lamp0=body/body.im"},
    };
    for (const Case& c : cases) {
        const TOutlineNode* node = bed.doc.FindNodeByPath(c.path);
        ASSERT_NE(node, nullptr) << c.path;
        bool found = false;
        const TTagSpec spec = bed.walnut.FindSpecNode(bed.doc.NodePath(node), found);
        ASSERT_TRUE(found) << c.path;
        std::string reference;
        EXPECT_EQ(CheckPoint(bed.Context(c.build), node, TagValue(node->Text()), spec, reference), c.expected)
            << c.path;
        EXPECT_EQ(reference, c.reference) << c.path;
    }
    EXPECT_EQ(TagLine(bed, "mesh-table\\library\\att"),
              ".[mesh-table\\library\\att \"a.lib\"] Asset uses a mesh library, unable to verify this node");

    DeleteFilePath(bed.asset + "/lod/lod.lm.txt");
    EXPECT_EQ(TagLine(bed, "mesh-table\\child\\att"),
              "[mesh-table\\child\\att \"a.child\"] Unable to read mesh file: lod\\lod.lm.txt");
}

// --- option sources

TEST(SourceLists, FourSources) {
    ValidationBed bed;
    bed.Load(kMeshes);
    struct Case {
        const char* source;
        bool found;
        Lines list;
    } cases[] = {
        {"$EFFECT-KINDS", true, {"smoke", "name", "corona"}},
        {"$NO-SUCH-ELEMENT", false, {}},
        {"%tetdata%\\category-era.txt", true, {"1940s", "1950s", "1960s", "1970s", "2000s"}},
        {"%tetdata%\\missing.txt", false, {}},
        {"+mesh-table", true, {"default", "lod", "child", "orphan", "library", "marker"}},
        {"+\\mesh-table\\lod", true, {"mesh", "att"}},
        {"+nothing", false, {}},
        {"@Builds", true, {"2.5=x", "2.9=x", "3.5=x"}},
        {"@NoSection", false, {}},
        {"", false, {}},
        {"#KIND", false, {}},
    };
    for (const Case& c : cases) {
        Lines list = {"stale"};
        EXPECT_EQ(GetSourceList(bed.state, &bed.doc, c.source, list), c.found) << c.source;
        EXPECT_EQ(list, c.list) << c.source;
    }
    Lines list;
    EXPECT_FALSE(GetSourceList(bed.state, nullptr, "+mesh-table", list));
}

// --- the report

TEST(VerifyReport, ACleanConfigLogsNoProblemsFound) {
    MeshBed bed;
    bed.clock.Set(2011, 3, 4, 10, 20, 30);
    const TVerifyReport report = bed.Validate(kHead + "label \"fine\"\r\n");
    EXPECT_FALSE(report.Cancelled);
    EXPECT_EQ(report.Lines, Lines{"\tNo problems found"});
    EXPECT_EQ(report.Title, "Verify Config (Build 2.9): 4 lines processed");
    EXPECT_EQ(report.LogError, "");
    const std::string log = bed.Log();
    EXPECT_NE(log.find("Verify Config (Build 2.9): 4 lines processed\r\nAsset: " + bed.asset + "\r\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("\r\n\tNo problems found\r\n"), std::string::npos) << log;
}

TEST(VerifyReport, FindingsStandOnTwoLinesAfterTheWarnings) {
    MeshBed bed;
    const TVerifyReport report =
        bed.Validate(kHead + "alias <kuid:7:8>\r\nflag 2\r\nlabel \"a]b\"x\r\n" + kMeshes.substr(kHead.size()));
    EXPECT_EQ(report.Lines, (Lines{
                                 "\t*Warning* This asset is aliased, results will not be complete",
                                 "\t*Warning* This assets uses mesh library references, these cannot be verified",
                                 "\t[flag 2]",
                                 "\t\t Invalid boolean format",
                                 "\t[label \"a]b\"x]",
                                 "\t\t Value has embedded quotes",
                                 "\t[mesh-table\\orphan\\att-parent \"nothing\"]",
                                 "\t\t Data does not match any valid option",
                                 "\t[mesh-table\\orphan\\att \"a.orphan\"]",
                                 "\t\t Cannot find mesh containing point",
                                 "\t[mesh-table\\library\\att \"a.lib\"]",
                                 "\t\t Asset uses a mesh library, unable to verify this node",
                             }));
    // Faults are marked; an informational line leaves its node unmarked.
    EXPECT_TRUE(bed.doc.FindNodeByPath("flag")->HasFlag(nfError));
    EXPECT_TRUE(bed.doc.FindNodeByPath("mesh-table\\orphan\\att")->HasFlag(nfError));
    EXPECT_FALSE(bed.doc.FindNodeByPath("mesh-table\\library\\att")->HasFlag(nfError));
    EXPECT_FALSE(bed.doc.FindNodeByPath("kind")->HasFlag(nfError));
    EXPECT_NE(bed.Log().find("\t[flag 2]\r\n\t\t Invalid boolean format\r\n"), std::string::npos);
}

TEST(VerifyReport, AWarningAloneSuppressesNoProblemsFound) {
    ValidationBed bed;
    const TVerifyReport report = bed.Validate(kHead + "alias <kuid:7:8>\r\n");
    EXPECT_EQ(report.Lines, Lines{"\t*Warning* This asset is aliased, results will not be complete"});
}

TEST(VerifyReport, ASecondRunClearsTheFixedNodesFlags) {
    ValidationBed bed;
    bed.Validate(kHead + "flag 2\r\n");
    TOutlineNode* flag = bed.doc.FindNodeByPath("flag");
    ASSERT_TRUE(flag->HasFlag(nfError));
    bed.doc.UpdateTag(flag, "flag", "1");
    const TVerifyReport report = VerifyConfig(bed.state, bed.doc, bed.walnut, bed.asset);
    EXPECT_EQ(report.Lines, Lines{"\tNo problems found"});
    EXPECT_FALSE(flag->HasFlag(nfError));
}

TEST(VerifyReport, EscapeAsksAndYesLogsNothing) {
    for (const bool yes : {true, false}) {
        ValidationBed bed;
        bed.messages.answers = {yes ? Answer::Yes : Answer::No};
        TVerifyRequest request;
        std::vector<std::size_t> calls;
        request.Progress = [&](std::size_t done, std::size_t total) {
            calls.push_back(done);
            EXPECT_EQ(total, 4u);
            return done != 2;  // Escape while the second node is checked
        };
        const TVerifyReport report = bed.Validate(kHead + "flag 2\r\n", 29, request);
        EXPECT_EQ(report.Cancelled, yes);
        EXPECT_TRUE(bed.messages.messages.size() == 1 && bed.messages.messages[0] == "Cancel Validation?");
        if (yes) {
            EXPECT_EQ(calls, (std::vector<std::size_t>{1, 2}));
            EXPECT_EQ(bed.Log(), "");
            EXPECT_TRUE(report.Lines.empty());
        } else {
            EXPECT_EQ(calls, (std::vector<std::size_t>{1, 2, 3, 4}));
            EXPECT_EQ(report.Lines, (Lines{"\t[flag 2]", "\t\t Invalid boolean format"}));
            EXPECT_NE(bed.Log().find("[flag 2]"), std::string::npos);
        }
    }
}

TEST(VerifyReport, AMissingOrBrokenDefinitionIsTheOneLine) {
    ValidationBed bed;
    const std::string tags = bed.dir / "program/bin/tags.xml";
    DeleteFilePath(tags);
    TVerifyReport report = bed.Validate(kHead + "flag 2\r\n");
    EXPECT_EQ(report.Lines, Lines{"\tFile not found: " + bed.state.ProgramFolder + "bin\\tags.xml"});
    EXPECT_FALSE(bed.doc.FindNodeByPath("flag")->HasFlag(nfError));

    test::WriteBytes(tags, "<TAGS>\n<KIND>\n</TAGS>\n");
    report = bed.Validate(kHead + "flag 2\r\n");
    ASSERT_EQ(report.Lines.size(), 1u);
    EXPECT_EQ(report.Lines[0].rfind("\tTag specification " + bed.state.ProgramFolder + "bin\\tags.xml, line 3: ", 0), 0u)
        << report.Lines[0];
}

TEST(VerifyReport, AttachmentPointsAreListedForPointChecks) {
    ValidationBed bed;
    const std::string config = kHead + "mesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"body.im\"\r\n  }\r\n"
                                       "  broken\r\n  {\r\n    mesh \"broken.im\"\r\n  }\r\n"
                                       "  other\r\n  {\r\n    mesh \"other.im\"\r\n  }\r\n}\r\n";
    bed.File("body.im", test::MeshFileBuilder().Info().Attachments({{"b"}, {"a"}, {"B"}}).Bytes());
    bed.File("broken.im", "JIRF");  // the mesh checks report this one
    bed.File("other.im", test::MeshFileBuilder().Attachments({{"c"}}).Bytes(0, "JIRF", "ABCD"));
    bed.state.AttachmentPoints = {"left=over.im"};
    TVerifyRequest request;
    request.Formats = SyntaxFormats();
    bed.Validate(config, 29, request);
    EXPECT_EQ(bed.state.AttachmentPoints, (Lines{"left=over.im"}));
    request.Formats = PointFormats();
    const TVerifyReport report = bed.Validate(config, 29, request);
    EXPECT_EQ(bed.state.AttachmentPoints, (Lines{"a=body.im", "b=body.im"}));
    Lines warnings;
    for (const TVerifyFinding& f : report.Findings)
        if (f.Node.empty()) warnings.push_back(f.Message);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("other.im is not a valid mesh"), std::string::npos) << warnings[0];
    EXPECT_TRUE(AllFormats().test(1) && AllFormats().test(27) && !AllFormats().test(28));
    EXPECT_FALSE(SyntaxFormats().test(19));
}

// The build is read as the Trainz-Build menu reads it: "2" is 2.0, a quoted build is a build.
TEST(VerifyReport, TrainzBuildIsReadAsABuild) {
    ValidationBed bed;
    bed.state.Settings().WriteString("Builds", "2.0", "x");
    for (const char* build : {"2", "2.0", "\"2.0\"", "2.00"}) {
        const TVerifyReport report = bed.Validate("kind \"checks\"\r\nkuid <kuid:1:2>\r\ntrainz-build " +
                                                  std::string(build) + "\r\n", 20);
        EXPECT_EQ(report.Lines, Lines{"\tNo problems found"}) << build;
    }
    const TVerifyReport unknown = bed.Validate("kind \"checks\"\r\nkuid <kuid:1:2>\r\ntrainz-build 2,4\r\n", 20);
    ASSERT_EQ(unknown.Findings.size(), 1u);
    EXPECT_EQ(unknown.Findings[0].Message, "Trainz-Build does not match requested build");
    const TVerifyReport unlisted = bed.Validate("kind \"checks\"\r\nkuid <kuid:1:2>\r\ntrainz-build 3\r\n", 30);
    ASSERT_EQ(unlisted.Findings.size(), 1u);
    EXPECT_EQ(unlisted.Findings[0].Message, "Data does not match any valid option");
}

// Without region and era lists the asset is not at fault: one notice for the run, no marked tags.
TEST(VerifyReport, MissingRegionAndEraListsAreOneNotice) {
    ValidationBed bed;
    DeleteFilePath(bed.dir / "trainz/data/category-region.txt");
    DeleteFilePath(bed.dir / "trainz/data/category-era.txt");
    const TVerifyReport report = bed.Validate(kHead + "category-region \"GB\"\r\ncategory-era \"1950s\"\r\n"
                                                      "x {\r\n}\r\n");
    ASSERT_EQ(report.Findings.size(), 2u);
    EXPECT_EQ(report.Findings[0].Message,
              "*Notice* Source data not found, unable to validate category-region, category-era");
    EXPECT_FALSE(report.Findings[0].Error);
    EXPECT_TRUE(report.Findings[1].Error);
    EXPECT_EQ(report.Lines.front(), "\t*Notice* Source data not found, unable to validate category-region, category-era");
    EXPECT_FALSE(bed.doc.FindNodeByPath("category-region")->HasFlag(nfError));
    EXPECT_FALSE(bed.doc.FindNodeByPath("category-era")->HasFlag(nfError));
}

// Loading leaves a config without a kind as it is; validation reports it.
TEST(VerifyReport, AMissingKindIsReported) {
    ValidationBed bed;
    const TVerifyReport report = bed.Validate("kuid <kuid:1:2>\r\n");
    EXPECT_FALSE(bed.doc.Modified());
    ASSERT_FALSE(report.Findings.empty());
    EXPECT_EQ(report.Findings[0].Node, "[kind]");
    EXPECT_TRUE(report.Findings[0].Error);
    EXPECT_EQ(report.Lines[0], "\t[kind]");
}

// An unknown container is one finding, not one per child; the tags after it are checked again.
TEST(VerifyReport, AnUnknownContainerReportsItselfOnce) {
    ValidationBed bed;
    const TVerifyReport report =
        bed.Validate(kHead + "no-such-table\r\n{\r\n  a 1\r\n  inner\r\n  {\r\n    b 2\r\n  }\r\n}\r\nflag 2\r\n");
    ASSERT_EQ(report.Findings.size(), 2u);
    EXPECT_EQ(report.Findings[0].Node, "[no-such-table\\ ]");
    EXPECT_EQ(report.Findings[0].Message, "Tag is invalid in this context");
    EXPECT_EQ(report.Findings[1].Message, "Invalid boolean format");
    EXPECT_FALSE(bed.doc.FindNodeByPath("no-such-table\\a")->HasFlag(nfError));
}

}  // namespace
}  // namespace kelvarn
