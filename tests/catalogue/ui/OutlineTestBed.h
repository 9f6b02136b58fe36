// The outline frame on its own: a program state in a temporary folder, a bus that records every
// message and hands commands to a dispatcher holding the outline's rows, and the frame over a
// document with the outline's hooks.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeView>
#include <memory>
#include <string>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "catalogue/ui/OutlineItemModel.h"
#include "catalogue/ui/OutlineRows.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Dispatcher.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn::test {

// Records every send; commands and the callbacks the outline registers reach the dispatcher.
class ForwardingBus final : public ICommandBus {
public:
    explicit ForwardingBus(TDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    std::vector<std::pair<int, std::string>> sent;
    void SendCommand(int code, std::string_view text) override {
        sent.emplace_back(code, std::string(text));
        if ((code >= 1000 && code < 3000) || dispatcher_.HasCallback(code)) dispatcher_.ReceiveCommand(code, std::string(text));
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& s : sent) n += s.first == code;
        return n;
    }
    int Count(int code, const std::string& text) const {
        int n = 0;
        for (const auto& s : sent) n += s.first == code && s.second == text;
        return n;
    }

private:
    TDispatcher& dispatcher_;
};

struct OutlineBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    TDispatcher dispatcher{state};
    ForwardingBus bus{dispatcher};
    TOutlineDocument document{state};
    TWalnut walnut{state};
    TOutlineCommandHooks hooks{state, walnut};
    std::unique_ptr<TOutlineView> view;

    OutlineBed() {
        TestApp();
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        document.SetHooks(&hooks);
        view = std::make_unique<TOutlineView>(state, document);
        RegisterOutlineCommands(dispatcher, *view);
        view->Init(&bus);
        view->resize(700, 500);
        view->show();
        QApplication::processEvents();
    }
    ~OutlineBed() {
        view.reset();
        SetWriteFaultHook(nullptr);
    }

    // A copy of a fixture asset of tests/data/outline.
    std::string Fixture(const std::string& name) {
        const std::string folder = dir / name;
        WriteBytes(folder + "/config.txt", ReadBytes(std::string(KELVARN_TEST_DATA) + "/outline/" + name + "/config.txt"));
        return folder;
    }
    std::string Asset(const std::string& name, const std::string& text) {
        const std::string folder = dir / name;
        WriteBytes(folder + "/config.txt", text);
        return folder;
    }
    void Load(const std::string& folder) {
        ASSERT_EQ(view->LoadConfig(folder), "");
        state.SetAssetPath(folder);
    }

    QTreeView* Tree() const { return view->Tree(); }
    TOutlineNode* Node(const std::string& path) const { return document.FindNodeByPath(path); }
    void Select(const std::string& path) { view->Select(Node(path)); }
    QRect Rect(const std::string& path) const { return Tree()->visualRect(view->Model()->IndexOf(Node(path))); }
    bool Said(const std::string& text) const {
        for (const auto& m : messages.messages)
            if (m == text) return true;
        return false;
    }
};

}  // namespace kelvarn::test

#include "catalogue/ui/FindForm.h"
#include "catalogue/ui/XMLView.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn::test {

// The outline's hooks, noting each kind analysis.
struct RecordingHooks : TOutlineCommandHooks {
    using TOutlineCommandHooks::TOutlineCommandHooks;
    std::vector<std::string> kinds;
    std::string AnalyseKind(TOutlineDocument& document) override {
        kinds.push_back(TOutlineCommandHooks::AnalyseKind(document));
        return kinds.back();
    }
};

// The main window with the outline frame, the other panes recording what they are asked.
struct MainBed {
    TempDir dir;
    FakeClock clock;
    RecordingMessageSink messages;
    TProgramState state;
    TOutlineDocument document{state};
    TWalnut walnut{state};
    RecordingHooks hooks{state, walnut};
    CallLog log;
    TMainFrames frames;
    TOutlineView* outline = nullptr;
    TXMLView* xml = nullptr;
    std::unique_ptr<TMain> main;
    std::unique_ptr<TFindForm> find;
    IMessageSink* previous = Globals().Messages;

    MainBed() {
        TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.ProgramFile = dir / "kelvarn";
        state.Clock = &clock;
        state.Messages = &messages;
        Globals().Messages = &messages;
        state.OpenSettings(dir / "kelvarn.ini");
        document.SetHooks(&hooks);
        frames.assetList = new RecordingAssetList(log, "AssetList", false);
        frames.fileList = new Recording<TFrame<IFrame>>(log, "FileList", false);
        frames.outline = outline = new TOutlineView(state, document);
        frames.text = new RecordingTextViewer(log, "Text", true);
        auto viewer = [this](const char* name) { return new RecordingViewerFrame(log, name, true); };
        frames.mesh = viewer("Mesh");
        frames.table = viewer("Table");
        frames.image = viewer("Image");
        frames.tagCatalogue = xml = new TXMLView(state, *outline);
        frames.textureDescriptor = viewer("TextureDescriptor");
        frames.levelOfDetail = viewer("LevelOfDetail");
        main = std::make_unique<TMain>(state, frames, std::vector<std::string>{});
        find = std::make_unique<TFindForm>(state, *outline, main.get());
        outline->SetFindForm(find.get());
        RegisterOutlineCommands(main->Dispatcher(), *outline);
        RegisterOutlineMainRows(*main, *outline);
        RegisterCatalogueRows(*main, *xml, *outline);
        main->resize(1100, 800);
        main->show();
        QApplication::processEvents();
    }
    ~MainBed() {
        find.reset();
        main.reset();
        Globals().Messages = previous;
    }

    std::string Fixture(const std::string& name) {
        const std::string folder = dir / name;
        WriteBytes(folder + "/config.txt", ReadBytes(std::string(KELVARN_TEST_DATA) + "/outline/" + name + "/config.txt"));
        return folder;
    }
    TOutlineNode* Node(const std::string& path) const { return document.FindNodeByPath(path); }
};

}  // namespace kelvarn::test
