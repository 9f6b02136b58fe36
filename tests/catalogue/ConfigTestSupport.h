// Shared setup of the config tests: a program state whose folders lie in a temporary folder, with
// recording fakes for questions, alerts and callbacks, and asset folders written from texts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"

namespace kelvarn::test {

struct ConfigTestBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    RecordingCommandBus bus;

    ConfigTestBed() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
    }

    // An asset folder holding `text` as its config file.
    std::string Asset(std::string_view name, std::string_view text, std::string_view fileName = "config.txt") {
        const std::string folder = dir / name;
        WriteBytes(folder + "/" + std::string(fileName), text);
        return folder;
    }

    int Sent(int code) const {
        int n = 0;
        for (const auto& s : bus.sent) n += s.first == code;
        return n;
    }

    bool Said(std::string_view text) const {
        for (const auto& m : messages.messages)
            if (m == text) return true;
        return false;
    }
};

// The rows of a tree as "level|text", in row order.
inline std::vector<std::string> Rows(const TOutlineNode* root) {
    std::vector<std::string> rows;
    WalkRows(root, [&](TOutlineNode* n, int level) { rows.push_back(std::to_string(level) + "|" + n->Text()); });
    return rows;
}

// The names of the top-level nodes, joined by blanks.
inline std::string TopLevel(const TOutlineDocument& doc) {
    std::vector<std::string> names;
    doc.ListChildNames("\\", names);
    std::string joined;
    for (const auto& n : names) joined += (joined.empty() ? "" : " ") + n;
    return joined;
}

// A document loaded from a config text.
inline void LoadText(ConfigTestBed& bed, TOutlineDocument& doc, std::string_view text, std::string_view asset = "asset") {
    const std::string error = doc.LoadConfig(bed.Asset(asset, text));
    ASSERT_EQ(error, "");
}

}  // namespace kelvarn::test
