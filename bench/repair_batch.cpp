// The legacy repairs as one batch over 1,000 generated legacy assets (config.txt of about 60 lines,
// two meshes, a 240 x 180 JPEG each), preview off: -fixkuids, -updatekuidtable, -makemeshtable,
// -makebogeytable, -makethumbnailtable and -clear|invalid. Prints assets per second and the ratio to
// a plain loop that loads, reorders, backs up and saves the same configs (the work a batch cannot
// avoid), at most 2.5. The desktop's image-size answer reads the JPEG's frame header.
//   bench_repair_batch [assets]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ScriptBenchSupport.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineWiring.h"
#include "media/ImageBytes.h"
#include "media/JpegDec.h"
#include "shell/Backups.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "validation/ScriptUnit.h"

namespace {

using namespace kelvarn;
using namespace kelvarn::bench;
namespace fs = std::filesystem;

constexpr int kRounds = 3;

// Callback 237 as the desktop answers it: the JPEG's size from its frame header.
class SizeBus final : public ICommandBus {
public:
    explicit SizeBus(TProgramState& state) : state_(state) {}
    void SendCommand(int code, std::string_view text) override {
        if (code != ccImageSize) return;
        std::string bytes;
        ReadFileBytes(text, bytes, 4096);
        state_.ImageSizeInfo = {std::string(text), 0, 0};
        int width = 0, height = 0;
        if (ReadJpegSize(AsBytes(bytes), width, height)) state_.ImageSizeInfo = {std::string(text), width, height};
    }

private:
    TProgramState& state_;
};

std::string Jpeg(int width, int height) {
    std::string j = "\xFF\xD8\xFF\xC0";
    j += std::string("\x00\x11\x08", 3);
    j += static_cast<char>(height >> 8);
    j += static_cast<char>(height & 0xFF);
    j += static_cast<char>(width >> 8);
    j += static_cast<char>(width & 0xFF);
    j += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    j += std::string(900, '\x55');
    j += "\xFF\xD9";
    return j;
}

std::string LegacyConfig(int n) {
    std::string c;
    c += "kuid                                      <kuid:123456:" + std::to_string(100000 + n) + ">\r\n";
    c += "kind                                      \"traincar\"\r\n";
    c += "trainz-build                              2.0\r\n";
    c += "username                                  \"Legacy wagon " + std::to_string(n) + "\"\r\n";
    c += "asset-filename                            \"body\"\r\n";
    c += "bogey                                     " + std::to_string(2000 + n % 50) + "\r\n";
    c += "bogey-1-r                                 <kuid:44179:" + std::to_string(60000 + n % 40) + ">\r\n";
    c += "enginespec                                " + std::to_string(3000 + n % 7) + "\r\n";
    c += "interior                                  <kuid2:523:19722:1>\r\n";
    c += "description                               \"A wagon made for measuring.\"\r\n";
    c += "category-class                            \"WA\"\r\n";
    c += "category-region                           \"GB\"\r\n";
    c += "category-era                              \"1950s\"\r\n";
    c += "thumbnail                                 \"thumb.jpg\"\r\n";
    c += "mass                                      20000\r\n";
    c += "name-de                                   \"Wagen\"\r\n";
    for (int i = 0; i < 6; ++i) {
        c += "smoke" + std::to_string(i) + "\r\n{\r\n";
        c += "  attachment                              \"a.smoke" + std::to_string(i) + "\"\r\n";
        c += "  mode                                    \"time\"\r\n";
        c += "  color                                   255,255,255,255\r\n";
        c += "  rate                                    1.0\r\n";
        c += "  lifetime                                2\r\n";
        c += "}\r\n";
    }
    c += "kuid-table\r\n{\r\n  0                                       <kuid:44179:60013>\r\n}\r\n";
    return c;
}

// Each round starts from the legacy assets again.
void MakeAssets(const std::vector<std::string>& folders) {
    const std::string jpeg = Jpeg(240, 180);
    for (std::size_t n = 0; n < folders.size(); ++n) {
        ClearFolder(folders[n]);
        WriteScratchFile(folders[n] + "/config.txt", LegacyConfig(static_cast<int>(n)));
        WriteScratchFile(folders[n] + "/body.im", "JIRF\x04\x00\x00\x00IDXM");
        WriteScratchFile(folders[n] + "/body_shadow.im", "JIRF\x04\x00\x00\x00IDXM");
        WriteScratchFile(folders[n] + "/thumb.jpg", jpeg);
    }
}

constexpr const char* kScript =
    "-fixkuids\n"
    "-updatekuidtable\n"
    "-makemeshtable\n"
    "-makebogeytable\n"
    "-makethumbnailtable\n"
    "-clear|invalid\n";

}  // namespace

int main(int argc, char** argv) {
    const int count = AssetCount(argc, argv, 1000);

    const std::string root = TempRoot("repair");
    TProgramState state;
    SizeBus sizes(state);
    state.CommandTarget = &sizes;
    state.ProgramFolder = root + "/program/";
    state.Environment = [](const std::string&) { return std::string(); };
    WriteSettingBool(state.Settings(), keys::Preview, false);
    state.SetActiveBuild(35);
    ForceDirectories(root + "/program/bin");
    for (const char* name : {"tags.xml", "SortOrder.txt"})
        fs::copy_file(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/" + name, root + "/program/bin/" + name);

    std::vector<std::string> folders;
    for (int n = 0; n < count; ++n) folders.push_back(root + "/assets/a" + std::to_string(n));

    BenchHost host;
    TOutlineDocument main(state);
    TOutlineDocument editor(state, std::string(kEditorUndoPrefix));
    TOutlineWiring mainWiring(state, main, true);
    TOutlineWiring editorWiring(state, editor, false);
    host.main = &main;
    host.editor = &editor;
    TScriptUnit unit(state, host);
    const std::vector<std::string> lines = SplitLines(kScript);
    const std::string backups = root + "/program/backup";

    double batchBest = 1e30, plainBest = 1e30;
    int tables = 0;
    for (int round = 0; round < kRounds; ++round) {
        MakeAssets(folders);
        ClearFolder(backups);
        unit.FolderList = folders;
        auto start = Clock::now();
        unit.RunOnTaggedAssets("repairs", lines);
        batchBest = std::min(batchBest, Seconds(start));
        if (round == 0) {
            for (const std::string& folder : folders) {
                std::string bytes;
                ReadFileBytes(folder + "/config.txt", bytes, 1u << 20);
                if (bytes.find("bogeys") != std::string::npos && bytes.find("mesh-table") != std::string::npos &&
                    bytes.find("thumbnails") != std::string::npos)
                    ++tables;
            }
        }

        MakeAssets(folders);
        ClearFolder(backups);
        editor.ScriptMode = true;
        start = Clock::now();
        for (const std::string& folder : folders) {
            if (!editor.LoadConfig(folder).empty()) return 1;
            editor.Hooks().ReorderConfig(editor);
            BackupFile(state, editor.ConfigFile());
            editor.SaveConfig(editor.ConfigFile(), false);
        }
        plainBest = std::min(plainBest, Seconds(start));
        editor.ScriptMode = false;
    }
    std::printf("repair batch: %d assets (%d repaired with all three tables), %.0f assets/s (%.3f s); plain "
                "load+reorder+backup+save %.3f s; ratio %.2f (at most 2.5)\n",
                count, tables, count / batchBest, batchBest, plainBest, batchBest / plainBest);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
