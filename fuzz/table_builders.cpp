// Every table builder and config repair on an asset made of the input: its parts, split at lines
// "----", are the config.txt, a level-of-detail file, the default mesh and the era list. Each question
// is answered Yes, no program runs and no file outside the temporary folder changes. Afterwards the
// config must save and load again as the same text.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSandbox.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineWiring.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"
#include "validation/ScriptHost.h"
#include "validation/TableBuilders.h"

namespace {

using namespace kelvarn;

// Enough of a tag specification for the kinds the builders tell apart.
constexpr std::string_view kTags =
    "<TAGSPEC>\n"
    "  <KIND><scenery inherit=\"MESH-ASSET,MAP-OBJECT\"/><traincar inherit=\"MESH-ASSET,MAP-OBJECT,TRAINCAR\"/>"
    "<interior inherit=\"MESH-ASSET\"/><mesh inherit=\"MESH-ASSET\"/><itrack inherit=\"TRACK,ITRACK\"/>"
    "<bogey inherit=\"MESH-ASSET\"/><map inherit=\"MAP\"/></KIND>\n"
    "  <BASE-ASSET><kuid format=\"kuid\" quoted=\"0\" mandatory=\"1.3\"/><kind format=\"string\" mandatory=\"1.3\"/>"
    "<username format=\"string\" mandatory=\"1.3\"/><category-era-N format=\"string\" sequence=\"9\"/>"
    "<category-region-N format=\"string\" sequence=\"9\"/></BASE-ASSET>\n"
    "  <MESH-ASSET><mesh-table format=\"container\"/></MESH-ASSET>\n"
    "  <MAP-OBJECT/><TRAINCAR><bogey-N format=\"kuid\" quoted=\"0\" sequence=\"9\"/></TRAINCAR><TRACK/><ITRACK/><MAP/>\n"
    "  <INTERIOR><cameralist format=\"camera-list\" sequence=\"9\"/></INTERIOR>\n"
    "  <LEGACY><asset-filename/><night/></LEGACY>\n"
    "  <FIXKUIDS><bogey/><bogey-N/><bogey-N-r/><bogey-r/></FIXKUIDS>\n"
    "</TAGSPEC>\n";

class YesHost final : public SilentScriptHost {
public:
    TOutlineDocument* main = nullptr;
    bool Confirm(const std::string&) override { return true; }
    TOutlineDocument* MainOutline() override { return main; }
};

struct World {
    fuzz::Sandbox sandbox{"builders"};
    TProgramState& state = sandbox.state;
    const std::string& root = sandbox.root;
    YesHost host;
    TOutlineDocument main{state};
    std::unique_ptr<TOutlineWiring> wiring;
    std::string asset = root + "/asset";

    World() {
        std::filesystem::create_directories(root + "/program/bin");
        WriteFileAtomic(root + "/program/bin/tags.xml", kTags);
        WriteFileAtomic(root + "/program/bin/groundplane_master.im", test::MakeGroundplaneMaster());
        WriteFileAtomic(root + "/program/bin/groundplane.tga", "tga");
        WriteFileAtomic(root + "/program/bin/groundplane-groundplane.texture.txt", "Primary=groundplane.tga\r\n");
        WriteFileAtomic(root + "/program/bin/invisible.im", "im");
        state.Settings().WriteString("Paths", "Build", "3.5");
        state.Settings().WriteString("UserData", "UserID", "1234");
        state.Settings().WriteString("UserData", "author", "fuzz");
        state.Settings().WriteString("Options", "Languages", "de,fr");
        state.Settings().WriteInteger("Options", "Shadows", 1);
        state.Settings().WriteBool("Options", "AutoDeletePM", true);
        state.SetActiveBuild(35);
        wiring = std::make_unique<TOutlineWiring>(state, main, false);
        host.main = &main;
    }
};

// The raw bytes split at "\n----\n" (the mesh part is binary).
std::vector<std::string> Parts(std::string_view bytes) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() < 3) {
        const std::size_t at = bytes.find("\n----\n", start);
        if (at == std::string_view::npos) break;
        parts.emplace_back(bytes.substr(start, at + 1 - start));
        start = at + 6;
    }
    parts.emplace_back(bytes.substr(std::min(start, bytes.size())));
    parts.resize(4);
    return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (64u << 10)) return 0;
    static World world;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> parts = Parts(text);
    std::error_code ec;
    std::filesystem::remove_all(world.asset, ec);
    // Scratch writes: the asset is made again for every input, nothing needs to reach the disk.
    ForceDirectories(world.asset + "/body");
    WriteScratchFile(world.asset + "/config.txt", parts[0]);
    WriteScratchFile(world.asset + "/body/car.lm.txt", parts[1]);
    WriteScratchFile(world.asset + "/body/car.im", parts[2]);
    WriteScratchFile(world.asset + "/car_shadow.im", parts[2]);
    WriteScratchFile(world.asset + "/car.kin", "kin");
    WriteScratchFile(world.asset + "/thumb.jpg", "jpg");
    WriteScratchFile(world.asset + "/art_icon.tga", "tga");
    WriteScratchFile(world.root + "/trainz/data/category-era.txt", parts[3]);
    world.state.SetAssetPath(world.asset);
    if (!world.main.LoadConfig(world.asset).empty()) return 0;

    TBuilderContext c{world.state, world.host, world.main, world.asset, false};
    using TRoutine = std::string (*)(TBuilderContext&);
    for (TRoutine routine : {FixLegacyKuids, UpdateKuidTable, UpdateCategoryEra, UpdateCategoryRegion, UpdateUserTags,
                             UpdateUsername, UpdateCameraList, SetDefaultTrainzBuild, AddPassengerQueue, AddGroundplane,
                             CreateBogieTable, UpdateThumbnailTable, UpdateMeshLibraryTable, UpdateAssetFilename,
                             AddMandatoryTags, DeleteEmptyTags})
        routine(c);
    CreateMeshTable(c, "");
    CollectConfigKuids(world.main);

    const std::string saved = world.root + "/saved";
    ForceDirectories(saved);
    const std::string before = world.main.ConfigFileText();
    if (!world.main.SaveConfig(saved + "/config.txt", false).empty()) __builtin_trap();
    if (!world.main.LoadConfig(saved).empty() || world.main.ConfigFileText() != before) __builtin_trap();
    return 0;
}
