// Shared setup of the validation tests: a program folder with a tags.xml, a simulator folder holding
// the region and era lists, an asset folder, and an outline whose loads load the definition.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "catalogue/WalnutHooks.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "support/TestSupport.h"
#include "validation/TagValidation.h"

namespace kelvarn::test {

inline const std::string kFixtureTags = std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml";

struct ValidationBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    RecordingCommandBus bus;
    FakeClock clock;
    TWalnut walnut{state};
    TWalnutHooks hooks{walnut};
    TOutlineDocument doc{state};
    std::string asset;

    explicit ValidationBed(const std::string& tagsFile = kFixtureTags) {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Clock = &clock;
        WriteBytes(dir / "program/bin/tags.xml", ReadBytes(tagsFile));
        TMemIni& ini = state.Settings();
        for (const char* build : {"2.5", "2.9", "3.5"}) ini.WriteString("Builds", build, "x");
        ini.WriteString("Paths", "TETData", "data");
        state.Paths.Trainz = dir / "trainz";
        WriteBytes(dir / "trainz/data/category-region.txt", "00\r\nAU\r\nCH\r\nDE\r\nGB\r\nUS\r\n");
        WriteBytes(dir / "trainz/data/category-era.txt", "1940s\r\n1950s\r\n1960s\r\n1970s\r\n2000s\r\n");
        doc.SetHooks(&hooks);
        asset = dir / "asset";
    }

    // Writes a file of the asset folder.
    void File(std::string_view name, std::string_view bytes = "") { WriteBytes(asset + "/" + std::string(name), bytes); }

    void Load(std::string_view config) {
        File("config.txt", config);
        ASSERT_EQ(doc.LoadConfig(asset), "");
    }

    TCheckContext Context(int build) { return TCheckContext{state, doc, walnut, asset, build}; }

    // Loads the config and validates it at the build.
    TVerifyReport Validate(std::string_view config, int build = 29, const TVerifyRequest& request = {}) {
        File("config.txt", config);
        EXPECT_EQ(doc.LoadConfig(asset), "");
        state.SetActiveBuild(build);
        return VerifyConfig(state, doc, walnut, asset, request);
    }

    std::string Log() {
        std::string bytes;
        ReadFileBytes(LogFileName(state), bytes);
        return bytes;
    }
};

}  // namespace kelvarn::test
