// TTextView: the frame that shows text files and text the program produces. A memo with a tab width
// of 2 to 20 characters, a fixed or proportional font, word wrap, find, print and save. Files keep
// their encoding and line ends.
#pragma once

#include <QPlainTextEdit>
#include <functional>

#include "media/TextViewDocument.h"
#include "shell/ui/FramePanel.h"

class QToolButton;

namespace kelvarn {

class TProgramState;
class TTextView;

// The memo: Ctrl-typed characters are dropped, Ctrl+F and F3 find.
class TTextMemo : public QPlainTextEdit {
public:
    TTextMemo(TTextView& owner, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    TTextView& owner_;
};

class TTextView final : public TViewerFrame<ITextViewer> {
public:
    explicit TTextView(TProgramState& state, QWidget* parent = nullptr);

    // IFrame / IViewerFrame
    void Clear() override;
    bool CloseQuery() override;
    bool QuerySave() override;
    QWidget* MainControl() override;
    std::string ShownFile() const override { return path_; }
    std::string LoadFile(const std::string& path, int mode) override;
    std::string SaveFile(const std::string& path) override;
    bool Modified() const override;
    // ITextViewer
    std::string LoadTextFile(const std::string& path, int tabWidth, bool fixedFont, bool wrap) override;
    void LoadStrings(const std::vector<std::string>& lines, int tabWidth, bool fixedFont, bool wrap) override;
    std::string Text() const override;
    void SetModified(bool modified) override;
    void SetCaret(std::size_t position) override;
    bool UsesCrLf() const override { return file_.newLineEnd == TLineEnd::CrLf; }
    void SaveAs() override;
    void SetReadOnly(bool readOnly) override;

    void SetTabSize(int width);
    int TabSize() const { return tabWidth_; }
    void SetDisplayOptions(int tabWidth, bool fixedFont, bool wrap);
    bool FixedFont() const { return fixedFont_; }
    bool WordWrap() const { return wrap_; }
    // Forward, ignoring case, from the end of the selection; a miss says "No further matches" and the
    // next search starts at the top. Returns whether it found the text.
    bool Find(const QString& text);
    bool FindNext() { return Find(findText_); }
    void OpenFindDialog();
    // The print service (lines, tab width, fixed font); the button is off until it is set.
    static std::function<void(const std::vector<std::string>& lines, int tabWidth, bool fixedFont)> PrintLines;
    // Asked before any text view writes a file, with the bytes it would write: a pane that holds
    // unsaved edits of the same file settles them first (the program sets it for the asset's config
    // and the outline). Unset, the view writes.
    static std::function<TTextSaveVerdict(const std::string& path, const std::string& bytes)> BeforeWrite;

    QPlainTextEdit* Memo() const { return memo_; }
    QToolButton* Button(const char* name) const;

private:
    void MemoChange();
    void ApplyFontChoice();
    void ApplyWrap();
    void BeginLoad(int tabWidth, bool fixedFont, bool wrap);
    void EndLoad();
    void SetNotText(bool notText);
    void ApplyReadOnly();
    // After a save that QuerySave asked for failed, the view keeps its text: clearing and loading wait
    // until the text is saved or the user gives it up.
    bool HoldsUnsaved() const;
    std::string HeldMessage() const;

    TProgramState& state_;
    TTextMemo* memo_;
    std::string path_;
    TTextDocument file_;     // the file as read: each line's end and encoding, for saving
    bool notText_ = false;   // the file is no text: shown read-only, never written
    bool readOnly_ = false;  // asked for by the caller
    bool shownOnly_ = false; // a file the program ships only to be shown
    int tabWidth_ = 3;
    bool fixedFont_ = true;
    bool wrap_ = false;
    bool updating_ = false;  // re-entry guard of the display update
    bool saveFailed_ = false;
    QString findText_;
    TFindCycle findCycle_;
};

}  // namespace kelvarn
