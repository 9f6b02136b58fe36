#include <gtest/gtest.h>

#include "../TextureRepairTestBed.h"
#include "../ValidationTestSupport.h"
#include "shell/Dispatcher.h"
#include "shell/ReportLog.h"
#include "shell/Text.h"
#include "validation/ui/FileCheckRows.h"
#include "validation/ui/ValidationRows.h"

namespace kelvarn {
namespace {

struct RowBed : test::RepairBed {
    TDispatcher dispatcher{state};
    test::RecordingViewer viewer;
    RowBed() {
        state.Viewer = &viewer;
        state.Settings().WriteBool("Options", "DisplayLog", true);
        RegisterRepairTexturesRow(dispatcher, state, doc);
    }
    std::string Log() {
        std::string bytes;
        ReadFileBytes(LogFileName(state), bytes);
        return bytes;
    }
};

TEST(RepairTexturesRow, LogsTheAllModeReportOfTheCurrentAssetWithAnUndoPoint) {
    RowBed bed;
    bed.Config("kind \"scenery\"\r\ntextures {\r\n  0 \"wood.tga\"\r\n}\r\n");
    bed.File("wood.tga", test::SolidTga(16, 16, test::Bytes({0, 0, 255}), 10));
    bed.File("wood.texture.txt", "Primary=wood.tga\r\n");
    bed.File("odd.bmp", test::SolidBmp(6, 4, 1, 2, 3));
    bed.messages.answers = {Answer::No};
    bed.state.SetAssetPath(bed.asset);
    bed.dispatcher.ExecuteMenuCommand(1222, "");

    const std::string log = bed.Log();
    EXPECT_NE(log.find("Repair Textures\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Invalid size (6 x 4): " + bed.Full("odd.bmp") + "\r\nUnreferenced files: \r\n- odd.bmp\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("\r\n.Invalid"), std::string::npos);  // the leading "." is not logged
    ASSERT_EQ(bed.viewer.logs.size(), 1u);
    // "duplicate" changed the value in memory; the undo point puts it back.
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\textures\\0"), "wood.texture");
    ASSERT_TRUE(bed.doc.UndoLastChange());
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\textures\\0"), "wood.tga");
}

TEST(RepairTexturesRow, CleanAssetLogsNothingToReport) {
    RowBed bed;
    bed.Config("kind \"scenery\"\r\nicon \"a.tga\"\r\n");
    std::string pixels;
    for (int i = 0; i < 64; ++i) pixels += test::Bytes({i, 2 * i, 3 * i});
    test::TgaFields f;
    f.width = f.height = 8;
    f.depth = 24;
    f.pixels = pixels;
    bed.File("a.tga", test::MakeTga(f));
    bed.state.SetAssetPath(bed.asset);
    bed.dispatcher.ExecuteMenuCommand(1222, "");
    EXPECT_NE(bed.Log().find("Repair Textures\r\n"), std::string::npos);
    EXPECT_NE(bed.Log().find(std::string(kNothingToReport)), std::string::npos) << bed.Log();
    EXPECT_TRUE(bed.messages.messages.empty());
}

// Escape reaches a validation through the check's poll, once per node; confirmed, nothing is logged.
TEST(ValidationRows, EscapeStopsTheWalkWhenConfirmed) {
    for (const bool yes : {true, false}) {
        test::ValidationBed bed;
        TDispatcher dispatcher{bed.state};
        bed.state.Settings().WriteBool("Options", "DisplayLog", true);
        bed.File("config.txt", "kuid <kuid:1:2>\r\nkind \"scenery\"\r\nflag 2\r\nother 1\r\n");
        ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "");
        bed.state.SetActiveBuild(29);
        int polls = 0;
        RegisterValidationRows(dispatcher, bed.walnut, [&](const std::function<void(const TAssetCheck&)>& run) {
            TAssetCheck check{bed.state, bed.doc, bed.asset, false};
            check.Poll = [&polls] { return ++polls != 2; };  // Escape while the second node is checked
            run(check);
        });
        bed.messages.answers = {yes ? Answer::Yes : Answer::No};
        dispatcher.ExecuteMenuCommand(1701, "");
        EXPECT_EQ(bed.messages.messages, std::vector<std::string>{"Cancel Validation?"}) << yes;
        EXPECT_EQ(polls, yes ? 2 : 4) << yes;
        EXPECT_EQ(bed.Log().empty(), yes) << bed.Log();
    }
}

}  // namespace
}  // namespace kelvarn
