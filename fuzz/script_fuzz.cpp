// Script text of any kind run on an in-memory config and an empty asset folder. The first line
// seeds the memories ^0 to ^9 and the attachment-point data ("|" between them); the desktop answers
// every question, choice and review from the input's bytes. A run ends after 200,000 lines, as a
// user's Escape would end it: whatever the text, no line may take long, loop, or grow without end.
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptCommandTable.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptUnit.h"

namespace {

using namespace kelvarn;

constexpr int kMaxLines = 200000;

class InputHost final : public SilentScriptHost {
public:
    std::string_view input;
    std::size_t cursor = 0;
    int lines = 0;
    TOutlineDocument* main = nullptr;
    std::string asset;

    unsigned Next() { return input.empty() ? 0u : static_cast<unsigned char>(input[cursor++ % input.size()]); }
    bool Poll() override { return ++lines <= kMaxLines; }
    bool Confirm(const std::string&) override { return Next() & 1u; }
    int ChooseOne(const std::string&, const std::vector<std::string>& items) override {
        const unsigned n = Next();
        return n == 0 || items.empty() ? -1 : static_cast<int>(n % items.size());
    }
    bool ChooseMany(const std::string&, const std::vector<std::string>&, std::vector<bool>& checked) override {
        const unsigned n = Next();
        for (std::size_t i = 0; i < checked.size() && i < 8; ++i) checked[i] = (n >> i) & 1u;
        return n != 0;
    }
    TOutlineDocument* MainOutline() override { return main; }
    TKuidMap kuids;
    const TKuidMap& KuidIndex() override { return kuids; }
};

struct World {
    TProgramState state;
    InputHost host;
    TOutlineDocument main{state};
    TScriptUnit unit{state, host};
    std::string root;

    World() {
        root = (std::filesystem::temp_directory_path() / ("kelvarn-fuzz-script-" + std::to_string(std::random_device()()))).string();
        std::filesystem::create_directories(root + "/asset");
        std::filesystem::create_directories(root + "/program");
        state.ProgramFolder = root + "/program/";
        state.Environment = [](const std::string&) { return std::string(); };
        state.SetAssetPath(root + "/asset");
        state.KindChain = "scenery,mesh-asset";
        host.main = &main;
        host.asset = root + "/asset";
        host.kuids.Add("<kuid2:7:7:3>", host.asset);
        host.kuids.Add("<kuid:3:3>", host.asset + "/gone");
        // The seeds: -combine stores text in a memory, -pointread the point data, as their own
        // command families will.
        unit.Commands().Register(73, [](ScriptCall& c) {
            const std::string& at = c.p[1];
            if (at.size() == 1 && at[0] >= '0' && at[0] <= '9') c.vars.Memory[static_cast<std::size_t>(at[0] - '0')] = c.p[2];
            return std::string();
        });
        unit.Commands().Register(70, [](ScriptCall& c) {
            c.vars.PointData = c.p[1].substr(0, 255);
            return std::string();
        });
    }
    ~World() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    void ResetConfig() {
        main.ClearOutline();
        for (const auto& [path, value] : std::vector<std::pair<const char*, const char*>>{
                 {"kuid", "<kuid:1234:5678>"}, {"kind", "scenery"}, {"trainz-build", "2.9"}, {"username", "Tower"},
                 {"description", "a ^1 %p%"}, {"mesh-table\\default\\mesh", "tower.im"},
                 {"mesh-table\\default\\auto-create", "1"}, {"mesh-table\\lod\\mesh", "lod.im"}, {"thumbnails\\", ""}})
            main.SetTagByPath(path, value);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (64u << 10)) return 0;
    static World world;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    world.host.input = text;
    world.host.cursor = 0;
    world.host.lines = 0;
    world.ResetConfig();

    std::vector<std::string> lines = SplitLines(DecodeText(text).text);
    std::vector<std::string> script;
    if (!lines.empty()) {
        TTokens seeds;
        SplitByCharSet(lines[0], seeds, "|");
        for (int i = 0; i < 10; ++i) script.push_back("-combine|" + std::to_string(i) + "|" + seeds[static_cast<std::size_t>(i)]);
        script.push_back("-pointread|" + seeds[10]);
        script.insert(script.end(), lines.begin() + 1, lines.end());
    }
    world.unit.ExecuteScriptLines("fuzz", std::move(script), false);
    if (!world.unit.CallPath.empty() || world.unit.Running()) __builtin_trap();
    return 0;
}
