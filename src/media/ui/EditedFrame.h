// What the descriptor and level-of-detail frames share: header buttons, the memo's line ends, the
// save that tells the main window (235), and the questions before closing.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "shell/MessageSink.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "shell/ui/FramePanel.h"

class QPlainTextEdit;
class QToolButton;

namespace kelvarn {

class TEditedFile;

// The memo shows "\n" line ends; the file keeps CR LF unless its text so far used bare LF.
std::string MemoTextToFile(const QString& memoText, const std::string& previousFileText);
QString FileTextToMemo(const std::string& fileText);
std::string MemoText(const QPlainTextEdit& memo);

// bSave, bReload and bHelp before the header's maximise button.
void AddEditorButtons(TFramePanel& frame);
QToolButton* FrameButton(const TFramePanel& frame, const char* name);
// Puts the frame's fields in its body inside a scroll area, so that the frame can be made smaller than
// its fields (the outline maximised) and scrolls them instead of holding the viewer panel open.
void AddScrollingFields(TFramePanel& frame, QWidget* fields);
// The "File Content:" memo below the frame's fields, with the header's buttons wired: `changed` on each
// edit of the memo, then bSave, bReload and bHelp.
QPlainTextEdit* AddFileMemo(TFramePanel& frame, const std::function<void()>& changed, const std::function<void()>& save,
                            const std::function<void()>& reload, const std::function<void()>& help);

// After a save: a file of the asset folder goes to the main window as edited (235).
void SendFileSaved(TFramePanel& frame, TProgramState& state, const std::string& path);

// The close and asset-change questions; `save` is the frame's own save (it reports its errors and
// returns whether it saved). AskToSave is false when the user wanted the text saved and it was not:
// the frame then keeps it (HeldText) until it is saved or given up.
bool AskBeforeClose(TProgramState& state, TEditedFile& file, const std::function<bool()>& save);
bool AskToSave(TProgramState& state, TEditedFile& file, const std::function<bool()>& save);
std::string HeldText(const std::string& path);

// A frame that edits one file as fields above its text. `EditorT` (a TEditedFile) holds the logic; the
// frame shows it. Text the user wanted saved but that could not be (held) stays until it is saved or
// given up: neither a clear nor another file replaces it.
template <class EditorT>
class TEditedFrame : public TViewerFrame<IViewerFrame> {
public:
    TEditedFrame(const char* name, const char* caption, TProgramState& state, QWidget* parent)
        : TViewerFrame<IViewerFrame>(name, caption, true, parent), state_(state) {}

    void Clear() override {
        if (held_ && editor_.Modified) return;
        held_ = false;
        ResetEditor();
        Alert()->Close();
        ShowFields();
        ShowText();
    }
    std::string LoadFile(const std::string& path, int) override {
        if (held_ && editor_.Modified) {
            const std::string message = HeldText(editor_.Path);
            Alert()->ShowAlert(message, true, 1);
            Activated();
            return message;
        }
        held_ = false;
        Alert()->Close();
        const std::string error = editor_.Load(path);
        ShowFields();
        ShowText();
        if (!error.empty()) Alert()->ShowAlert(error, true, 1);
        Activated();
        return error;
    }
    std::string ShownFile() const override { return editor_.Path; }
    bool Modified() const override { return editor_.Modified; }
    std::string SaveFile(const std::string& path) override {
        if (path.empty() && editor_.Path.empty()) return "No file to save";
        if (!path.empty()) editor_.Path = path;
        return Save();
    }
    bool CloseQuery() override {
        const bool close = AskBeforeClose(state_, editor_, [this] { return SaveReporting(); });
        ShowState();
        return close;
    }
    bool QuerySave() override {
        held_ = !AskToSave(state_, editor_, [this] { return SaveReporting(); });
        ShowState();
        return !held_;
    }

    // Saves the text and sends 235; the error, or nothing.
    std::string Save() {
        if (std::string error = editor_.Save(); !error.empty()) return error;
        held_ = false;
        ShowState();
        SendFileSaved(*this, state_, editor_.Path);
        return {};
    }
    void SaveClick() { SaveReporting(); }
    void Reload() {
        if (editor_.Path.empty()) return;
        held_ = false;
        const std::string path = editor_.Path;  // the load replaces it
        LoadFile(path, 0);
    }

protected:
    virtual void ResetEditor() { editor_ = EditorT(); }
    virtual void ShowFields() = 0;
    virtual void ShowText() = 0;
    virtual void ShowState() = 0;

    TProgramState& state_;
    EditorT editor_;
    bool held_ = false;

private:
    bool SaveReporting() {
        const std::string error = Save();
        if (!error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
        return error.empty();
    }
};

}  // namespace kelvarn
