// The script engine's desktop: Qt dialogs and message boxes, the config pane's alert strip and the
// status bar of the main window, and the pieces other parts of the program supply through hooks (the
// outlines, the asset list's tagged folders and KUID index). A hook that is not set yet makes its
// part do nothing: no outline, no tagged folders, no KUIDs.
#pragma once

#include <QElapsedTimer>
#include <functional>
#include <string>
#include <vector>

#include "validation/ScriptHost.h"

class QProgressBar;
class QWidget;

namespace kelvarn {

class IScriptReview;
class TAlert;
class TProgramState;
class TScriptUnit;
class TSelectOptionDialog;
class TViewer;

class TQtScriptHost final : public ScriptHost {
public:
    TQtScriptHost(TProgramState& state, TSelectOptionDialog& dialog);

    // --- what the program supplies
    std::function<TOutlineDocument*()> MainOutlineHook;
    std::function<TOutlineDocument*()> EditorOutlineHook;
    // Asks for a script file; a QFileDialog unless set (tests set it).
    std::function<std::string(const std::string& caption, const std::string& filter, const std::string& folder)> AskFileHook;
    TScriptUnit* Unit = nullptr;         // whose folder list callbacks 230 and 245 fill
    TAlert* Alert = nullptr;             // the config pane's alert strip
    QWidget* Tree = nullptr;             // the main outline, frozen while a run changes it
    QProgressBar* Gauge = nullptr;
    TViewer* Viewer = nullptr;
    IScriptReview* Review = nullptr;
    // A batch begins and ends: the editor window hides its normal controls meanwhile.
    std::function<void(bool on)> BatchModeHook;
    QWidget* Parent = nullptr;           // the owner of the file dialogs
    IEditorDialogs* Dialogs = nullptr;   // the text page a tool's output goes to

    // A run mode begins and ends: the run's messages beep once between the two.
    void BeginRun();
    void EndRun();

    bool Poll() override;
    bool Confirm(const std::string& question) override;
    int ChooseOne(const std::string& caption, const std::vector<std::string>& items) override;
    bool ChooseMany(const std::string& caption, const std::vector<std::string>& items, std::vector<bool>& checked) override;
    void AppendAlert(const std::string& text) override;
    void ShowAlert(const std::string& text) override;
    void Beep() override;
    TOutlineDocument* MainOutline() override { return MainOutlineHook ? MainOutlineHook() : nullptr; }
    TOutlineDocument* EditorOutline() override { return EditorOutlineHook ? EditorOutlineHook() : nullptr; }
    std::vector<std::string> TaggedFolders(bool includeCurrent) override;
    const TKuidMap& KuidIndex() override;
    void BeginTreeUpdate() override;
    void EndTreeUpdate() override;
    void ShowStatus(int panel, const std::string& text) override;
    void ShowGauge(int count) override;
    void StepGauge() override;
    void HideGauge() override;
    std::string AskScriptFile(const std::string& caption, const std::string& filter, const std::string& folder) override;
    void OpenViewer(const std::string& caption, const std::string& file, const std::string& first,
                    const std::string& third, const std::string& second) override;
    TReviewResult ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline, bool last,
                              bool& preview) override;
    void RefreshFiles() override;
    void BatchMode(bool on) override {
        if (BatchModeHook) BatchModeHook(on);
    }
    void ShowMessage(const std::string& text) override;
    void RepaintTree() override;
    void BusyCursor(bool on) override;
    IEditorDialogs* EditorDialogs() override { return Dialogs; }

private:
    TProgramState& state_;
    TSelectOptionDialog& dialog_;
    int frozen_ = 0;
    int busy_ = 0;
    int runs_ = 0;          // run modes begun and not ended
    bool beeped_ = false;   // the current run has beeped
    QElapsedTimer sinceEvents_;  // since the windows last handled their events
    // Takes the run's one beep; true when it is still to come.
    bool TakeBeep();
};

}  // namespace kelvarn
