// Our own tags.xml: its structure, and typical assets of each common kind checked against it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TagsXml.h"
#include "shell/Files.h"
#include "shell/SettingsKeys.h"
#include "shell/TagTypes.h"
#include "shell/TrainzBuild.h"
#include "shell/Text.h"
#include "ValidationTestSupport.h"

namespace kelvarn {
namespace {

using Lines = std::vector<std::string>;

const std::string kOurTags = std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml";
const std::string kAssets = std::string(KELVARN_TEST_DATA) + "/assets";
const std::string kSimulator = std::string(KELVARN_TEST_DATA) + "/simulator";

std::shared_ptr<const TTagsXml> OurTags() {
    std::string error;
    auto file = TTagsXml::Load(kOurTags, error);
    EXPECT_EQ(error, "");
    return file;
}

// The elements that are definitions: everything inside the sections and the subsection blocks.
std::vector<const TXmlElement*> SpecElements(const TTagsXml& file, const std::set<std::string>& blocks) {
    std::vector<const TXmlElement*> all;
    for (const std::string& name : blocks) {
        const TXmlElement* block = file.FindBlock(name);
        if (!block) continue;
        std::vector<const TXmlElement*> stack(block->Children.begin(), block->Children.end());
        while (!stack.empty()) {
            const TXmlElement* e = stack.back();
            stack.pop_back();
            all.push_back(e);
            stack.insert(stack.end(), e->Children.begin(), e->Children.end());
        }
    }
    return all;
}

struct OurSpec {
    std::shared_ptr<const TTagsXml> file = OurTags();
    std::set<std::string> sections{"USER-TAGS", "BASE-ASSET"};
    std::set<std::string> blocks;  // sections and subsection blocks

    OurSpec() {
        for (const std::string& kind : file->AssetKinds())
            for (const std::string& section : file->InheritChain(kind)) sections.insert(section);
        blocks = sections;
        // Blocks that blocks insert, until no new one turns up.
        for (std::size_t before = 0; before != blocks.size();) {
            before = blocks.size();
            for (const TXmlElement* e : SpecElements(*file, blocks))
                if (e->IsSubsection() && !e->Attributes.empty()) blocks.insert(e->Attributes.front().first);
        }
    }
};

TEST(OurTagsXml, SectionsStandInEveryKindsQueueOrder) {
    OurSpec spec;
    ASSERT_NE(spec.file, nullptr);
    std::map<std::string, std::size_t> position;
    const auto& top = spec.file->Root()->Children;
    for (std::size_t i = 0; i < top.size(); ++i) position.emplace(top[i]->Name, i);
    for (const std::string& kind : spec.file->AssetKinds()) {
        std::size_t last = 0;
        for (const std::string& section : spec.file->InheritChain(kind)) {
            ASSERT_TRUE(position.count(section)) << kind << " inherits the missing " << section;
            EXPECT_EQ(spec.file->FindBlock(section), top[position[section]]) << section;
            EXPECT_GT(position[section], last) << kind << ": " << section << " stands too early";
            last = position[section];
        }
    }
    for (const char* kind : {"unknown", "scenery", "mesh", "traincar", "engine", "bogey", "track", "texture",
                             "interior", "pantograph", "environment", "buildable", "fixedtrack", "industry",
                             "mocrossing", "mojunction", "mosignal", "mospeedboard", "turntable", "drivercharacter",
                             "product", "groundtexture", "spline", "bridge", "consist", "map", "region", "profile",
                             "scenery-trackside", "tunnel", "double-track", "chunky-track", "mesh-reducing-track",
                             "itrack"})
        EXPECT_TRUE(spec.file->IsAssetKind(kind)) << kind;
}

TEST(OurTagsXml, SectionsTheChecksLookFor) {
    OurSpec spec;
    const auto chain = [&](const char* kind) {
        const Lines c = spec.file->InheritChain(kind);
        return "," + JoinLines(c, ",");
    };
    struct Case {
        const char* section;
        std::vector<const char*> kinds;
    } cases[] = {
        {"MESH-ASSET", {"scenery", "mesh", "traincar", "bogey", "track", "interior", "pantograph", "buildable",
                        "industry", "mosignal", "turntable", "drivercharacter"}},
        {"MAP-OBJECT", {"scenery", "traincar", "buildable", "industry", "mocrossing", "mojunction", "mosignal"}},
        {"TRAINCAR", {"traincar"}},
        {"INTERIOR", {"interior"}},
        {"TRACK", {"track", "itrack", "chunky-track", "mesh-reducing-track", "spline", "bridge", "tunnel"}},
        {"ITRACK", {"itrack"}},
        {"BRIDGE", {"bridge", "tunnel", "double-track"}},
        {"CONSIST", {"consist"}},
        {"MAP", {"map"}},
        {"REGION", {"region"}},
    };
    for (const Case& c : cases)
        for (const char* kind : c.kinds)
            EXPECT_NE(chain(kind).find("," + std::string(c.section) + ","), std::string::npos) << kind << " " << c.section;
    EXPECT_EQ(chain("engine").find(",MAP-OBJECT,"), std::string::npos);
    EXPECT_EQ(chain("traincar").find(",TRACK,"), std::string::npos);
}

TEST(OurTagsXml, EveryTagIsSpecifiedSoundly) {
    OurSpec spec;
    const std::vector<const TXmlElement*> elements = SpecElements(*spec.file, spec.blocks);
    ASSERT_GT(elements.size(), 200u);
    for (const TXmlElement* e : elements) {
        if (e->IsSubsection()) {
            ASSERT_FALSE(e->Attributes.empty()) << "a subsection in " << e->Parent->Name;
            EXPECT_NE(spec.file->FindBlock(e->Attributes.front().first), nullptr) << e->Attributes.front().first;
            continue;
        }
        const std::string where = e->Parent->Name + "\\" + e->Name;
        ASSERT_TRUE(e->HasAttribute("format")) << where;
        const std::string format(e->Attribute("format"));
        const std::string word = format.substr(0, format.find(','));
        EXPECT_NE(TagTypeIndex(word), 0) << where << ": " << format;
        if (!e->Empty()) {
            EXPECT_TRUE(word == "container" || EndsWith(word, "-list")) << where << ": " << format;
        } else if (word != "user-table") {
            EXPECT_TRUE(e->HasAttribute("quoted")) << where;
        }
        if (StartsWith(e->Attribute("source"), "$")) {
            EXPECT_NE(spec.file->FindBlock(e->Attribute("source").substr(1)), nullptr) << where;
        }
        if (e->Obsolete > 0) {
            EXPECT_LT(e->Introduced, e->Obsolete) << where;
        }
        double min = 0, max = 0;
        if (TryParseDouble(e->Attribute("min"), min) && TryParseDouble(e->Attribute("max"), max)) {
            EXPECT_LE(min, max) << where;
        }
        if (e->HasAttribute("location")) {
            const std::string_view location = e->Attribute("location");
            EXPECT_TRUE(location == ".att-parent" || location == ".effect-parent" || location == ".mesh-table") << where;
        }
    }
    // No element has two children of one name, whatever it is.
    std::vector<const TXmlElement*> stack{spec.file->Root()};
    while (!stack.empty()) {
        const TXmlElement* e = stack.back();
        stack.pop_back();
        std::set<std::string> names;
        for (const TXmlElement* c : e->Children) {
            if (!c->IsSubsection()) {
                EXPECT_TRUE(names.insert(c->Name).second) << e->Name << " has two " << c->Name;
            }
            stack.push_back(c);
        }
    }
}

TEST(OurTagsXml, EveryTopLevelElementHasAUse) {
    OurSpec spec;
    std::set<std::string> sources;
    for (const TXmlElement* e : SpecElements(*spec.file, spec.blocks))
        if (StartsWith(e->Attribute("source"), "$")) sources.insert(std::string(e->Attribute("source").substr(1)));
    for (const TXmlElement* top : spec.file->Root()->Children) {
        const std::string& name = top->Name;
        EXPECT_TRUE(spec.blocks.count(name) || sources.count(name) || name == "LEGACY" || name == "FIXKUIDS")
            << name << " is read by nothing";
    }
    Lines legacy;
    EXPECT_TRUE(spec.file->ListChildElements("LEGACY", legacy));
    EXPECT_TRUE(spec.file->ListChildElements("FIXKUIDS", legacy));
}

TEST(OurTagsXml, EveryKindLoadsWithAtMostOneMeshTable) {
    TProgramState state;
    TWalnut walnut(state);
    OurSpec spec;
    for (const std::string& kind : spec.file->AssetKinds()) {
        EXPECT_EQ(walnut.LoadTagSpec(spec.file, kind), "") << kind;
        const auto& top = walnut.Root()->Children();
        EXPECT_LE(std::count_if(top.begin(), top.end(), [](const TSpecNode* n) { return n->Name() == "mesh-table"; }), 1)
            << kind;
        std::size_t tables = 0;
        for (const std::string& section : spec.file->InheritChain(kind))
            if (const TXmlElement* block = spec.file->FindBlock(section))
                tables += std::count_if(block->Children.begin(), block->Children.end(),
                                        [](const TXmlElement* e) { return e->Name == "mesh-table"; });
        EXPECT_LE(tables, 2u) << kind;
    }
}

// --- typical assets

struct AssetBed : test::ValidationBed {
    AssetBed() : ValidationBed(kOurTags) {
        TMemIni& ini = state.Settings();
        ini.EraseSection("Builds");
        EnsureDefaultBuilds(ini);
        ini.WriteString("Paths", "TETData", "tetdata");
        state.Paths.Trainz = kSimulator;
    }

    // A copy of one of the typical assets, to change.
    std::string Copy(const std::string& name) {
        asset = dir / ("copy-" + name);
        EXPECT_EQ(CopyFolder(kAssets + "/" + name, asset, FolderLinks::Keep), "");
        return asset;
    }

    TVerifyReport ValidateFolder(const std::string& folder) {
        asset = folder;
        EXPECT_EQ(doc.LoadConfig(folder), "") << folder;
        state.SetActiveBuild(ParseBuild(doc.GetValueByPath("trainz-build")));
        return VerifyConfig(state, doc, walnut, folder);
    }
};

TEST(TypicalAssets, EachValidatesCleanAtItsBuild) {
    struct Case {
        const char* folder;
        const char* kind;
        const char* build;
    } cases[] = {
        {"boxcar", "traincar", "2.9"}, {"station-lamp", "scenery", "3.5"}, {"crate", "mesh", "2.9"},
        {"bogey", "bogey", "2.9"},     {"track", "track", "2.9"},          {"texture", "texture", "2.9"},
        {"cab", "interior", "2.9"},    {"pantograph", "pantograph", "2.9"}, {"diesel-engine", "engine", "2.9"},
        {"sky", "environment", "3.5"},
    };
    for (const Case& c : cases) {
        AssetBed bed;
        const TVerifyReport report = bed.ValidateFolder(kAssets + "/" + c.folder);
        EXPECT_EQ(bed.walnut.Kind(), c.kind) << c.folder;
        std::string build = c.build;
        EXPECT_TRUE(IsKnownBuild(bed.state.Settings(), build)) << c.folder;
        EXPECT_EQ(report.Lines, Lines{"\tNo problems found"}) << c.folder;
        EXPECT_EQ(report.Title.rfind("Verify Config (Build " + build + "): ", 0), 0u) << report.Title;
    }
}

TEST(TypicalAssets, SeededFaultsGiveExactlyTheirLines) {
    struct Case {
        const char* folder;
        const char* find;     // text of config.txt to replace ("" to change nothing)
        const char* replace;
        const char* removeFile;
        Lines lines;
    } cases[] = {
        {"boxcar", "engine                                    0",
         "engine                                    0\r\ncolour-scheme \"red\"", "",
         {"\t[colour-scheme \"red\"]", "\t\t Tag is invalid in this context"}},
        {"boxcar", "mass                                      21500", "mass \"21500\"", "",
         {"\t[mass \"21500\"]", "\t\t Floating point values must not be quoted"}},
        {"boxcar", "bogey                                 <kuid:604117:2003>\n    reversed                              1",
         "bogey <kuid:0:2003>\n    reversed 1", "",
         {"\t[bogeys\\1\\bogey <kuid:0:2003>]", "\t\t Invalid kuid format"}},
        {"boxcar", "", "", "body/doors.im",
         {"\t[mesh-table\\doors\\mesh \"body/doors.im\"]", "\t\t File not found: body\\doors.im"}},
        {"station-lamp", "    auto-create                           1\n    effects", "    auto-create 2\n    effects", "",
         {"\t[mesh-table\\default\\auto-create 2]", "\t\t Invalid boolean format"}},
        {"boxcar", "fontcolor                         240,240,240", "fontcolor 300,240,240", "",
         {"\t[mesh-table\\default\\effects\\name\\fontcolor 300,240,240]",
          "\t\t Colour elements should be between 0 and 255"}},
        {"station-lamp", "category-region                           \"00\"", "category-region \"GB;XX\"", "",
         {"\t[category-region \"GB;XX\"]", "\t\t An item is empty or does not match any option"}},
        {"cab", "cameradefault                             0", "cameradefault 0\r\nbogey <kuid:604117:2003>", "",
         {"\t[bogey <kuid:604117:2003>]", "\t\t Tag is invalid in this context"}},
        {"track", "", "", "thumbnail.jpg",
         {"\t[thumbnails\\0\\image \"thumbnail.jpg\"]", "\t\t File not found: thumbnail.jpg"}},
        {"texture", "", "", "planks.texture.txt",
         {"\t[texture \"planks.texture\"]", "\t\t File not found: planks.texture.txt"}},
    };
    for (const Case& c : cases) {
        AssetBed bed;
        const std::string folder = bed.Copy(c.folder);
        if (*c.find) {
            std::string config = test::ReadBytes(folder + "/config.txt");
            const std::size_t at = config.find(c.find);
            ASSERT_NE(at, std::string::npos) << c.find;
            config.replace(at, std::string(c.find).size(), c.replace);
            test::WriteBytes(folder + "/config.txt", config);
        }
        if (*c.removeFile) {
            ASSERT_TRUE(DeleteFilePath(folder + "/" + c.removeFile));
        }
        const TVerifyReport report = bed.ValidateFolder(folder);
        EXPECT_EQ(report.Lines, c.lines) << c.folder << ": " << c.replace << c.removeFile;
    }
}

}  // namespace
}  // namespace kelvarn
