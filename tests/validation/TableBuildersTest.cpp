// The table builders and config repairs on small assets made here, with our own tags.xml and
// SortOrder.txt: what each writes, what each refuses, and that refusals leave the asset alone.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "ScriptTestSupport.h"
#include "catalogue/OutlineWiring.h"
#include "shell/CommandBus.h"
#include "shell/DesktopFiles.h"
#include "shell/Files.h"
#include "shell/MainMenuRules.h"
#include "shell/MemIni.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "support/MeshFileBuilder.h"
#include "validation/TableBuilders.h"

namespace kelvarn::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kResources = std::string(KELVARN_SOURCE_DIR) + "/resources/bin";

// Moves to a folder of its own, as the desktop's trash would.
class FolderTrash final : public ITrash {
public:
    std::string folder;
    std::string MoveToTrash(const std::string& path) override {
        std::error_code ec;
        fs::create_directories(folder, ec);
        fs::rename(path, fs::path(folder) / fs::path(path).filename(), ec);
        return ec ? "Unable to move " + path + " to the trash" : std::string();
    }
};

// A bed with our tag definitions, the asset folder "asset" selected and loaded.
struct BuilderBed : ScriptBed {
    std::unique_ptr<TOutlineWiring> wiring;
    std::string asset;
    FolderTrash trash;

    BuilderBed() : ScriptBed(false) {
        trash.folder = dir / "trash";
        state.Trash = &trash;
        fs::create_directories(Program() + "/bin");
        for (const char* name : {"tags.xml", "SortOrder.txt", "invisible.im", "groundplane_master.im", "groundplane.tga",
                                 "groundplane-groundplane.texture.txt"})
            fs::copy_file(kResources + "/" + name, Program() + "/bin/" + name);
        wiring = std::make_unique<TOutlineWiring>(state, *main, false);
    }
    // Files of the asset ("name" or "folder/name" with their bytes) before it is loaded.
    void Load(std::string_view config, const std::vector<std::pair<std::string, std::string>>& files = {}) {
        asset = Asset("asset", config);
        for (const auto& [name, bytes] : files) WriteBytes(asset + "/" + name, bytes);
        asset = SelectAsset("asset", config);
    }
    TBuilderContext Context(bool batch = false) { return {state, host, *main, asset, batch}; }
    // The saved config without CR.
    std::string Config() const { return RemoveChars(main->ConfigFileText(), "\r"); }
    // Every row as "path=value" (containers end in "\"), in row order: the tree without its layout.
    Lines Tree() const {
        Lines rows;
        for (const TOutlineNode* n = main->Root()->NextRow(); n; n = n->NextRow())
            rows.push_back(main->NodePath(n) + (n->HasChildren() ? "" : "=" + TagValue(n->Text())));
        return rows;
    }
    bool Has(const std::string& name) const { return fs::exists(asset + "/" + name); }
};

std::string Message(BuilderBed& bed, std::string (*routine)(TBuilderContext&)) {
    TBuilderContext context = bed.Context();
    return routine(context);
}

// --- helpers

TEST(BuilderHelpers, BaseKuid) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<kuid:123:456>", "<kuid:123:456>"},
        {"<KUID2:123:456:7>", "<kuid:123:456>"},
        {"<kuid:-1:42>", "<kuid:-1:42>"},
        {" <kuid2:-3:10060:1> ", "<kuid:-3:10060>"},
        {"<kuid2:1:2>", ".BaseKUID: Invalid Input: <kuid2:1:2>"},
        {"<kuid:1:2:3>", ".BaseKUID: Invalid Input: <kuid:1:2:3>"},
        {"<kuid:a:2>", ".BaseKUID: Invalid Input: <kuid:a:2>"},
        {"kuid:1:2", ".BaseKUID: Invalid Input: kuid:1:2"},
        {"", ".BaseKUID: Invalid Input: "},
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(BaseKUID(input), expected) << input;
}

TEST(BuilderHelpers, ListFolderFilesInMixedCaseAndMeshLookups) {
    BuilderBed bed;
    bed.Load("kind \"scenery\"\nasset-filename \"Shed\"\nnight \"Dark\"\nmode0 \"m0\"\n",
             {{"Shed.PM", "x"}, {"Sub/Part.IM", "x"}, {"dark/Dark.im", "x"}, {"m0/m0.lm.txt", "mesh(0)\nname=\"a.im\"\n"},
              {"notes.txt", "x"}});
    Lines found;
    ListFolderFiles(bed.asset + "\\", "*.im;*.pm", found);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Lines{"Shed.PM", "Sub\\Part.IM", "dark\\Dark.im"}));
    EXPECT_EQ(FindAssetMeshes(*bed.main, bed.asset, "asset-filename"), "Shed.pm");
    EXPECT_EQ(FindAssetMeshes(*bed.main, bed.asset, "night"), "Dark/Dark.im");
    EXPECT_EQ(FindAssetMeshes(*bed.main, bed.asset, "mode0"), "m0/m0.lm");
    EXPECT_EQ(FindAssetMeshes(*bed.main, bed.asset, "mode1"), "");
    EXPECT_EQ(ResolveLodMesh(bed.asset, "m0/m0.lm"), "m0/a.im");
    EXPECT_EQ(ResolveLodMesh(bed.asset, "x.im"), "x.im");
}

TEST(BuilderHelpers, CollectConfigKuidsTakesEachKuidOfAValue) {
    BuilderBed bed;
    bed.Load("kuid <kuid:1:1>\nkind \"scenery\"\nlist \"<kuid:1:2>,<KUID2:1:3:2>\"\nbad \"<kuid:x:y>\"\n"
             "obsolete-table {\n  0 <kuid:9:9>\n}\nbox {\n  inner <kuid:-5:6>\n}\n");
    EXPECT_EQ(CollectConfigKuids(*bed.main), (Lines{"<kuid:1:2>", "<kuid2:1:3:2>", "<kuid:-5:6>"}));
}

// --- mesh tables

TEST(MeshTable, RefusalsChangeNothing) {
    struct Case {
        const char* name;
        std::string config;
        std::vector<std::pair<std::string, std::string>> files;
        std::string word, message;
    };
    const std::vector<Case> cases = {
        {"NotAMeshAsset", "kind \"texture\"\n", {}, "", ".Not applicable to texture assets"},
        {"LibraryNotAMeshAsset", "kind \"library\"\n", {}, "library", ".Not applicable to library assets"},
        {"TableExists", "kind \"scenery\"\nmesh-table {\n  default {\n    mesh \"a.im\"\n  }\n}\n", {{"a.im", "x"}}, "",
         ".Mesh-table already exists"},
        {"LodFiles", "kind \"scenery\"\nasset-filename \"a\"\n", {{"a.im", "x"}, {"lod/b.lm.txt", "x"}}, "",
         ".Lm.txt files found in asset, cannot identify meshes"},
        {"UnknownKindKeepsItsPm", "kind \"procedural-track\"\n", {{"a.im", "x"}, {"a.pm", "x"}}, "",
         ".Cannot create mesh table for this asset"},
        {"NoMainMesh", "kind \"scenery\"\nasset-filename \"gone\"\n", {{"a.im", "x"}}, "", ".Unable to identify meshes"},
        {"TwoMeshesNoShadow", "kind \"traincar\"\n", {{"a.im", "x"}, {"b.im", "x"}}, "", ".Cannot identify default mesh"},
        {"TwoAnimations", "kind \"traincar\"\n", {{"a.im", "x"}, {"a.kin", "x"}, {"b.kin", "x"}}, "",
         ".Asset has animations but cannot identify default *.KIN"},
    };
    for (const Case& c : cases) {
        BuilderBed bed;
        bed.Load(c.config, c.files);
        const std::string before = bed.Config();
        TBuilderContext context = bed.Context();
        EXPECT_EQ(CreateMeshTable(context, c.word), c.message) << c.name;
        EXPECT_EQ(bed.Config(), before) << c.name;
        for (const auto& file : c.files) EXPECT_TRUE(bed.Has(file.first)) << c.name << " " << file.first;
    }
}

TEST(MeshTable, TraincarWithShadowAndAnimation) {
    BuilderBed bed;
    bed.Load("kind \"traincar\"\n", {{"body/Car.im", "x"}, {"body/car_SHADOW.im", "x"}, {"body/car.kin", "x"}});
    TBuilderContext context = bed.Context();
    EXPECT_EQ(CreateMeshTable(context, ""), "");
    EXPECT_EQ(bed.Tree(), (Lines{"config.txt\\kind=\"traincar\"", "config.txt\\mesh-table\\", "config.txt\\mesh-table\\default\\",
                                 "config.txt\\mesh-table\\default\\mesh=\"body/Car.im\"",
                                 "config.txt\\mesh-table\\default\\auto-create=1",
                                 "config.txt\\mesh-table\\default\\anim=\"body/car.kin\"",
                                 "config.txt\\mesh-table\\default\\animation-loop-speed=1.0",
                                 "config.txt\\mesh-table\\shadow\\", "config.txt\\mesh-table\\shadow\\mesh=\"body/car_SHADOW.im\""}));
}

TEST(MeshTable, ShadowSettingAndDuskCaster) {
    struct Case {
        int shadows;
        const char* toolVersion;  // null: no tool
        std::string message, shadow;
        std::size_t runs;
    };
    const std::vector<Case> cases = {
        {0, nullptr, "", "", 0},
        {1, nullptr, "", "body/invisible.im", 0},
        {2, nullptr, ".Cannot create shadow, DuskCaster not installed or out of date", "", 0},
        {2, "1.9", ".Cannot create shadow, DuskCaster not installed or out of date", "", 0},
        {2, "1.10", "", "body/shadow.im", 1},
    };
    for (const Case& c : cases) {
        BuilderBed bed;
        bed.state.Settings().WriteInteger("Options", "Shadows", c.shadows);
        bed.state.Settings().WriteString("System", "DuskCaster", "%strell%\\DuskCaster\\DuskCaster.exe -q");
        bed.state.Paths.Strellworks = bed.dir / "strell";
        if (c.toolVersion) {
            WriteBytes(bed.dir / "strell/DuskCaster/DuskCaster.exe", "x");
            WriteBytes(bed.dir / "strell/DuskCaster/DuskCaster.ini", std::string("[Program]\nVersion=") + c.toolVersion + "\n");
        }
        bed.Load("kind \"traincar\"\n", {{"body/car.im", "x"}});
        TBuilderContext context = bed.Context();
        EXPECT_EQ(CreateMeshTable(context, ""), c.message) << c.shadows;
        EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\shadow\\mesh"), c.shadow) << c.shadows;
        ASSERT_EQ(bed.runner.runs.size(), c.runs);
        if (c.runs) {
            const Lines args = bed.runner.runs[0].arguments;
            ASSERT_EQ(args.size(), 2u);
            EXPECT_EQ(args[0], "-q");
            EXPECT_EQ(args[1], NativePath(bed.asset + "/body/car.im"));
        }
        EXPECT_EQ(c.shadows == 1, bed.Has("body/invisible.im"));
    }
}

// DuskCaster's output is shown nowhere: a run the user stopped is reported and names no shadow mesh.
TEST(MeshTable, DuskCasterStoppedByTheUserNamesNoShadow) {
    BuilderBed bed;
    bed.state.Settings().WriteInteger("Options", "Shadows", 2);
    bed.state.Settings().WriteString("System", "DuskCaster", "%strell%\\DuskCaster\\DuskCaster.exe -q");
    bed.state.Paths.Strellworks = bed.dir / "strell";
    WriteBytes(bed.dir / "strell/DuskCaster/DuskCaster.exe", "x");
    WriteBytes(bed.dir / "strell/DuskCaster/DuskCaster.ini", "[Program]\nVersion=1.10\n");
    bed.Load("kind \"traincar\"\n", {{"body/car.im", "x"}});
    bed.runner.cancelled = true;
    TBuilderContext context = bed.Context();
    EXPECT_EQ(CreateMeshTable(context, ""), "DuskCaster: stopped by the user");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\shadow\\mesh"), "");
    EXPECT_EQ(bed.runner.runs.size(), 1u);
}

TEST(MeshTable, InvisibleShadowKeepsTheAssetsOwnFileInTheBackups) {
    BuilderBed bed;
    bed.state.Settings().WriteInteger("Options", "Shadows", 1);
    bed.Load("kind \"bogey\"\n", {{"car.im", "x"}, {"Invisible.IM", "mine"}});
    TBuilderContext context = bed.Context();
    EXPECT_EQ(CreateMeshTable(context, ""), "");
    // "Invisible.IM" holds "shadow" nowhere, so it is a second default mesh; the last one found wins.
    EXPECT_EQ(ReadBytes(bed.asset + "/Invisible.IM"), ReadBytes(kResources + "/invisible.im"));
    Lines backups;
    FindFilesRecursive(bed.Backup() + "/*.*", "*", backups);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(ReadBytes(backups[0]), "mine");
}

TEST(MeshTable, SceneryFromLegacyTagsAndDuplicatePm) {
    BuilderBed bed;
    bed.state.Settings().WriteBool("Options", "AutoDeletePM", true);
    bed.Load("kind \"scenery\"\nasset-filename \"shed\"\nnight \"dark\"\nautoanimation 1\n",
             {{"shed.im", "x"}, {"shed.pm", "x"}, {"anim.kin", "x"}, {"dark/dark.pm", "x"}});
    TBuilderContext context = bed.Context();
    EXPECT_EQ(CreateMeshTable(context, ""), ".1pm mesh file(s) deleted");
    EXPECT_FALSE(bed.Has("shed.pm"));
    EXPECT_EQ(bed.Tree(), (Lines{"config.txt\\kind=\"scenery\"", "config.txt\\asset-filename=\"shed\"", "config.txt\\mesh-table\\",
                                 "config.txt\\mesh-table\\default\\", "config.txt\\mesh-table\\default\\mesh=\"shed.im\"",
                                 "config.txt\\mesh-table\\default\\auto-create=1",
                                 "config.txt\\mesh-table\\default\\anim=\"anim.kin\"", "config.txt\\mesh-table\\default-night\\",
                                 "config.txt\\mesh-table\\default-night\\mesh=\"dark/dark.pm\"",
                                 "config.txt\\mesh-table\\default-night\\auto-create=1"}));
}

TEST(MeshTable, LibraryEntersUnreferencedMeshesAndLodFiles) {
    BuilderBed bed;
    bed.Load("kind \"mesh\"\nmesh-table {\n  0 {\n    mesh \"a.im\"\n  }\n  2 {\n    mesh \"lib.im\"\n"
             "    mesh-asset <kuid:1:2>\n  }\n}\n",
             {{"a.im", "x"}, {"lib.im", "x"}, {"b.im", "x"}, {"b.kin", "x"}, {"lod/x.lm.txt", "mesh(0)\nname=\"hi.im\"\n"},
              {"lod/hi.im", "x"}});
    TBuilderContext context = bed.Context();
    EXPECT_EQ(CreateMeshTable(context, "LIBRARY"), "");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\1\\mesh"), "b.im");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\1\\anim"), "b.kin");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\3\\mesh"), "lib.im");  // its entry names another asset's mesh
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\4\\mesh"), "lod/x.lm");
    EXPECT_EQ(bed.main->FindNodeByPath("mesh-table\\5"), nullptr);  // the LOD component has no entry
    EXPECT_EQ(CreateMeshTable(context, "library"), ".No unreferenced meshes to process");
}

// --- bogeys

TEST(BogieTable, LegacyTagsBecomeEntries) {
    BuilderBed bed;
    bed.Load("kind \"traincar\"\nbogey \"<KUID:1:2>\"\nbogey-1-r 1234\nbogey-r <kuid:5:6>\nbogey-front <kuid:9:9>\n");
    EXPECT_EQ(Message(bed, CreateBogieTable), "");
    // A name whose index is no number names no entry: the tag stays.
    EXPECT_EQ(bed.Tree(), (Lines{"config.txt\\kind=\"traincar\"", "config.txt\\bogey-front=<kuid:9:9>", "config.txt\\bogeys\\", "config.txt\\bogeys\\0\\",
                                 "config.txt\\bogeys\\0\\bogey=<kuid:5:6>", "config.txt\\bogeys\\0\\reversed=1",
                                 "config.txt\\bogeys\\1\\", "config.txt\\bogeys\\1\\bogey=<kuid:-1:1234>",
                                 "config.txt\\bogeys\\1\\reversed=1"}));
    EXPECT_EQ(Message(bed, CreateBogieTable), ".No bogie tags found or table already exists");
    BuilderBed scenery;
    scenery.Load("kind \"scenery\"\n");
    EXPECT_EQ(Message(scenery, CreateBogieTable), ".Not applicable to non traincar assets");
}

// --- KUIDs

TEST(KuidTable, SortsKeepsNamedAndHighestVersions) {
    BuilderBed bed;
    bed.Load("kuid <kuid:1:1>\nkind \"scenery\"\nbogey 77\n"
             "kuid-table {\n  PermitManagerRule <kuid:30:1>\n  0 <kuid:9:9>\n}\n"
             "a \"<kuid2:30:1:4>\"\nb \"<kuid:2:5>,<kuid2:2:5:3>\"\nc <kuid:-25:7>\nd <kuid2:2:5:1>\n"
             "description \"made after <kuid:40:1>\"\nstring-table\n{\n  t \"see <kuid:41:1>\"\n}\n");
    EXPECT_EQ(Message(bed, UpdateKuidTable), "");
    EXPECT_EQ(bed.main->GetValueByPath("bogey"), "<kuid:-1:77>");
    Lines names, values;
    bed.main->ListChildNames("kuid-table", names);
    for (const std::string& n : names) values.push_back(bed.main->GetValueByPath("kuid-table\\" + n));
    EXPECT_EQ(names, (Lines{"permitmanagerrule", "0", "1", "2"}));
    // A named entry keeps its name as written: scripts look it up so.
    EXPECT_EQ(bed.main->FindNodeByPath("kuid-table")->Child(0)->Text(), "PermitManagerRule <kuid:30:1>");
    EXPECT_EQ(values, (Lines{"<kuid:30:1>", "<kuid:-25:7>", "<kuid:-1:77>", "<kuid2:2:5:3>"}));
    BuilderBed map;
    map.Load("kind \"map\"\na <kuid:1:2>\n");
    EXPECT_EQ(Message(map, UpdateKuidTable), ".Cannot update this asset");
}

// --- categories, user tags, names

TEST(Categories, EraAndRegionMergeLegacyTags) {
    BuilderBed bed;
    bed.state.Paths.Trainz = bed.dir / "trainz";
    bed.state.Settings().WriteString("Paths", "TETData", "data");
    WriteBytes(bed.dir / "trainz/data/category-era.txt", "1950s\r\n1955s\r\n1960s\r\n1990s\r\n");
    WriteBytes(bed.dir / "trainz/data/category-region.txt", "00\r\nAU\r\nUS\r\n");
    bed.Load("kind \"scenery\"\ncategory-era-0 \"1955\"\ncategory-era-1 \"1960s\"\ncategory-era \"1990s;2020s\"\n"
             "category-region-0 \"US\"\ncategory-region \"AU\"\n");
    EXPECT_EQ(Message(bed, UpdateCategoryEra), "");
    EXPECT_EQ(bed.main->GetValueByPath("category-era"), "1955s;1960s;1990s");
    EXPECT_EQ(bed.main->FindNodeByPath("category-era-0"), nullptr);
    EXPECT_EQ(Message(bed, UpdateCategoryRegion), "");
    EXPECT_EQ(bed.main->GetValueByPath("category-region"), "AU;US");
    BuilderBed all;
    all.state.Paths = bed.state.Paths;
    all.state.Settings().WriteString("Paths", "TETData", "data");
    all.Load("kind \"scenery\"\ncategory-region-0 \"ALL\"\ncategory-region \"US\"\n");
    EXPECT_EQ(Message(all, UpdateCategoryRegion), "");
    EXPECT_EQ(all.main->GetValueByPath("category-region"), "00");
    BuilderBed none;
    none.Load("kind \"scenery\"\ncategory-era-0 \"1955\"\n");
    EXPECT_TRUE(StartsWith(Message(none, UpdateCategoryEra), ".File not found: "));
    EXPECT_EQ(none.main->GetValueByPath("category-era-0"), "1955");
}

TEST(UserTags, OnlyTheUsersOwnAssetAndLicenseLines) {
    for (const char* user : {"77", "78"}) {
        BuilderBed bed;
        TMemIni& ini = bed.state.Settings();
        ini.WriteString("UserData", "UserID", user);
        ini.WriteString("UserData", "author", "Me");
        ini.WriteString("License", "0", "Free for");
        ini.WriteString("License", "1", "all uses");
        bed.Load("kuid <kuid:77:1>\nkind \"scenery\"\norganisation \"old\"\n");
        EXPECT_EQ(Message(bed, UpdateUserTags), "");
        const bool own = std::string(user) == "77";
        EXPECT_EQ(bed.main->GetValueByPath("author"), own ? "Me" : "");
        EXPECT_EQ(bed.main->GetValueByPath("license"), own ? "Free for all uses" : "");
        EXPECT_EQ(bed.main->GetValueByPath("organisation"), own ? "" : "old");
    }
}

TEST(Username, LanguagesFromSettings) {
    BuilderBed bed;
    bed.state.Settings().WriteString("Options", "Languages", "de, fr");
    bed.Load("kind \"scenery\"\nname \"Shed\"\nusername \"\"\nname-de \"Schuppen\"\nusername-fr \"Remise\"\nname-fr \"x\"\n");
    EXPECT_EQ(Message(bed, UpdateUsername), "");
    Lines tree = bed.Tree();
    std::sort(tree.begin(), tree.end());
    EXPECT_EQ(tree, (Lines{"config.txt\\kind=\"scenery\"", "config.txt\\username-de=\"Schuppen\"",
                           "config.txt\\username-fr=\"Remise\"", "config.txt\\username=\"Shed\""}));
    EXPECT_EQ(bed.Tree().front(), "config.txt\\username=\"Shed\"");  // reordered as SortOrder.txt says
}

// Without a setting, the languages the settings dialog offers.
TEST(Username, LanguagesOfTheSettingsDialogByDefault) {
    BuilderBed bed;
    bed.Load("kind \"scenery\"\nname \"Shed\"\nname-de \"Schuppen\"\nname-xx \"kept\"\n");
    EXPECT_EQ(Message(bed, UpdateUsername), "");
    EXPECT_EQ(bed.main->GetValueByPath("username-de"), "Schuppen");
    EXPECT_EQ(bed.main->FindNodeByPath("name-de"), nullptr);
    EXPECT_EQ(bed.main->GetValueByPath("name-xx"), "kept");
}

// --- asset-filename

TEST(AssetFilename, MeshTableFirstAndItsFailures) {
    {
        BuilderBed bed;
        bed.Load("kind \"scenery\"\nasset-filename \"gone\"\n");
        EXPECT_EQ(Message(bed, UpdateAssetFilename),
                  ".Unable to identify meshes\r\nasset-filename tag retained: no mesh-table could be made");
        EXPECT_EQ(bed.main->GetValueByPath("asset-filename"), "gone");
    }
    {
        BuilderBed bed;
        bed.Load("kind \"groundtexture\"\nasset-filename \"grass\"\n");
        EXPECT_EQ(Message(bed, UpdateAssetFilename), "");
        EXPECT_EQ(bed.Tree(), (Lines{"config.txt\\kind=\"groundtexture\"", "config.txt\\texture=\"grass.texture\""}));
    }
    {
        BuilderBed bed;
        bed.Load("kind \"itrack\"\nasset-filename \"rail\"\n", {{"rail.im", "new"}, {"default.im", "old"}, {"rail.pm", "p"}});
        const std::string message = Message(bed, UpdateAssetFilename);
        EXPECT_TRUE(StartsWith(message, ".File already exists: ")) << message;
        EXPECT_EQ(ReadBytes(bed.asset + "/default.im"), "old");
        EXPECT_EQ(ReadBytes(bed.asset + "/default.pm"), "p");
        EXPECT_EQ(bed.main->FindNodeByPath("asset-filename"), nullptr);
    }
    {
        BuilderBed bed;
        bed.Load("kind \"scenery\"\nasset-filename \"sign\"\n", {{"sign.im", "x"}, {"alphanumber_a.tga", "x"}});
        EXPECT_EQ(Message(bed, UpdateAssetFilename), ".'fonts' tag is missing");
        EXPECT_EQ(bed.main->GetValueByPath("fonts-path"), "sign");
        EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\default\\mesh"), "sign.im");
    }
}

// --- cameras

TEST(Cameras, LegacyTagsPaddingAndDefault) {
    struct Case {
        std::string config, message;
        Lines cameras;
        std::string index;
    };
    const std::vector<Case> cases = {
        {"kind \"interior\"\ncamera0 1,2,3\ncamera1 4,5,6,7,8\ncamera 2\n", "", {"1,2,3,0,0", "4,5,6,7,8"}, "0"},
        {"kind \"interior\"\ncamera1 4,5,6\ncameradefault 1\n", "", {"4,5,6,0,0"}, "0"},
        {"kind \"interior\"\ncameralist {\n  camera0 1,1,1,1,1\n}\ncamera 9,9\ncameradefault 1\n", "",
         {"1,1,1,1,1", "9,9,0.0,0.0,0.0"}, "1"},
        {"kind \"interior\"\ncameralist {\n  camera0 1,1,1,1,1\n}\ncamera 0\n", "", {"1,1,1,1,1"}, "0"},
        {"kind \"interior\"\ncameradefault x\n", ".No camera data to process", {}, ""},
        {"kind \"scenery\"\ncamera0 1,2,3\n", ".Update camera not applicable to this asset kind", {}, ""},
    };
    for (const Case& c : cases) {
        BuilderBed bed;
        bed.Load(c.config);
        EXPECT_EQ(Message(bed, UpdateCameraList), c.message) << c.config;
        if (!c.message.empty()) continue;
        Lines names, values;
        bed.main->ListChildNames("cameralist", names);
        for (const std::string& n : names) values.push_back(bed.main->GetValueByPath("cameralist\\" + n));
        EXPECT_EQ(values, c.cameras) << c.config;
        EXPECT_EQ(bed.main->GetValueByPath("cameradefault"), c.index) << c.config;
        EXPECT_EQ(bed.main->FindNodeByPath("camera"), nullptr);
    }
}

// --- small repairs

// "Update Trainz-Build (3.5)" with 3.5 chosen in the Trainz-Build menu writes 3.5, not the default
// build: an asset at 2.9 is raised to what the item names, never lowered to 2.5.
TEST(SmallRepairs, UpdateTrainzBuildWritesTheBuildItsCaptionNames) {
    BuilderBed bed;
    bed.Load("kuid <kuid:1:2>\nkind \"scenery\"\ntrainz-build 2.9\n");
    bed.state.Settings().WriteString("Paths", "Build", "2.5");
    bed.state.SetDefaultBuild(25);
    bed.state.SetActiveBuild(35);
    TRepairMainMenuFacts facts;
    facts.configBuild = ParseBuild(bed.main->GetValueByPath("trainz-build"));
    facts.activeBuild = bed.state.ActiveBuild();
    std::string caption;
    for (const TMenuItemState& item : RepairMainMenuStates(facts))
        if (item.name == "mTrainzBuild") caption = item.caption.value_or("");
    ASSERT_EQ(caption, "Update Trainz-Build (3.5)");
    EXPECT_EQ(Message(bed, SetDefaultTrainzBuild), "");
    EXPECT_EQ("Update Trainz-Build (" + bed.main->GetValueByPath("trainz-build") + ")", caption);
    EXPECT_EQ(bed.main->FindNodeByPath("trainz-build")->Text(), "trainz-build 3.5");
}

TEST(SmallRepairs, BuildQueueEmptyTagsAndMandatory) {
    BuilderBed bed;
    bed.Load("kuid <kuid:1:2>\nkind \"scenery\"\ndescription \"\"\nbox {\n  inner \"\"\n}\nkeep \"x\"\n");
    bed.state.SetActiveBuild(0);
    EXPECT_EQ(Message(bed, SetDefaultTrainzBuild), "Trainz-build value not set");
    EXPECT_EQ(bed.main->FindNodeByPath("trainz-build"), nullptr);
    EXPECT_EQ(Message(bed, DeleteEmptyTags), "");
    EXPECT_EQ(bed.main->FindNodeByPath("box"), nullptr);
    EXPECT_EQ(bed.main->FindNodeByPath("description"), nullptr);
    EXPECT_EQ(Message(bed, AddPassengerQueue), "");
    EXPECT_EQ(bed.main->GetValueByPath("queues\\passengers\\product-kuid"), "<kuid:-3:10060>");
    EXPECT_EQ(Message(bed, AddPassengerQueue), ".Queues container already present");
    bed.state.SetActiveBuild(35);
    EXPECT_EQ(Message(bed, AddMandatoryTags), "");
    const TOutlineNode* username = bed.main->FindNodeByPath("username");
    ASSERT_NE(username, nullptr);
    EXPECT_TRUE(username->HasFlag(nfError));
}

// --- thumbnails

struct SizeBus final : ICommandBus {
    TProgramState& state;
    explicit SizeBus(TProgramState& s) : state(s) {}
    void SendCommand(int code, std::string_view text) override {
        if (code != ccImageSize) return;
        const std::string bytes = ReadBytes(std::string(text));
        // The test JPEGs are "WxH" text.
        const std::size_t x = bytes.find('x');
        if (x == std::string::npos) return;
        state.ImageSizeInfo = {std::string(text), std::atoi(bytes.c_str()), std::atoi(bytes.c_str() + x + 1)};
    }
};

TEST(Thumbnails, ImagesPlaceholderAndModifiedFlag) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        bool placeholder;
        std::string message, image;
    };
    const std::vector<Case> cases = {
        {"One", {{"shot.jpg", "240x180"}, {"big.jpg", "480x360"}}, false, "", "shot.jpg"},
        {"TwoJpegs", {{"a.jpg", "240x180"}, {"b/c.jpg", "240x180"}}, false, ".No preview image found", ""},
        {"WrongSize", {{"a.jpg", "240x181"}}, false, ".No preview image found", ""},
        {"Placeholder", {{"a.jpg", "240x181"}}, true, "", "$screenshot$.jpg"},
    };
    for (const Case& c : cases) {
        BuilderBed bed;
        SizeBus sizes(bed.state);
        bed.state.CommandTarget = &sizes;
        WriteBytes(bed.Program() + "/bin/$screenshot$.jpg", "240x180");
        bed.state.Settings().WriteBool("Options", "Placeholder", c.placeholder);
        bed.Load("kind \"scenery\"\n", c.files);
        EXPECT_EQ(Message(bed, UpdateThumbnailTable), c.message) << c.name;
        EXPECT_EQ(bed.main->GetValueByPath("thumbnails\\0\\image"), c.image) << c.name;
        // An empty table comes and goes without a change to save.
        EXPECT_EQ(bed.main->Modified(), !c.image.empty()) << c.name;
        EXPECT_EQ(bed.Has("$screenshot$.jpg"), c.placeholder) << c.name;
    }
}

// --- groundplane

TEST(Groundplane, OurTemplateIsRebuiltByteForByte) {
    const std::string bytes = MakeGroundplaneMaster();
    if (std::getenv("KELVARN_UPDATE_GOLDEN")) WriteBytes(kResources + "/groundplane_master.im", bytes);
    EXPECT_EQ(ReadBytes(kResources + "/groundplane_master.im"), bytes);
    for (int k = 0; k < kGroundplaneValues; ++k) {
        float x = 0;
        std::memcpy(&x, bytes.data() + kGroundplaneFirstOffset + kGroundplaneStride * k, sizeof x);
        EXPECT_EQ(x, k < 4 ? kGroundplaneBack : kGroundplaneFront) << k;
    }
    TMesh mesh(kResources + "/groundplane_master.im");
    ASSERT_EQ(mesh.SetActive(true), "");
    EXPECT_EQ(MeshTextureNames(mesh), (Lines{"groundplane-groundplane.texture"}));
}

std::string CarMesh(float back, float front) {
    MeshPoint b{"a.limback"}, f{"a.limfront"};
    b.Position = {back, 0, 0.5f};
    f.Position = {front, 0, 0.5f};
    MeshFileBuilder builder;
    builder.Info().Object(0, MeshMaterial{}, GridGeometry(1, 1)).Attachments({b, f});
    return builder.Bytes();
}

float XAt(const std::string& bytes, int k) {
    float x = 0;
    std::memcpy(&x, bytes.data() + kGroundplaneFirstOffset + kGroundplaneStride * k, sizeof x);
    return x;
}

TEST(Groundplane, PatchedBetweenThePointsAndEntered) {
    BuilderBed bed;
    bed.Load("kind \"traincar\"\nmesh-table {\n  default {\n    mesh \"body/car.lm\"\n  }\n}\n",
             {{"body/car.lm.txt", "mesh(0)\nname=\"car.im\"\n"}, {"body/car.im", CarMesh(-7, 6)}, {"groundplane.tga", "mine"}});
    EXPECT_EQ(Message(bed, AddGroundplane), "");
    const std::string patched = ReadBytes(bed.asset + "/groundplane.im");
    EXPECT_FLOAT_EQ(XAt(patched, 0), -7.68f);
    EXPECT_FLOAT_EQ(XAt(patched, 7), 6.68f);
    EXPECT_EQ(patched.size(), MakeGroundplaneMaster().size());
    EXPECT_EQ(ReadBytes(bed.asset + "/groundplane.tga"), ReadBytes(kResources + "/groundplane.tga"));
    EXPECT_TRUE(bed.Has("groundplane-groundplane.texture.txt"));
    Lines backups;
    FindFilesRecursive(bed.Backup() + "/*.*", "*", backups);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(ReadBytes(backups[0]), "mine");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\groundplane\\mesh"), "groundplane.im");
    EXPECT_EQ(bed.main->GetValueByPath("mesh-table\\groundplane\\auto-create"), "1");
}

TEST(Groundplane, RefusalsWriteNothing) {
    struct Case {
        const char* name;
        std::string config;
        std::string mesh;
        std::string master;  // replaces our template; empty keeps it
        bool failWrite;
        std::string message;
    };
    const std::string kCar = "kind \"traincar\"\nmesh-table {\n  default {\n    mesh \"car.im\"\n  }\n}\n";
    std::string changed = MakeGroundplaneMaster();
    const float odd = 0.5f;
    std::memcpy(changed.data() + 388, &odd, sizeof odd);
    std::memcpy(changed.data() + 508, &odd, sizeof odd);
    const std::vector<Case> cases = {
        {"NotTraincar", "kind \"scenery\"\n", CarMesh(-1, 1), "", false, ".Asset must be a traincar"},
        {"NoDefault", "kind \"traincar\"\n", CarMesh(-1, 1), "", false, ".Default mesh not found"},
        {"NoPoints", kCar, MeshFileBuilder().Info().Object(0, MeshMaterial{}, GridGeometry(1, 1)).Bytes(), "", false,
         ".Attachment point a.limback and/or a.limfront missing from mesh"},
        {"ChangedTemplate", kCar, CarMesh(-1, 1), changed, false, ".Mesh Data Errors at: 388, 508"},
        {"NoTemplate", kCar, CarMesh(-1, 1), "-", false, ".File copy failed: %bin%\\groundplane_master.im"},
        {"WriteFails", kCar, CarMesh(-1, 1), "", true, ".Groundplane creation failed due to I/O error"},
    };
    for (const Case& c : cases) {
        BuilderBed bed;
        if (c.master == "-") fs::remove(bed.Program() + "/bin/groundplane_master.im");
        else if (!c.master.empty()) WriteBytes(bed.Program() + "/bin/groundplane_master.im", c.master);
        bed.Load(c.config, {{"car.im", c.mesh}});
        const std::string before = bed.Config();
        if (c.failWrite)
            SetWriteFaultHook([](const std::string& path) {
                return ContainsStr(path, "groundplane.im") ? std::size_t{10} : std::string::npos;
            });
        EXPECT_EQ(Message(bed, AddGroundplane), c.message) << c.name;
        SetWriteFaultHook(nullptr);
        EXPECT_FALSE(bed.Has("groundplane.im")) << c.name;
        EXPECT_EQ(bed.Config(), before) << c.name;
    }
}

TEST(Groundplane, PatchRefusesShortOrForeignBytes) {
    std::string shortMesh = MakeGroundplaneMaster().substr(0, 400);
    EXPECT_EQ(PatchGroundplaneMesh(shortMesh, -1, 1), ".Mesh Data Errors at: 368");
    std::string notMesh(600, '\0');
    EXPECT_EQ(PatchGroundplaneMesh(notMesh, -1, 1), ".Mesh Data Errors at: 368");
    std::string reversed = MakeGroundplaneMaster();
    EXPECT_EQ(PatchGroundplaneMesh(reversed, 5, -5), "");
    EXPECT_FLOAT_EQ(XAt(reversed, 0), 5.68f);
    EXPECT_FLOAT_EQ(XAt(reversed, 4), -5.68f);
}

// --- no asset folder

TEST(NoAssetFolder, FileWorkIsRefused) {
    BuilderBed bed;
    bed.Load("kind \"traincar\"\nmesh-table {\n  default {\n    mesh \"car.im\"\n  }\n}\nasset-filename \"x\"\n");
    bed.asset.clear();
    for (auto routine : {UpdateThumbnailTable, AddGroundplane, UpdateAssetFilename}) {
        const std::string message = Message(bed, routine);
        EXPECT_TRUE(StartsWith(message, ".Asset Folder not found, or not a valid asset: ")) << message;
    }
    TBuilderContext context = bed.Context();
    EXPECT_TRUE(StartsWith(UpdateMeshLibraryTable(context), ".Asset Folder not found"));
}

}  // namespace
}  // namespace kelvarn::test

namespace kelvarn::test {
namespace {

// Fixture scripts of the builders (tests/data/script_files/builders/NAME.kvm) run on a copy of
// NAME.asset with our tag definitions and fixed settings; the desktop's calls must equal NAME.log,
// the config saved afterwards NAME.config.txt and the asset's files NAME.files, byte for byte.
// KELVARN_UPDATE_GOLDEN=1 rewrites them (read them before committing).
const std::string kGoldens = std::string(KELVARN_TEST_DATA) + "/script_files/builders";

std::vector<std::string> GoldenNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGoldens))
        if (entry.path().extension() == ".kvm") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Listing(const std::string& folder) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            lines.push_back(fs::relative(entry.path(), folder).generic_string() + ": " + ReadBytes(entry.path().string()));
    std::sort(lines.begin(), lines.end());
    return JoinLines(lines, "\n") + "\n";
}

class BuildersGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(BuildersGolden, LogConfigAndFilesMatch) {
    const std::string name = GetParam();
    BuilderBed bed;
    TMemIni& ini = bed.state.Settings();
    bed.state.Paths.Trainz = bed.dir / "trainz";
    ini.WriteString("Paths", "TETData", "data");
    WriteBytes(bed.dir / "trainz/data/category-era.txt", "1950s\r\n1955s\r\n1960s\r\n1990s\r\n");
    WriteBytes(bed.dir / "trainz/data/category-region.txt", "00\r\nAU\r\nGB\r\nUS\r\n");
    ini.WriteString("UserData", "UserID", "1234");
    ini.WriteString("UserData", "author", "Golden Author");
    ini.WriteString("UserData", "contact-email", "golden@example.org");
    ini.WriteString("License", "0", "Free for");
    ini.WriteString("License", "1", "any use");
    ini.WriteString("Options", "Languages", "de");
    ini.WriteBool("Options", "AutoDeletePM", true);
    bed.state.SetActiveBuild(35);
    const std::string asset = bed.dir / "asset";
    fs::copy(kGoldens + "/" + name + ".asset", asset, fs::copy_options::recursive);
    bed.asset = asset;
    bed.state.SetAssetPath(asset);
    ASSERT_EQ(bed.main->LoadConfig(asset), "");
    bed.WriteScript(name, ReadBytes(kGoldens + "/" + name + ".kvm"));
    bed.unit->RunNamedScript(name, false);
    const std::string saved = bed.dir / "saved/config.txt";
    ForceDirectories(bed.dir / "saved");
    ASSERT_EQ(bed.main->SaveConfig(saved, false), "");
    const std::string files = Listing(asset);

    const std::string log = kGoldens + "/" + name + ".log";
    const std::string config = kGoldens + "/" + name + ".config.txt";
    const std::string listing = kGoldens + "/" + name + ".files";
    if (std::getenv("KELVARN_UPDATE_GOLDEN")) {
        WriteBytes(log, bed.host.Log());
        WriteBytes(config, ReadBytes(saved));
        WriteBytes(listing, files);
    }
    EXPECT_EQ(bed.host.Log(), ReadBytes(log));
    EXPECT_EQ(ReadBytes(saved), ReadBytes(config));
    EXPECT_EQ(files, ReadBytes(listing));
}

INSTANTIATE_TEST_SUITE_P(Builders, BuildersGolden, ::testing::ValuesIn(GoldenNames()),
                         [](const auto& info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

}  // namespace
}  // namespace kelvarn::test

namespace kelvarn::test {
namespace {

// The builders on copies of the real assets: each routine either says why it will not act or leaves
// a config that saves and loads again with the same lines; the real folders are never touched.
TEST(BuildersOnRealAssets, EveryRoutineLeavesALoadableConfig) {
    const fs::path corpus = fs::path(KELVARN_SOURCE_DIR) / "../shared/corpus";
    if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus";
    int assets = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().filename() != "config.txt") continue;
        BuilderBed bed;
        const std::string copy = bed.dir / "asset";
        test::CopyWritable(entry.path().parent_path().string(), copy);
        bed.asset = copy;
        bed.state.SetAssetPath(copy);
        ASSERT_EQ(bed.main->LoadConfig(copy), "") << entry.path();
        ++assets;
        using TRoutine = std::string (*)(TBuilderContext&);
        for (TRoutine routine : {FixLegacyKuids, UpdateKuidTable, UpdateMeshLibraryTable, UpdateUsername, UpdateCameraList,
                                 AddPassengerQueue, DeleteEmptyTags, UpdateThumbnailTable}) {
            TBuilderContext context = bed.Context();
            routine(context);
        }
        TBuilderContext context = bed.Context();
        const std::string table = CreateMeshTable(context, "");
        EXPECT_TRUE(table.empty() || table.front() == '.') << entry.path() << ": " << table;
        const std::string text = bed.main->ConfigFileText();
        ASSERT_EQ(bed.main->SaveConfig(copy + "/config.txt", false), "") << entry.path();
        ASSERT_EQ(bed.main->LoadConfig(copy), "") << entry.path();
        // The load puts the top-level tags in SortOrder.txt's order; nothing else may change.
        auto sorted = [](const std::string& t) {
            Lines lines = SplitLines(t);
            std::sort(lines.begin(), lines.end());
            return lines;
        };
        EXPECT_EQ(sorted(bed.main->ConfigFileText()), sorted(text)) << entry.path();
    }
    EXPECT_GE(assets, 10);
}

}  // namespace
}  // namespace kelvarn::test
