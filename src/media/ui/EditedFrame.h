// What the descriptor and level-of-detail frames share: header buttons, the memo's line ends, the
// save that tells the main window (235), and the questions before closing.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QPlainTextEdit;
class QToolButton;

namespace kelvarn {

class TEditedFile;
class TFramePanel;
class TProgramState;

// The memo shows "\n" line ends; the file keeps CR LF unless its text so far used bare LF.
std::string MemoTextToFile(const QString& memoText, const std::string& previousFileText);
QString FileTextToMemo(const std::string& fileText);
std::string MemoText(const QPlainTextEdit& memo);

// bSave, bReload and bHelp before the header's maximise button.
void AddEditorButtons(TFramePanel& frame);
QToolButton* FrameButton(const TFramePanel& frame, const char* name);

// After a save: a file of the asset folder goes to the main window as edited (235).
void SendFileSaved(TFramePanel& frame, TProgramState& state, const std::string& path);

// The close and asset-change questions; `save` is the frame's own save (it reports its errors and
// returns whether it saved). AskToSave is false when the user wanted the text saved and it was not:
// the frame then keeps it (HeldText) until it is saved or given up.
bool AskBeforeClose(TProgramState& state, TEditedFile& file, const std::function<bool()>& save);
bool AskToSave(TProgramState& state, TEditedFile& file, const std::function<bool()>& save);
std::string HeldText(const std::string& path);

}  // namespace kelvarn
