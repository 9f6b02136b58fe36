// TViewer: the report viewer window. A stay-on-top window with its own task-bar entry, centred on the
// main window, around one text view and up to three buttons whose captions the caller chooses: it
// shows the log, files, lists of lines and script texts to run.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "shell/ReportLog.h"

class QPushButton;

namespace kelvarn {

class ITextViewer;
class TProgramState;

class TViewer : public QWidget, public IReportViewer {
public:
    // `textView` is owned by the window from now on; `mainWindow` is where it centres.
    TViewer(TProgramState& state, ITextViewer* textView, QWidget* mainWindow);

    // IReportViewer: the log with its newest block in sight; a report that could not be logged.
    void ShowLog(const std::string& title, const std::string& file, std::size_t offset) override;
    void ShowReportText(const std::string& title, const std::vector<std::string>& lines) override;

    // The buttons: bOK takes `first`; bClear shows with a non-empty `second`; with a non-empty
    // `third`, bUndo shows with it and bClear moves right. A first caption "Save" sets save mode.
    void ShowFile(const std::string& caption, const std::string& first, const std::string& file,
                  const std::string& third = {}, const std::string& second = {});
    void ShowText(const std::string& caption, const std::vector<std::string>& lines, const std::string& first,
                  const std::string& third = {}, const std::string& second = {});

    // Set while a file is open for saving (the main window then swallows Ctrl+O).
    bool SaveMode() const { return saveMode_; }
    ITextViewer& TextView() { return *text_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* ClearButton() const { return clear_; }
    QPushButton* UndoButton() const { return undo_; }
    // While shown, the window repeats a script run's messages in its own strip, because it covers
    // the strip they go to; an empty text takes them away.
    void ShowRunMessages(const std::string& text);
    // The action of a button by its current caption.
    void ButtonClick(QPushButton* button);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetButtons(const std::string& first, const std::string& third, const std::string& second);
    void ShowCentred();
    std::string ScriptFile() const;
    std::string SaveScriptText();

    TProgramState& state_;
    ITextViewer* text_;
    QWidget* mainWindow_;
    QPushButton* ok_;
    QPushButton* clear_;
    QPushButton* undo_;
    std::string file_;
    bool saveMode_ = false;
    bool runMessages_ = false;  // the strip repeats a run's messages
};

}  // namespace kelvarn
