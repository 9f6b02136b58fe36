// Shared setup of the asset list tests: a program state in a temporary folder with recording fakes
// (questions, callbacks, trash, clipboard, processes, dialogs), asset folders written from texts, and
// a recorder of the asset list's events.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/AssetCatalogue.h"
#include "catalogue/EditorDialogs.h"
#include "catalogue/KuidMap.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"

namespace kelvarn::test {

class FakeTrash final : public ITrash {
public:
    std::vector<std::string> moved;
    std::string refuse;  // a path given here stays, with an error
    std::string MoveToTrash(const std::string& path) override {
        if (!refuse.empty() && path == refuse) return "Unable to move " + path + " to the trash";
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        moved.push_back(path);
        return {};
    }
};

class FakeClipboard final : public IFileClipboard {
public:
    std::vector<std::string> files;
    bool CopyFiles(const std::vector<std::string>& paths) override {
        files = paths;
        return true;
    }
    std::vector<std::string> PasteFiles() override { return files; }
    bool HasFiles() override { return !files.empty(); }
};

class FakeDialogs final : public IEditorDialogs {
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;  // captions
    struct Shown {
        int size = 0;
        std::vector<std::string> lines;
        std::string caption;
    };
    std::vector<Shown> shown;
    std::function<void()> onAsk;
    std::optional<std::string> InputLine(const std::string& caption, const std::string&, const std::string& value,
                                         const std::string&) override {
        asked.push_back(caption);
        if (onAsk) onAsk();
        if (answers.empty()) return value;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowText(int size, int, const std::vector<std::string>& lines, const std::string& caption) override {
        shown.push_back({size, lines, caption});
    }
};

class RecordingEvents final : public IAssetListEvents {
public:
    std::vector<std::string> alerts;
    std::vector<bool> gauge;
    std::vector<std::string> watched;
    std::vector<std::string> monitorAdded;
    int rebuilt = 0;
    int pumps = 0;
    std::function<void()> onPump;
    void Alert(const std::string& text, bool beep) override { alerts.push_back(text + (beep ? " [beep]" : "")); }
    void GaugeShown(bool shown) override { gauge.push_back(shown); }
    void MonitorFolderAdded(const std::string& folder) override { monitorAdded.push_back(folder); }
    void MonitorsRebuilt() override { ++rebuilt; }
    void WatchAssetFolder(const std::string& folder) override { watched.push_back(folder); }
    void Pump() override {
        ++pumps;
        if (onPump) onPump();
    }
};

struct AssetBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    RecordingCommandBus bus;
    FakeTrash trash;
    FakeClipboard clipboard;
    FakeRunner runner;
    FakeClock clock;
    TKuidMap kuids;
    TAssetCatalogue catalogue{state, kuids};
    RecordingEvents events;

    AssetBed() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Trash = &trash;
        state.Clipboard = &clipboard;
        state.Runner = &runner;
        state.Clock = &clock;
        catalogue.SetEvents(&events);
    }

    // An asset folder (relative to the temporary folder) with a config naming `kuid`.
    std::string Asset(const std::string& name, const std::string& kuid = "<kuid:100:1>", const std::string& configName = "config.txt") {
        const std::string folder = dir / name;
        WriteBytes(folder + "/" + configName, "kind \"scenery\"\r\nkuid " + kuid + "\r\n");
        return folder;
    }
    std::string Path(const std::string& name) const { return dir / name; }

    std::vector<std::string> Folders() const {
        std::vector<std::string> out;
        for (const auto& e : catalogue.Entries()) out.push_back(e.folder);
        return out;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const auto& e : catalogue.Entries()) out.push_back(e.folder.substr(e.folder.find_last_of('/') + 1));
        return out;
    }
    // Every text sent with a code, in order.
    std::vector<std::string> SentTexts(int code) const {
        std::vector<std::string> out;
        for (const auto& s : bus.sent)
            if (s.first == code) out.push_back(s.second);
        return out;
    }
    std::vector<int> Codes() const {
        std::vector<int> out;
        for (const auto& s : bus.sent)
            if (s.first != ccStatusText) out.push_back(s.first);
        return out;
    }
    bool Said(const std::string& prefix) const {
        for (const auto& m : messages.messages)
            if (m.rfind(prefix, 0) == 0) return true;
        return false;
    }
};

}  // namespace kelvarn::test
