// Script text of any kind run on an in-memory config and a small asset folder, with processes,
// environment and settings of its own and no file outside its temporary folder changed. The first line
// seeds the memories ^0 to ^9 through -combine and names a point for -pointread ("|" between
// them: "a.one", "a.two" and "a.sub" exist in the asset's meshes); the desktop answers
// every question, choice and review from the input's bytes. A run ends after 200,000 lines, as a
// user's Escape would end it: whatever the text, no line may take long, loop, or grow without end.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSandbox.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"
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
    fuzz::Sandbox sandbox{"script"};
    TProgramState& state = sandbox.state;
    const std::string& root = sandbox.root;
    std::map<std::string, std::string> environment;
    InputHost host;
    TOutlineDocument main{state};
    TScriptUnit unit{state, host};

    World() {
        std::filesystem::create_directories(root + "/asset");
        // Variables the scripts set stay in the world, never in the process's environment.
        state.Environment = [this](const std::string& name) {
            const auto it = environment.find(name);
            return it == environment.end() ? std::string() : it->second;
        };
        state.SetEnvironment = [this](const std::string& name, const std::string& value) {
            if (value.empty())
                environment.erase(name);
            else if (environment.size() < 64)
                environment[name] = value;
            return true;
        };
        state.SetAssetPath(root + "/asset");
        state.KindChain = "scenery,mesh-asset";
        host.main = &main;
        host.asset = root + "/asset";
        host.kuids.Add("<kuid2:7:7:3>", host.asset);
        host.kuids.Add("<kuid:3:3>", host.asset + "/gone");
        // -pointread skips a corrupt mesh and reads real ones (the second in a sub-folder, a turned
        // point, a name repeated).
        ForceDirectories(host.asset + "/sub");
        WriteFileAtomic(host.asset + "/bad.im", "JIRF\x10\x00\x00\x00IDXMATCH");
        const test::Mat3 turned{0, -1, 0, 1, 0, 0, 0, 0, 1};
        WriteFileAtomic(host.asset + "/body.im", test::MeshFileBuilder()
                                                     .Info(104)
                                                     .MaterialOnly(0, {})
                                                     .Attachments({{"a.one", test::kIdentity3, {1, 2, 3}},
                                                                   {"a.two", turned, {0.5f, -0.25f, 1e-5f}}})
                                                     .Bytes());
        WriteFileAtomic(host.asset + "/sub/part.im", test::MeshFileBuilder()
                                                         .Info(104)
                                                         .MaterialOnly(0, {})
                                                         .Attachments({{"a.sub", turned, {4, 5, 6}},
                                                                       {"a.one", test::kIdentity3, {9, 9, 9}}})
                                                         .Bytes());
        WriteFileAtomic(root + "/trainz/data/category-era.txt", "1950s\r\n1960s\r\n");
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
