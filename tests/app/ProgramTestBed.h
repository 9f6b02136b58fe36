// The program as src/app/ makes it, started on a temporary copy of asset folders: a program folder
// with the shipped files and a settings file, fakes for processes, the trash and the clipboard, and
// a message sink that answers every question alike and records every text.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramWindows.h"
#include "catalogue/AssetTestSupport.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn::test {

// Every file below a folder, by its path relative to it, with its bytes.
using TFolderSnapshot = std::map<std::string, std::string>;

inline TFolderSnapshot SnapshotFolder(const std::filesystem::path& root) {
    TFolderSnapshot files;
    std::error_code ec;
    if (!std::filesystem::exists(root, ec)) return files;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec); !ec && it != std::filesystem::end(it);
         it.increment(ec))
        if (it->is_regular_file()) files[std::filesystem::relative(it->path(), root).generic_string()] = ReadBytes(it->path().string());
    return files;
}

// The paths that differ between two snapshots (added, removed or changed).
inline std::vector<std::string> Differences(const TFolderSnapshot& before, const TFolderSnapshot& after) {
    std::vector<std::string> out;
    for (const auto& [path, bytes] : before) {
        const auto found = after.find(path);
        if (found == after.end()) out.push_back("removed " + path);
        else if (found->second != bytes) out.push_back("changed " + path);
    }
    for (const auto& [path, bytes] : after)
        if (!before.count(path)) out.push_back("added " + path);
    return out;
}

class CannedMessageSink final : public IMessageSink {
public:
    explicit CannedMessageSink(Answer answer) : answer_(answer) {}
    std::vector<std::string> texts;  // every message and question, in order
    int beeps = 0;
    // Runs when a message is shown (a test may put a real dialog on the screen here).
    std::function<void(const std::string&)> onShow;

    void ShowMessage(std::string_view text, std::string_view, MessageKind) override {
        texts.emplace_back(text);
        if (onShow) onShow(texts.back());
    }
    bool AskYesNo(std::string_view text, std::string_view) override {
        texts.emplace_back(text);
        return answer_ == Answer::Yes;
    }
    Answer AskYesNoCancel(std::string_view text, std::string_view) override {
        texts.emplace_back(text);
        return answer_;
    }
    void Beep() override { ++beeps; }

private:
    Answer answer_;
};

class ProgramTestBed {
public:
    // `assets` are folders copied into the temporary asset folder (a home folder of the program).
    explicit ProgramTestBed(Answer answer = Answer::Yes) : messages(answer) {
        TestApp();
        namespace fs = std::filesystem;
        fs::create_directories(dir / "program/bin");
        fs::copy(fs::path(KELVARN_SOURCE_DIR) / "resources/bin", dir / "program/bin", fs::copy_options::recursive);
        fs::create_directories(AssetRoot());
        state.ProgramFolder = dir.Path() + "/program/";
        state.ProgramFile = dir / "program/kelvarn";
        state.Messages = &messages;
        state.Runner = &runner;
        state.Trash = &trash;
        state.Clipboard = &clipboard;
    }
    ~ProgramTestBed() {
        windows.reset();
        state.Messages = &silent;
        QApplication::processEvents();
    }

    std::string AssetRoot() const { return dir / "assets"; }
    void CopyAsset(const std::filesystem::path& folder) {
        test::CopyWritable(folder.string(), (std::filesystem::path(AssetRoot()) / folder.filename()).string());
    }
    void CopySamples() {
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KELVARN_SOURCE_DIR) / "resources/samples"))
            CopyAsset(entry.path());
    }
    // The real assets of the corpus, or an empty path when the corpus is absent.
    static std::filesystem::path Corpus(const std::string& name) {
        const auto path = std::filesystem::path(KELVARN_SOURCE_DIR) / "../shared/corpus" / name;
        return std::filesystem::exists(path) ? path : std::filesystem::path();
    }

    // Starts the program with the asset folder as its one home folder (unless `home` is false).
    void Start(const std::string& ini = "", bool home = true) {
        std::string text = "[Options]\r\nTooltips=1\r\nPreview=0\r\n" + ini;
        if (home) text += "\r\n[Home]\r\n1=" + AssetRoot() + "\r\n";
        WriteBytes(dir / "program/kelvarn.ini", text);
        state.OpenSettings(dir / "program/kelvarn.ini");
        windows = std::make_unique<TProgramWindows>(state, std::vector<std::string>{});
        // The setup check would open the settings dialog at the first activation; its own tests run it.
        Main().CheckSetup = nullptr;
        Main().resize(1200, 850);
        Main().show();
        QApplication::processEvents();
    }

    // Starts the program as a new user does: no settings file yet (the first start writes what it
    // writes), the setup check on, and `arguments` as its command line.
    void StartFresh(std::vector<std::string> arguments) {
        state.OpenSettings(dir / "program/kelvarn.ini");
        WriteFirstStartSettings(state);
        windows = std::make_unique<TProgramWindows>(state, std::move(arguments));
        Main().show();
        QApplication::processEvents();
    }

    TMain& Main() { return windows->Main(); }
    std::string Panel(int n) { return Main().StatusPanel(n)->text().toStdString(); }

    TempDir dir;
    CannedMessageSink messages;
    SilentMessageSink silent;
    FakeRunner runner;
    FakeTrash trash;
    FakeClipboard clipboard;
    TProgramState state;
    std::unique_ptr<TProgramWindows> windows;
};

}  // namespace kelvarn::test
