// What the script engine needs from the desktop, so that the engine itself is plain core: questions
// and choice dialogs, the config pane's alert strip, the two outlines it works on, the asset list's
// tagged folders and KUID index, the status bar and gauge, file prompts, the viewer window and the
// review of each asset of a batch. The Qt side implements it (validation/ui); tests answer from a
// queue. Later command families add what they need here, with a default where one makes sense.
#pragma once

#include <string>
#include <vector>

#include "catalogue/KuidMap.h"

namespace kelvarn {

class IEditorDialogs;
class TOutlineDocument;

enum class TReviewResult { Accept, Reject, Abort };

class ScriptHost {
public:
    virtual ~ScriptHost() = default;

    // Between two lines: the desktop handles what is pending (the user may press Abort or
    // Escape meanwhile). False asks the run to stop before the next line.
    virtual bool Poll() { return true; }

    // A Yes/No question; true for Yes.
    virtual bool Confirm(const std::string& question) = 0;
    // The "Select Option" dialog. Single choice: the index chosen (the first item preselected), -1
    // for Cancel. Multiple choice: `checked` comes in all false and goes out as the user left it;
    // false for Cancel.
    virtual int ChooseOne(const std::string& caption, const std::vector<std::string>& items) = 0;
    virtual bool ChooseMany(const std::string& caption, const std::vector<std::string>& items,
                            std::vector<bool>& checked) = 0;

    // The alert strip of the main window's config pane, with a beep: AppendAlert adds a line to what
    // it shows, ShowAlert replaces it.
    virtual void AppendAlert(const std::string& text) = 0;
    virtual void ShowAlert(const std::string& text) = 0;
    // A beep that needs no message of its own (the alert's beep counts as the run's one beep).
    virtual void Beep() {}

    // The main window's outline, and the editor's outline that a batch loads each asset into. Null
    // while there is none.
    virtual TOutlineDocument* MainOutline() = 0;
    virtual TOutlineDocument* EditorOutline() = 0;
    // The tagged asset folders of the asset list (callbacks 230 and 245); the current asset only
    // with `includeCurrent`.
    virtual std::vector<std::string> TaggedFolders(bool includeCurrent) = 0;
    // The asset list's KUID index.
    virtual const TKuidMap& KuidIndex() = 0;

    // The main outline does not repaint between the two calls (they nest).
    virtual void BeginTreeUpdate() {}
    virtual void EndTreeUpdate() {}
    // A status-bar panel of the main window (0 to 4).
    virtual void ShowStatus(int panel, const std::string& text) = 0;
    // The main outline's gauge: shown from 0 to `count`, advanced, hidden.
    virtual void ShowGauge(int /*count*/) {}
    virtual void StepGauge() {}
    virtual void HideGauge() {}
    // While a batch runs the editor hides its normal controls.
    virtual void BatchMode(bool /*on*/) {}

    // Asks for a script file in `folder`; empty for Cancel. `filter` is "Caption|*.ext".
    virtual std::string AskScriptFile(const std::string& caption, const std::string& filter,
                                      const std::string& folder) = 0;
    // The viewer window on a file, with the caption and the captions of its three buttons (empty:
    // the button is hidden).
    virtual void OpenViewer(const std::string& caption, const std::string& file, const std::string& first,
                            const std::string& third, const std::string& second) = 0;
    // The review of one asset of a batch: the outline holding the result, Accept, Reject or Abort.
    // `preview` is the "Preview Next File" box, in and out; `last` collapses it for the last asset.
    virtual TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                                      bool last, bool& preview) = 0;
    // The file list reloads (callback 236).
    virtual void RefreshFiles() = 0;

    // A modal message box with one OK button.
    virtual void ShowMessage(const std::string& /*text*/) {}
    // The main outline repaints at once (before a message box covers the run).
    virtual void RepaintTree() {}
    // The hourglass cursor while an outside program runs; the calls nest.
    virtual void BusyCursor(bool /*on*/) {}
    // The editor's text page, where a tool's captured output is shown; null: the output is not shown.
    virtual IEditorDialogs* EditorDialogs() { return nullptr; }
};

// A desktop with nobody at it: no question is answered Yes, no choice made, nothing shown, no outline
// and no asset known. For runs without a user (benchmarks, fuzzing), which override what they need.
class SilentScriptHost : public ScriptHost {
public:
    bool Confirm(const std::string&) override { return false; }
    int ChooseOne(const std::string&, const std::vector<std::string>&) override { return -1; }
    bool ChooseMany(const std::string&, const std::vector<std::string>&, std::vector<bool>&) override { return false; }
    void AppendAlert(const std::string&) override {}
    void ShowAlert(const std::string&) override {}
    TOutlineDocument* MainOutline() override { return nullptr; }
    TOutlineDocument* EditorOutline() override { return nullptr; }
    std::vector<std::string> TaggedFolders(bool) override { return {}; }
    const TKuidMap& KuidIndex() override {
        static const TKuidMap none;
        return none;
    }
    void ShowStatus(int, const std::string&) override {}
    std::string AskScriptFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    void OpenViewer(const std::string&, const std::string&, const std::string&, const std::string&,
                    const std::string&) override {}
    TReviewResult ReviewAsset(const std::string&, const std::string&, TOutlineDocument&, bool, bool&) override {
        return TReviewResult::Reject;
    }
    void RefreshFiles() override {}
};

// Keeps the main outline from repainting while a run or a routine makes many changes; inactive, it
// does nothing (a run in script mode leaves the outline alone).
class TTreeUpdate {
public:
    explicit TTreeUpdate(ScriptHost& host, bool active = true) : host_(host), active_(active) {
        if (active_) host_.BeginTreeUpdate();
    }
    ~TTreeUpdate() {
        if (active_) host_.EndTreeUpdate();
    }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    ScriptHost& host_;
    bool active_;
};

// The busy cursor while an outside program runs, ended however the run ends.
class TBusy {
public:
    explicit TBusy(ScriptHost& host) : host_(host) { host_.BusyCursor(true); }
    ~TBusy() { host_.BusyCursor(false); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    ScriptHost& host_;
};

}  // namespace kelvarn
