// The script engine as the program has it: the core engine, its Qt desktop and the "Select Option"
// dialog; the editor window supplies the outline and the review of batches. Wire() hooks it into
// the main window:
//   - callback 244 runs script text;
//   - commands 1007 (Replicate), 1601, 1604-1607 (the Scripts menu), 1610-1612 (script items: the
//     name the Scripts menu item keeps, for 1612 "folder\name"), 2316 (the outline's embedded script, named by
//     SelectedEmbeddedScript);
//   - every activation runs the start-up scripts; Escape stops a run, every script it called with
//     it; while a run is on, every other way to start one is refused with a beep and an alert line;
//     a batch counts as the editor being busy; closing the main window during a run waits for its
//     end;
//   - what a run says in the config pane's strip is repeated in the report viewer while it covers it.
// The asset list's rows of callbacks 230 and 245 fill Unit().FolderList. What other parts plug in
// (a line each in src/app/): Host().MainOutlineHook (the outline's document), Host().EditorOutlineHook
// and SetReview (the editor window), SelectedEmbeddedScript (the outline).
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QProgressBar;
class QTimer;
class QWidget;

namespace kelvarn {

class IScriptReview;
class TMain;
class TOutlineDocument;
class TProgramState;
class TQtScriptHost;
class TScriptUnit;
class TSelectOptionDialog;
class TViewer;

class TScriptEngine : public QObject {
public:
    TScriptEngine(TProgramState& state, QWidget* mainWindow);
    ~TScriptEngine() override;

    TScriptUnit& Unit() { return *unit_; }
    TQtScriptHost& Host() { return *host_; }
    TSelectOptionDialog& Dialog() { return *dialog_; }
    // The review of a batch's assets; unset, every asset is taken unreviewed.
    void SetReview(IScriptReview* review);

    // The name of the embedded script the outline's selected node holds (command 2316).
    std::function<std::string()> SelectedEmbeddedScript;

    void Wire(TMain& main, TViewer* viewer);

    // Runs one of the engine's operations; a close of the main window asked for meanwhile follows.
    void Run(const std::function<void()>& operation);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TProgramState& state_;
    QWidget* mainWindow_;
    std::unique_ptr<TSelectOptionDialog> dialog_;
    std::unique_ptr<TQtScriptHost> host_;
    std::unique_ptr<TScriptUnit> unit_;
    void MirrorMessages();

    QProgressBar* gauge_ = nullptr;
    TViewer* viewer_ = nullptr;
    QTimer* mirror_ = nullptr;
    bool changedInRun_ = false;  // the run said something in the config pane's strip
    bool closePending_ = false;
};

}  // namespace kelvarn
