// Widget tests: one application object for the whole test program (Qt's offscreen platform), and
// frames that record what the windows ask of them.
#pragma once

#include <QApplication>
#include <string>
#include <vector>

#include "shell/ui/FramePanel.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn::test {

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "kelvarn-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

struct CallLog {
    std::vector<std::string> calls;
    std::vector<std::string> Matching(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) out.push_back(c.substr(prefix.size()));
        return out;
    }
};

// A pane that records each call of the window's protocol.
template <class Base>
class Recording : public Base {
public:
    Recording(CallLog& log, const std::string& name, bool header)
        : Base(QString::fromStdString(name), QString::fromStdString(name), header), log_(log), name_(name) {}
    void Init(ICommandBus* target) override {
        Base::Init(target);
        Note("Init");
    }
    void Clear() override { Note("Clear"); }
    bool CloseQuery() override {
        Note("CloseQuery");
        return canClose;
    }
    void Close() override { Note("Close"); }
    bool QuerySave() override {
        Note("QuerySave");
        return !saveFails;
    }
    bool Busy() const override { return busy; }
    void Cancel() override { Note("Cancel"); }
    void ApplyFont(const QFont& font) override {
        Base::ApplyFont(font);
        Note("Font");
    }
    bool canClose = true;
    bool saveFails = false;
    bool busy = false;

protected:
    void Note(const std::string& what) { log_.calls.push_back(what + " " + name_); }
    CallLog& log_;
    std::string name_;
};

class RecordingViewerFrame : public Recording<TViewerFrame<IViewerFrame>> {
public:
    using Recording::Recording;
    std::string shown;
    std::string ShownFile() const override { return shown; }
    std::string LoadFile(const std::string& path, int) override {
        shown = path;
        Note("Load");
        Activated();
        return {};
    }
    std::string SaveFile(const std::string& path) override {
        Note("Save " + path);
        return {};
    }
};

class RecordingAssetList : public Recording<TFrame<IAssetListFrame>> {
public:
    using Recording::Recording;
    std::vector<std::string> folders;
    int entries = 0;
    void AddDirectory(const std::string& folder) override { folders.push_back(folder); }
    int EntryCount() const override { return entries; }
};

class RecordingTextViewer : public Recording<TViewerFrame<ITextViewer>> {
public:
    using Recording::Recording;
    std::string shown, text;
    int tabWidth = 0;
    std::size_t caret = 0;
    bool modified = false;
    std::string ShownFile() const override { return shown; }
    std::string LoadFile(const std::string& path, int mode) override { return LoadTextFile(path, mode, true, false); }
    std::string SaveFile(const std::string& path) override {
        Note("Save " + path);
        return {};
    }
    bool Modified() const override { return modified; }
    std::string LoadTextFile(const std::string& path, int tab, bool, bool) override {
        shown = path;
        tabWidth = tab;
        Note("Load");
        Activated();
        return {};
    }
    void LoadStrings(const std::vector<std::string>&, int, bool, bool) override { Note("Strings"); }
    std::string Text() const override { return text; }
    void SetModified(bool m) override { modified = m; }
    void SetCaret(std::size_t position) override { caret = position; }
    bool UsesCrLf() const override { return true; }
    void SaveAs() override { Note("SaveAs"); }
    void SetReadOnly(bool readOnly) override { Note(readOnly ? "read only" : "editable"); }
};

// The ten panes of a main window, each recording into one log; the window takes them over.
struct RecordingFrames {
    TMainFrames frames;
    RecordingAssetList* assets = nullptr;
    Recording<TFrame<IFrame>>* files = nullptr;
    Recording<TFrame<IFrame>>* outline = nullptr;
    RecordingTextViewer* text = nullptr;
    RecordingViewerFrame* image = nullptr;
    RecordingViewerFrame* descriptor = nullptr;
    RecordingViewerFrame* lod = nullptr;

    explicit RecordingFrames(CallLog& log) {
        frames.assetList = assets = new RecordingAssetList(log, "AssetList", false);
        frames.fileList = files = new Recording<TFrame<IFrame>>(log, "FileList", false);
        frames.outline = outline = new Recording<TFrame<IFrame>>(log, "Outline", true);
        frames.text = text = new RecordingTextViewer(log, "Text", true);
        auto viewer = [&log](const char* name) { return new RecordingViewerFrame(log, name, true); };
        frames.mesh = viewer("Mesh");
        frames.table = viewer("Table");
        frames.image = image = viewer("Image");
        frames.tagCatalogue = viewer("TagCatalogue");
        frames.textureDescriptor = descriptor = viewer("TextureDescriptor");
        frames.levelOfDetail = lod = viewer("LevelOfDetail");
    }
};

}  // namespace kelvarn::test
