// Our tags.xml against the vocabulary real assets use: the published list of config.txt names, a
// config holding every tag each kind allows, and the real assets of the shared corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TagsXml.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Strings.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"
#include "ValidationTestSupport.h"
#include "validation/ObsoleteTags.h"
#include "validation/ScriptHost.h"

namespace kelvarn {
namespace {

using Lines = std::vector<std::string>;

const std::string kOurTags = std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml";
const std::string kShared = std::string(KELVARN_SOURCE_DIR) + "/../shared";
const std::string kNameList = kShared + "/reference/config-tags.tsv";
const std::string kCorpus = kShared + "/corpus";

std::shared_ptr<const TTagsXml> OurTags() {
    std::string error;
    auto file = TTagsXml::Load(kOurTags, error);
    EXPECT_EQ(error, "");
    return file;
}

// Names of the list that are no config.txt tags.
const std::map<std::string, std::string> kNotTags = {
    {"don\xE2\x80\x99t-flip-terminator", "written with a typographic apostrophe, which no tag name holds"},
    {"full", "an option of interior-controls-type, not a tag"},
    {"hostler", "an option of interior-controls-type, not a tag"},
    {"none", "an option of interior-controls-type, not a tag"},
};

struct ListedName {
    std::string name;
    Lines types;  // the value types of each of its rows
    Lines pages;  // the documentation pages its rows name
};

std::vector<ListedName> ReadNameList(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes).empty()) return {};
    std::map<std::string, ListedName> rows;
    for (const std::string& line : SplitString(bytes, "\n")) {
        if (line.empty() || line[0] == '#') continue;
        const Lines cells = SplitString(RemoveChars(line, "\r"), "\t");
        ListedName& row = rows[cells[0]];
        row.name = cells[0];
        row.types.push_back(cells.size() > 1 ? cells[1] : "");
        // One cell may name two pages, and one page ends in a stray ")".
        if (cells.size() > 2)
            for (const std::string& page : SplitString(cells[2], " "))
                if (!page.empty()) row.pages.push_back(RemoveChars(page, ")"));
    }
    std::vector<ListedName> names;
    for (auto& [name, row] : rows) names.push_back(std::move(row));
    return names;
}

// The config name a listed name stands for: the list writes a language as "##", a number as "#",
// the smokeN family in lower case, and one hyphenated name with a blank.
std::string ConfigName(const std::string& listed) {
    if (listed == "smoken") return "smoke0";
    std::string name = ReplaceAll(listed, "##", "de");
    name = ReplaceAll(name, "#", "0");
    return ReplaceAll(name, " ", "-");
}

bool IsOneOf(std::string_view format, std::initializer_list<std::string_view> formats) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

// Does a definition's format fit one value type of the list?
bool FitsType(const TTagSpec& spec, std::string type) {
    type = LowerCase(Trim(type));
    const std::string& f = spec.Format;
    const bool single = spec.Elements == 1;
    if (type == "float" || type == "decimal") return (f == "float" && single) || f == "floatlist";
    if (type == "integer" || type == "int") return (IsOneOf(f, {"int", "float"}) && single) || f == "floatlist";
    if (type == "boolean") return f == "bool";
    if (type == "kuid") return f == "kuid";
    if (type == "string") return IsOneOf(f, {"string", "memo", "enum", "set", "identifier"});
    if (type == "container" || type == "subcontainer") {
        const int code = TagTypeIndex(f);
        return code >= 1 && code <= 10;
    }
    if (ContainsStr(type, "filename") || type == "path" || type == "folder") return IsOneOf(f, {"file", "string"});
    if (type == "rgb") return IsOneOf(f, {"rgb", "rgba"});  // an alpha may follow
    if (type == "hsb") return IsOneOf(f, {"hls", "floatlist"});
    if (type == "class" || type == "keyword") return IsOneOf(f, {"string", "set", "enum"});
    if (type == "era" || type == "region") return IsOneOf(f, {"set", "string", "enum"});
    if (type == "enumerated") return IsOneOf(f, {"enum", "identifier", "string", "int"});
    if (type == "mesh-table-id" || type == "queues-id" || type == "trackid")
        return IsOneOf(f, {"enum", "string", "identifier"});
    if (type == "helper") return IsOneOf(f, {"point", "string"});
    if (IsOneOf(type, {"list", "pair", "vector", "array", "float[]"}))
        return IsOneOf(f, {"floatlist", "float", "int", "string"});
    if (type == "0..1") return f == "float";
    if (type == "0..7" || type == "0/1/2" || type == "0/1") return IsOneOf(f, {"int", "bool", "enum"});
    if (type == "kind") return f == "enum";
    if (type == "build") return IsOneOf(f, {"enum", "float", "string"});
    if (type == "id") return IsOneOf(f, {"identifier", "string", "enum"});
    if (type.empty() || type == "n/a" || type == "value" || type == "<blank>" ||
        type.find_first_not_of("0123456789") == std::string::npos)
        return true;  // the list gives no type: any format is a choice
    if (type[0] == '\'' || ContainsStr(type, "/")) return IsOneOf(f, {"enum", "string", "identifier"});
    return false;
}

// Does a definition fit a row of the list? Several types of one numeric kind are a list of that many
// numbers; other several types are alternatives.
bool FitsRow(const TTagSpec& spec, const std::string& types) {
    const Lines parts = SplitString(types, ",");
    const bool numeric = std::all_of(parts.begin(), parts.end(), [&](const std::string& p) {
        return p == parts[0] && IsOneOf(Trim(p), {"float", "decimal", "integer", "int"});
    });
    if (parts.size() > 1 && numeric)
        return (IsOneOf(spec.Format, {"float", "int"}) && spec.Elements == static_cast<int>(parts.size())) ||
               spec.Format == "floatlist";
    return std::any_of(parts.begin(), parts.end(), [&](const std::string& p) { return FitsType(spec, p); });
}

// Every node of the kind's tree, once per element of tags.xml.
void CollectNodes(const TSpecNode& node, std::set<const TXmlElement*>& seen, std::vector<const TSpecNode*>& out) {
    for (const TSpecNode* child : node.Children()) {
        if (seen.insert(child->Element()).second) out.push_back(child);
        CollectNodes(*child, seen, out);
    }
}

// Definitions of every kind: each remembered with the kind that loads it, for its TTagSpec.
struct KindNodes {
    std::vector<std::pair<std::string, const TSpecNode*>> nodes;
    std::vector<std::unique_ptr<TWalnut>> walnuts;  // a tree lives as long as its walnut

    KindNodes(const std::shared_ptr<const TTagsXml>& file, TProgramState& state) {
        std::set<const TXmlElement*> seen;
        for (const std::string& kind : file->AssetKinds()) {
            auto& w = walnuts.emplace_back(std::make_unique<TWalnut>(state));
            EXPECT_EQ(w->LoadTagSpec(file, kind), "") << kind;
            std::vector<const TSpecNode*> kindNodes;
            CollectNodes(*w->Root(), seen, kindNodes);
            for (const TSpecNode* n : kindNodes) nodes.emplace_back(kind, n);
        }
    }
};

// The name list beside the definitions of our tags.xml.
struct ListedBed {
    std::vector<ListedName> listed = ReadNameList(kNameList);
    std::shared_ptr<const TTagsXml> file = OurTags();
    TProgramState state;
    TWalnut walnut{state};
    std::unique_ptr<KindNodes> all;
    ListedBed() {
        if (file) all = std::make_unique<KindNodes>(file, state);
    }
};

TEST(TagsVocabulary, TheListedNamesAreDefinedWithFittingFormats) {
    ListedBed bed;
    if (bed.listed.empty()) GTEST_SKIP() << "no name list at " << kNameList;
    ASSERT_NE(bed.all, nullptr);
    const auto& listed = bed.listed;
    const auto& nodes = bed.all->nodes;
    TWalnut& walnut = bed.walnut;

    for (const auto& [name, reason] : kNotTags)
        EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const ListedName& l) { return l.name == name; }))
            << name << " is excluded but not listed";

    std::size_t considered = 0, covered = 0;
    Lines missing, misfits;
    for (const ListedName& l : listed) {
        if (kNotTags.count(l.name)) continue;
        ++considered;
        // "x-ID" stands for an entry of the container x.
        const bool entry = EndsWith(l.name, "-ID");
        const std::string name = entry ? l.name.substr(0, l.name.size() - 3) : ConfigName(l.name);
        bool defined = false, fits = false;
        for (const auto& [kind, node] : nodes) {
            // A "*" node holds entries of any name; it defines none of them.
            if (node->Name() == "*" || !MatchSpecName(*node, name)) continue;
            if (entry) {
                const auto& c = node->Children();
                if (std::none_of(c.begin(), c.end(), [](const TSpecNode* n) { return n->Name() == "*"; })) continue;
            }
            defined = true;
            const TTagSpec spec = walnut.ParseTagSpec(*node);
            if (entry || std::any_of(l.types.begin(), l.types.end(), [&](const std::string& t) { return FitsRow(spec, t); })) {
                fits = true;
                break;
            }
        }
        if (fits) {
            ++covered;
            continue;
        }
        std::string types;
        for (const std::string& t : l.types) types += (types.empty() ? "" : "; ") + t;
        (defined ? misfits : missing).push_back(l.name + " (" + types + ")");
    }
    const double coverage = considered ? static_cast<double>(covered) / static_cast<double>(considered) : 0;
    std::printf("tags.xml covers %zu of %zu listed names (%.1f%%); %zu excluded as no tags\n", covered, considered,
                coverage * 100, kNotTags.size());
    for (const std::string& m : missing) std::printf("  not defined: %s\n", m.c_str());
    for (const std::string& m : misfits) std::printf("  format does not fit the listed type: %s\n", m.c_str());
    EXPECT_GE(coverage, 0.95);
}

// The page of a help text: between its "@" and its "#".
std::string HelpPage(const std::string& help) {
    const std::size_t at = help.find('@');
    if (at == std::string::npos) return {};
    const std::size_t end = help.find('#', at);
    return help.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
}

TEST(TagsVocabulary, EveryListedNameWithAPageLinksToThatPage) {
    ListedBed bed;
    if (bed.listed.empty()) GTEST_SKIP() << "no name list at " << kNameList;
    ASSERT_NE(bed.all, nullptr);
    std::size_t withPage = 0;
    Lines unlinked;
    for (const ListedName& l : bed.listed) {
        if (l.pages.empty() || kNotTags.count(l.name)) continue;
        ++withPage;
        const std::string name = ConfigName(l.name);
        const auto& nodes = bed.all->nodes;
        const bool linked = std::any_of(nodes.begin(), nodes.end(), [&](const auto& kindNode) {
            const TSpecNode& node = *kindNode.second;
            if (node.Name() == "*" || !MatchSpecName(node, name)) return false;
            const std::string page = HelpPage(bed.walnut.ParseTagSpec(node).Help);
            return std::find(l.pages.begin(), l.pages.end(), page) != l.pages.end();
        });
        if (!linked) unlinked.push_back(l.name + " (" + l.pages[0] + ")");
    }
    EXPECT_GT(withPage, 200u);
    EXPECT_EQ(unlinked, Lines{});
}

// A value of each format that its check accepts, or at least reads as that format.
std::string TypicalValue(const TTagSpec& spec) {
    const std::string& f = spec.Format;
    std::string value;
    if (f == "kuid") return "<kuid:1234:5678>";
    if (f == "bool") return "1";
    if (f == "int" || f == "float") {
        for (int i = 0; i < spec.Elements; ++i) value += (i ? ",2" : "1");
        return value;
    }
    if (f == "floatlist") return "1.5,2";
    if (f == "rgb" || f == "hls") return "10,20,30";
    if (f == "rgba") return "10,20,30,40";
    if (f == "identifier") return "word";
    if (f == "point") return "\"a.point\"";
    if (f == "file") return "\"file.txt\"";
    return spec.ValueKind == vkBare ? "text" : "\"text\"";
}

// A config holding every definition below `node`: containers with their contents, "*" as a name of
// its own and a numbered name with its first number.
void WriteContents(const TWalnut& walnut, const TSpecNode& node, int depth, std::string& config) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    for (const TSpecNode* child : node.Children()) {
        std::string name(child->Name());
        if (name == "*") name = "entry";
        if (const std::size_t at = name.find('#'); at != std::string::npos) name.replace(at, 1, "0");
        const TTagSpec spec = walnut.ParseTagSpec(*child);
        const int code = TagTypeIndex(spec.Format);
        if (!child->Children().empty() || (code >= 1 && code <= 10)) {
            config += indent + name + "\r\n" + indent + "{\r\n";
            WriteContents(walnut, *child, depth + 1, config);
            config += indent + "}\r\n";
        } else {
            config += indent + name + " " + TypicalValue(spec) + "\r\n";
        }
    }
}

TEST(TagsVocabulary, EveryTagAKindAllowsIsValidInItsContext) {
    const auto file = OurTags();
    ASSERT_NE(file, nullptr);
    ASSERT_GT(file->AssetKinds().size(), 40u);
    for (const std::string& kind : file->AssetKinds()) {
        test::ValidationBed bed(kOurTags);
        ASSERT_EQ(bed.walnut.LoadTagSpec(file, kind), "") << kind;
        std::string config;
        WriteContents(bed.walnut, *bed.walnut.Root(), 0, config);
        bed.File("config.txt", config);
        ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "") << kind;
        // The config's own kind tag may analyse to another kind: validate against this one.
        ASSERT_EQ(bed.walnut.LoadTagSpec(file, kind), "") << kind;
        bed.state.SetActiveBuild(35);
        ASSERT_GE(bed.doc.Root()->ChildCount(), bed.walnut.Root()->Children().size()) << kind;
        const TVerifyReport report = VerifyConfig(bed.state, bed.doc, bed.walnut, bed.asset);
        for (std::size_t i = 1; i < report.Lines.size(); ++i)
            EXPECT_FALSE(ContainsStr(report.Lines[i], "invalid in this context"))
                << kind << ": " << report.Lines[i - 1];
    }
}

TEST(TagsVocabulary, TheLargerFileStaysWithinTheParseAndTreeLimits) {
    std::string bytes;
    ASSERT_EQ(ReadFileBytes(kOurTags, bytes), "");
    EXPECT_LT(bytes.size(), kMaxTagsXmlBytes / 8);
    const auto file = OurTags();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(OurTags(), file);  // parsed once, shared
    EXPECT_LT(file->ElementCount(), kMaxTagsXmlElements / 20);
    TProgramState state;
    TWalnut walnut(state);
    for (const std::string& kind : file->AssetKinds()) {
        ASSERT_EQ(walnut.LoadTagSpec(file, kind), "") << kind;
        std::size_t count = 0;
        std::function<void(const TSpecNode&)> count_nodes = [&](const TSpecNode& n) {
            ++count;
            for (const TSpecNode* c : n.Children()) count_nodes(*c);
        };
        count_nodes(*walnut.Root());
        EXPECT_LT(count, kMaxSpecNodes / 20) << kind;
    }
}

// The program itself makes string-table-<language> beside string-table for a translation; left
// empty, like string-table, it is no fault.
TEST(TagsVocabulary, EmptyTranslationTablesAreNoFault) {
    test::ValidationBed bed(kOurTags);
    const TVerifyReport report = bed.Validate(
        "kind \"scenery\"\r\nkuid <kuid:1234:5678>\r\ntrainz-build 3.5\r\nusername \"Shed\"\r\n"
        "string-table\r\n{\r\n}\r\nstring-table-de\r\n{\r\n}\r\nkuid-table\r\n{\r\n}\r\n",
        35);
    EXPECT_EQ(report.Lines, Lines{"\tNo problems found"});
}

TEST(TagsVocabulary, PlacementSoundAndLanguageTagsOfASceneryAssetValidateClean) {
    test::ValidationBed bed(kOurTags);
    bed.File("shed.im");
    bed.File("hum.wav");
    bed.File("icon.texture.txt");
    const TVerifyReport report = bed.Validate(
        "kind \"scenery\"\r\nkuid <kuid:1234:5678>\r\ntrainz-build 3.5\r\n"
        "username \"Shed\"\r\nusername-en \"Shed\"\r\nusername-jp \"x\"\r\nusername-ja \"x\"\r\n"
        "description-en \"A shed\"\r\nregion \"Europe\"\r\n"
        "surveyor-only 1\r\nicon-texture \"icon.texture\"\r\nheight-range -1,1.5\r\nrotate-yz-range -5,5\r\n"
        "rotstep 15\r\nsnapgrid 1\r\n"
        "script-include-table\r\n{\r\n  0 <kuid:1234:1>\r\n}\r\n"
        "string-table-ja\r\n{\r\n  Hello \"x\"\r\n}\r\n"
        "mesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"shed.im\"\r\n    auto-create 1\r\n"
        "    position 0,0,1\r\n    does-cast-shadows 1\r\n  }\r\n}\r\n"
        "soundscript\r\n{\r\n  hum\r\n  {\r\n    trigger \"loop\"\r\n    volume 0.5\r\n    repeat-delay 20,40\r\n"
        "    distance 5,50\r\n    sound\r\n    {\r\n      0 \"hum.wav\"\r\n    }\r\n  }\r\n}\r\n",
        35);
    EXPECT_EQ(bed.walnut.Kind(), "scenery");
    EXPECT_EQ(report.Lines, Lines{"\tNo problems found"});
}

// --- the real assets of the shared corpus

Lines CorpusConfigs(const std::string& folder) {
    Lines files;
    FindFilesRecursive(IncludeTrailingSeparator(kCorpus + "/" + folder) + "*.*", "config.txt", files);
    std::sort(files.begin(), files.end());
    return files;
}

struct CorpusBed : test::ValidationBed {
    CorpusBed() : ValidationBed(kOurTags) {}

    TVerifyReport ValidateFolder(const std::string& folder) {
        asset = folder;
        EXPECT_EQ(doc.LoadConfig(folder), "") << folder;
        state.SetActiveBuild(ParseBuild(doc.GetValueByPath("trainz-build")));
        return VerifyConfig(state, doc, walnut, folder);
    }
};

TEST(TagsVocabulary, ScriptAssetsAndTheTrackScannerUseOnlyTagsTheirKindsKnow) {
    Lines configs = CorpusConfigs("schedule-commands");
    const Lines scanner = CorpusConfigs("jos-scanner");
    if (configs.empty() || scanner.empty()) GTEST_SKIP() << "no corpus at " << kCorpus;
    configs.insert(configs.end(), scanner.begin(), scanner.end());
    std::set<std::string> kinds;
    for (const std::string& config : configs) {
        CorpusBed bed;
        const TVerifyReport report = bed.ValidateFolder(ExtractFileDir(config));
        const std::string kind = LowerCase(TagValueUnquoted("kind " + bed.doc.GetValueByPath("kind")));
        EXPECT_EQ(bed.walnut.Kind(), kind) << config;
        kinds.insert(kind);
        ASSERT_FALSE(report.Lines.empty());
        for (std::size_t i = 1; i < report.Lines.size(); ++i) {
            const std::string& line = report.Lines[i];
            const std::string& node = report.Lines[i - 1];
            EXPECT_FALSE(ContainsStr(line, "invalid in this context")) << config << ": " << node;
            EXPECT_FALSE(ContainsStr(line, "invalid in this build")) << config << ": " << node;
            if (StartsWith(node, "\t[kind ")) {
                EXPECT_FALSE(ContainsStr(line, "does not match any valid option")) << config << ": " << node;
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"behavior", "drivercommand", "library", "mospeedboard"}));
}

// Configs as working published assets write them, one per kind of the shared corpus and the kinds
// whose real assets carry tags of older builds: driver commands and rules with their list icons,
// containers of thumbnails on assets of builds 2.0 and 2.5, an industry of build 3.7 that still names
// its mesh file.
struct WorkingAsset {
    const char* kind;
    int build;
    const char* config;
};

const WorkingAsset kWorkingAssets[] = {
    {"drivercommand", 35,
     "kind \"drivercommand\"\r\nkuid <KUID2:520252:100102:0>\r\ntrainz-build 3.5\r\n"
     "username \"Wait for permit\"\r\nusername-en \"Wait for permit\"\r\ndescription \"\"\r\n"
     "script \"PermitAcquireCommand\"\r\nclass \"PermitAcquireCommand\"\r\nsupports-null-driver-character 1\r\n"
     "icon-texture \"icon.texture\"\r\nasset-filename \"permitacquire\"\r\nregion \"Europe\"\r\n"
     "category-class \"YD\"\r\nkuid-table\r\n{\r\n  rule <KUID:520252:100101>\r\n}\r\n"
     "string-table\r\n{\r\n  PermitAcquireMenuItem \"Wait for permit\"\r\n}\r\n"
     "thumbnails\r\n{\r\n  0\r\n  {\r\n    width 64\r\n    height 64\r\n    image \"icon.texture\"\r\n  }\r\n}\r\n"},
    {"behavior", 35,
     "kind \"behavior\"\r\nkuid <KUID2:520252:100131:0>\r\ntrainz-build 3.5\r\nusername \"Schedule labels\"\r\n"
     "script \"NamedScheduleLabelRule\"\r\nclass \"NamedScheduleLabelRule\"\r\nicon-texture \"icon.texture\"\r\n"
     "asset-filename \"labels\"\r\nregion \"Europe\"\r\ncategory-class \"YR\"\r\nkuid-table\r\n{\r\n}\r\n"
     "string-table\r\n{\r\n  AddLabelText \"Add Label\"\r\n}\r\n"},
    {"library", 35,
     "kind \"library\"\r\nkuid <KUID2:520252:100162:0>\r\ntrainz-build 3.5\r\nusername \"Conditions\"\r\n"
     "script \"ConditionLibrary\"\r\nclass \"ConditionLibrary\"\r\ncategory-class \"YL\"\r\n"
     "kuid-table\r\n{\r\n  rule <kuid:520252:100161>\r\n}\r\nstring-table\r\n{\r\n}\r\n"},
    {"mospeedboard", 29,
     "username \"Track scanner\"\r\nkuid <kuid:501228:1104231>\r\ncategory-class \"TF\"\r\nscript \"trig\"\r\n"
     "class \"trig\"\r\nsurveyor-only 1\r\ntrainz-build 2.9\r\nkind \"mospeedboard\"\r\nlight 1\r\ntrackside 0\r\n"
     "author \"someone\"\r\ncontact-website \"www.example.com\"\r\ncategory-keyword \"JOS;PJL\"\r\n"
     "mesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"trig.im\"\r\n    auto-create 1\r\n  }\r\n}\r\n"},
    {"scenery", 20,
     "kind \"scenery\"\r\nkuid <kuid:1234:5678>\r\ntrainz-build 2.0\r\nusername \"Shed\"\r\n"
     "mesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"shed.im\"\r\n    auto-create 1\r\n  }\r\n}\r\n"
     "thumbnails\r\n{\r\n  0\r\n  {\r\n    image \"thumbnail.jpg\"\r\n    width 240\r\n    height 180\r\n  }\r\n}\r\n"},
    {"scenery", 25,
     "kind \"scenery\"\r\nkuid <kuid:1234:5679>\r\ntrainz-build 2.5\r\nusername \"Barn\"\r\nlight 1\r\n"
     "thumbnails\r\n{\r\n  0\r\n  {\r\n    image \"thumbnail.jpg\"\r\n    width 240\r\n    height 180\r\n  }\r\n}\r\n"},
    {"industry", 37,
     "kind \"industry\"\r\nkuid <kuid:1234:5680>\r\ntrainz-build 3.7\r\nusername \"Mill\"\r\n"
     "asset-filename \"mill\"\r\nmesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"mill.im\"\r\n    auto-create 1\r\n"
     "  }\r\n}\r\n"},
};

TEST(TagsVocabulary, WorkingAssetsOfEachKindHaveNoTagOutOfContextOrBuild) {
    for (const WorkingAsset& a : kWorkingAssets) {
        test::ValidationBed bed(kOurTags);
        const TVerifyReport report = bed.Validate(a.config, a.build);
        EXPECT_EQ(bed.walnut.Kind(), a.kind);
        for (std::size_t i = 1; i < report.Lines.size(); ++i) {
            EXPECT_FALSE(ContainsStr(report.Lines[i], "invalid in this context")) << a.kind << ": " << report.Lines[i - 1];
            EXPECT_FALSE(ContainsStr(report.Lines[i], "invalid in this build")) << a.kind << ": " << report.Lines[i - 1];
        }
    }
}

// Delete Obsolete Tags, as a batch runs it, on the asset loaded in the bed; the rows that are gone.
Lines ObsoleteTagsDeleted(test::ValidationBed& bed) {
    const auto rows = [&bed] {
        Lines paths;
        for (const TOutlineNode* n = bed.doc.Root(); n; n = n->NextRow()) paths.push_back(bed.doc.NodePath(n));
        return paths;
    };
    const Lines before = rows();
    SilentScriptHost host;
    DeleteObsoleteTags(bed.state, host, bed.doc, true);  // the legacy tags a batch keeps are only named
    const Lines after = rows();
    Lines gone;
    for (const std::string& path : before)
        if (std::find(after.begin(), after.end(), path) == after.end()) gone.push_back(path);
    return gone;
}

TEST(TagsVocabulary, DeleteObsoleteTagsKeepsEveryTagOfWorkingAssets) {
    for (const WorkingAsset& a : kWorkingAssets) {
        test::ValidationBed bed(kOurTags);
        bed.Load(a.config);
        bed.state.SetActiveBuild(a.build);
        EXPECT_EQ(ObsoleteTagsDeleted(bed), Lines{}) << a.kind << " " << a.build;
    }
    // Every real asset of the corpus, each from a copy of its config.
    const Lines configs = CorpusConfigs("");
    if (configs.empty()) GTEST_SKIP() << "no corpus at " << kCorpus;
    for (const std::string& config : configs) {
        test::ValidationBed bed(kOurTags);
        bed.Load(test::ReadBytes(config));
        bed.state.SetActiveBuild(ParseBuild(bed.doc.GetValueByPath("trainz-build")));
        EXPECT_EQ(ObsoleteTagsDeleted(bed), Lines{}) << config;
    }
}

TEST(TagsVocabulary, EveryCorpusConfigValidates) {
    const Lines configs = CorpusConfigs("");
    if (configs.empty()) GTEST_SKIP() << "no corpus at " << kCorpus;
    for (const std::string& config : configs) {
        CorpusBed bed;
        const TVerifyReport report = bed.ValidateFolder(ExtractFileDir(config));
        EXPECT_NE(bed.walnut.Kind(), "unknown") << config;
        EXPECT_EQ(report.LogError, "") << config;
        EXPECT_FALSE(report.Lines.empty()) << config;
    }
}

// What working published assets write raises no alarm: KUIDs written <KUID:...> and <KUID2:...:0>,
// an empty kuid-table or string-table, description "" and an empty string-table entry. The one such
// fault left in the corpus is the template's placeholder KUID.
TEST(TagsVocabulary, TheCorpusRaisesNoFalseAlarmAndRealFaultsStay) {
    const Lines configs = CorpusConfigs("");
    if (configs.empty()) GTEST_SKIP() << "no corpus at " << kCorpus;
    Lines faults;
    for (const std::string& config : configs) {
        CorpusBed bed;
        const TVerifyReport report = bed.ValidateFolder(ExtractFileDir(config));
        for (const TVerifyFinding& f : report.Findings)
            if (f.Message == "Invalid kuid format" || f.Message == "Container is empty" || f.Message == "Tag is empty")
                faults.push_back(ExtractFileName(ExtractFileDir(config)) + " " + f.Node + " " + f.Message);
    }
    EXPECT_EQ(faults, Lines{"Assets [kuid <kuid:value1:value2>] Invalid kuid format"});

    // The same checks still find the faults they are for: a required name left empty, a thumbnail
    // without its image, a KUID without a user, a mesh-table or thumbnails with no entry.
    test::ValidationBed bed(kOurTags);
    const auto errors = [&bed](const std::string& config) {
        Lines found;
        for (const TVerifyFinding& f : bed.Validate(config, 35).Findings)
            if (f.Error) found.push_back(f.Node + " " + f.Message);
        return found;
    };
    EXPECT_EQ(errors("kind \"scenery\"\r\nkuid <KUID2:0:5:0>\r\ntrainz-build 3.5\r\nusername \"\"\r\n"
                     "thumbnails\r\n{\r\n  0\r\n  {\r\n  }\r\n}\r\nkuid-table\r\n{\r\n  0 <kuid2:1:2:x>\r\n}\r\n"),
              (Lines{"[kuid <KUID2:0:5:0>] Invalid kuid format", "[username \"\"] Tag is empty",
                     "[thumbnails\\0\\ ] Container is empty", "[kuid-table\\0 <kuid2:1:2:x>] Invalid kuid format"}));
    EXPECT_EQ(errors("kind \"scenery\"\r\nkuid <kuid:1:5>\r\ntrainz-build 3.5\r\nusername \"x\"\r\nmesh-table\r\n{\r\n}\r\n"
                     "thumbnails\r\n{\r\n}\r\nkuid-table\r\n{\r\n}\r\nstring-table\r\n{\r\n}\r\nobsolete-table\r\n{\r\n}\r\n"),
              (Lines{"[mesh-table\\ ] Container is empty", "[thumbnails\\ ] Container is empty"}));
}

}  // namespace
}  // namespace kelvarn
