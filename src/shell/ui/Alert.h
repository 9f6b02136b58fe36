// TAlert: the strip at the foot of a frame for messages that need no answer. It grows with its
// wrapped text up to eight lines (then scrolls to the last line) and collapses when closed.
#pragma once

#include <QFrame>
#include <QTextBlock>
#include <string>

class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace kelvarn {

class IMessageSink;
class TMemIni;

class TAlert : public QFrame {
public:
    explicit TAlert(QWidget* parent = nullptr);

    void SetColours(const QColor& text, const QColor& background);
    // Shows the text (trailing line ends stripped); beep 0 is silent, any other value beeps. An
    // empty text leaves the strip as it was.
    void ShowAlert(const std::string& text, bool wordWrap = true, int beep = 0);
    // Adds the text as new lines below what the strip shows (or shows it when the strip is
    // closed). Its cost does not grow with the lines already shown.
    void AppendAlert(const std::string& text, bool wordWrap = true, int beep = 0);
    void Close();
    void AlertResize();

    std::string Text() const;
    bool IsOpen() const { return height_ > 0; }
    int StripHeight() const { return height_; }
    bool Scrolls() const;
    QPlainTextEdit* Memo() const { return memo_; }
    // Where beeps go (the program's message sink by default).
    void SetBeepSink(IMessageSink* sink) { beepSink_ = sink; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Lines as the memo shows them (wrapped at its width) from `from` to the last block; counting
    // stops once it passes `stopAbove`, since the strip's height stops growing there.
    int WrappedLineCount(QTextBlock from, int stopAbove) const;
    // Sizes the strip for `lines_` lines.
    void ApplyLines();
    void ApplyHeight(int height);
    void SetWrap(bool wordWrap);
    void BeepIf(int beep);

    QWidget* left_;
    QWidget* right_;
    QToolButton* alertButton_;
    QPushButton* yes_;
    QPushButton* no_;
    QPlainTextEdit* memo_;
    int lineHeight_ = 0;
    int height_ = 0;
    int lines_ = 0;  // wrapped lines shown, counted up to just past the strip's largest height
    bool resizing_ = false;
    IMessageSink* beepSink_ = nullptr;
};

// Every frame's strip takes the "Alert" scheme colours of these settings.
void ApplyAlertScheme(TAlert& alert, const TMemIni& settings);

}  // namespace kelvarn
