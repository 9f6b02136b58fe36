// Shared setup of the helper and help-link tests: a program state in a temporary folder with recording
// fakes, an outline loaded from a config text, and files of the asset folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "AssetTestSupport.h"
#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"

namespace kelvarn::test {

// Answers callback 237 from a table of image sizes, as the main window does from the image files.
class ImageSizeBus final : public ICommandBus {
public:
    explicit ImageSizeBus(TProgramState& state) : state_(state) {}
    std::map<std::string, std::pair<int, int>> sizes;  // by file name
    std::vector<std::pair<int, std::string>> sent;
    void SendCommand(int code, std::string_view text) override {
        sent.emplace_back(code, std::string(text));
        if (code != ccImageSize) return;
        const auto it = sizes.find(std::filesystem::path(std::string(text)).filename().string());
        if (it != sizes.end()) state_.ImageSizeInfo = {std::string(text), it->second.first, it->second.second};
    }

private:
    TProgramState& state_;
};

// Definitions by config path, as tags.xml would give them.
class SpecHooks final : public IOutlineHooks {
public:
    std::map<std::string, TTagSpec> specs;
    std::string kindChain;
    TTagSpec FindSpecNode(std::string_view path, bool& found) override {
        const auto it = specs.find(NormaliseConfigPath(path));
        found = it != specs.end();
        return found ? it->second : DefaultTagSpec();
    }
    std::string KindChain() const override { return kindChain; }
};

struct ToolsBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    ImageSizeBus bus{state};
    FakeTrash trash;
    FakeRunner runner;
    SpecHooks hooks;
    TOutlineDocument doc{state};
    std::string asset;

    ToolsBed() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Trash = &trash;
        state.Runner = &runner;
        doc.SetHooks(&hooks);
        asset = dir / "asset";
    }
    std::string Put(const std::string& name, std::string_view bytes = "x") {
        WriteBytes(asset + "/" + name, bytes);
        return asset + "/" + name;
    }
    void Load(std::string_view config) {
        Put("config.txt", config);
        ASSERT_EQ(doc.LoadConfig(asset), "");
    }
};

}  // namespace kelvarn::test
