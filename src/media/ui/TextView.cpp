#include "media/ui/TextView.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>

#include "shell/Colours.h"
#include "shell/CommandBus.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

std::function<void(const std::vector<std::string>&, int, bool)> TTextView::PrintLines;
std::function<TTextSaveVerdict(const std::string&, const std::string&)> TTextView::BeforeWrite;

TTextMemo::TTextMemo(TTextView& owner, QWidget* parent) : QPlainTextEdit(parent), owner_(owner) {}

void TTextMemo::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && event->key() == Qt::Key_F) {
        owner_.OpenFindDialog();
        return;
    }
    if (event->key() == Qt::Key_F3 && !ctrl) {
        owner_.FindNext();
        return;
    }
    if (ctrl) {
        switch (event->key()) {
            // Select, copy, cut, paste (plain text only), undo and the caret keys keep their meaning.
            case Qt::Key_A: case Qt::Key_C: case Qt::Key_X: case Qt::Key_V: case Qt::Key_Z: case Qt::Key_Y:
            case Qt::Key_Insert: case Qt::Key_Home: case Qt::Key_End: case Qt::Key_Left: case Qt::Key_Right:
            case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
            case Qt::Key_Backspace: case Qt::Key_Delete:
                break;
            default:
                // Any other character typed with Ctrl held is dropped.
                event->accept();
                return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TTextMemo::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText()) insertPlainText(source->text());
}

TTextView::TTextView(TProgramState& state, QWidget* parent)
    : TViewerFrame<ITextViewer>("TextView", "Text", true, parent), state_(state) {
    struct ButtonDef {
        const char* name;
        const char* caption;
        const char* hint;
        int tag;
        bool checkable;
    };
    const ButtonDef buttons[] = {
        {"bTabMinus", "Tab\u2212", "Decrease Tabs", 2401, false}, {"bTabPlus", "Tab+", "Increase Tabs", 2402, false},
        {"bFont", "Aa", "Change Font", 2403, true},               {"bWrap", "Wrap", "Word Wrap", 2404, true},
        {"bFind", "Find", "Find Text", 0, false},                 {"bPrint", "Print", "Print text", 0, false},
        {"bSaveTextFile", "Save", "Save File", 2405, false},
    };
    // The header's own buttons go before the maximise button.
    QHBoxLayout* header = HeaderLayout();
    int at = header->count() - 1;
    for (const ButtonDef& def : buttons) {
        auto* b = new QToolButton(this);
        b->setObjectName(def.name);
        b->setText(QString::fromUtf8(def.caption));
        b->setToolTip(def.hint);
        b->setProperty("tag", def.tag);
        b->setCheckable(def.checkable);
        b->setAutoRaise(true);
        header->insertWidget(at++, b);
    }
    memo_ = new TTextMemo(*this, Body());
    memo_->setObjectName("Memo");
    memo_->setFrameShape(QFrame::NoFrame);
    BodyLayout()->addWidget(memo_);

    connect(Button("bTabMinus"), &QToolButton::clicked, this, [this] { SetTabSize(tabWidth_ - 1); });
    connect(Button("bTabPlus"), &QToolButton::clicked, this, [this] { SetTabSize(tabWidth_ + 1); });
    connect(Button("bFont"), &QToolButton::clicked, this, [this](bool down) {
        fixedFont_ = down;
        ApplyFontChoice();
        MemoChange();
    });
    connect(Button("bWrap"), &QToolButton::clicked, this, [this](bool down) {
        wrap_ = down;
        ApplyWrap();
        SetTabSize(tabWidth_);
    });
    connect(Button("bFind"), &QToolButton::clicked, this, [this] { OpenFindDialog(); });
    connect(Button("bPrint"), &QToolButton::clicked, this, [this] {
        if (PrintLines) PrintLines(SplitLines(Text()), tabWidth_, fixedFont_);
    });
    connect(Button("bSaveTextFile"), &QToolButton::clicked, this, [this] {
        // Text the program made has no file yet: it is saved under a name the user gives.
        if (path_.empty()) return SaveAs();
        if (std::string error = SaveFile(path_); !error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
    });
    connect(memo_, &QPlainTextEdit::modificationChanged, this, [this] { MemoChange(); });
    Clear();
}

QToolButton* TTextView::Button(const char* name) const { return findChild<QToolButton*>(name); }

QWidget* TTextView::MainControl() { return memo_; }

void TTextView::Clear() {
    if (HoldsUnsaved()) return;  // the user's edits stay until saved or given up
    memo_->clear();
    path_.clear();
    file_ = {};
    shownOnly_ = false;
    SetNotText(false);
    Alert()->Close();
    SetDisplayOptions(3, true, false);
    SetModified(false);
}

void TTextView::SetTabSize(int width) {
    tabWidth_ = ClampTabWidth(width);
    memo_->setTabStopDistance(TabStopPixels(tabWidth_, QFontMetricsF(memo_->font()).averageCharWidth()));
}

void TTextView::ApplyFontChoice() {
    QFont font = this->font();  // the parent's (the form's) font
    if (fixedFont_) kelvarn::ApplyFont(font, "Fixed", state_.Settings());
    memo_->setFont(font);
    Button("bFont")->setChecked(fixedFont_);
}

void TTextView::ApplyWrap() {
    memo_->setLineWrapMode(wrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(wrap_ ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Button("bWrap")->setChecked(wrap_);
}

void TTextView::SetDisplayOptions(int tabWidth, bool fixedFont, bool wrap) {
    if (updating_) return;
    updating_ = true;
    fixedFont_ = fixedFont;
    wrap_ = wrap;
    ApplyFontChoice();
    ApplyWrap();
    SetTabSize(tabWidth);
    MemoChange();
    updating_ = false;
}

void TTextView::MemoChange() {
    const bool modified = memo_->document()->isModified();
    const TMemIni* ini = &state_.Settings();
    QPalette p = memo_->palette();
    p.setColor(QPalette::Text, ToQColor(SchemeColour(ini, modified ? skModified : skNormal, true)));
    memo_->setPalette(p);
    Button("bSaveTextFile")->setEnabled(modified);
    Button("bPrint")->setEnabled(static_cast<bool>(PrintLines));
}

// Options first: applied to an empty memo they cost nothing, applied after a large text they lay it
// out again.
void TTextView::BeginLoad(int tabWidth, bool fixedFont, bool wrap) {
    Alert()->Close();
    memo_->clear();
    SetDisplayOptions(tabWidth, fixedFont, wrap);
}

void TTextView::EndLoad() {
    SetModified(false);
    Activated();
}

std::string TTextView::LoadTextFile(const std::string& path, int tabWidth, bool fixedFont, bool wrap) {
    if (HoldsUnsaved()) return HeldMessage();
    BeginLoad(tabWidth, fixedFont, wrap);
    TTextViewDocument document;
    if (std::string error = LoadTextViewFile(path, document); !error.empty()) {
        path_.clear();
        Alert()->ShowAlert(error, true, 1);
        return error;
    }
    path_ = NativePath(path);
    file_ = std::move(document.file);
    shownOnly_ = IsShownOnlyProgramFile(state_, path_);
    SetNotText(!document.notText.empty());
    memo_->setPlainText(QString::fromUtf8(document.text.data(), qsizetype(document.text.size())));
    EndLoad();
    if (notText_) Alert()->ShowAlert(NotTextMessage(path_, document.notText), true, 1);
    return {};
}

std::string TTextView::LoadFile(const std::string& path, int mode) { return LoadTextFile(path, mode, true, false); }

void TTextView::LoadStrings(const std::vector<std::string>& lines, int tabWidth, bool fixedFont, bool wrap) {
    if (HoldsUnsaved()) {
        Alert()->ShowAlert(HeldMessage(), true, 1);
        return;
    }
    BeginLoad(tabWidth, fixedFont, wrap);
    path_.clear();
    file_ = {};  // text made here is saved with CR LF
    shownOnly_ = false;
    SetNotText(false);
    std::string text = JoinLines(lines, "\n");
    if (!text.empty()) text.pop_back();  // lines, not a file: no empty line after the last
    memo_->setPlainText(QString::fromStdString(text));
    EndLoad();
}

// The document's raw text: toPlainText would turn a no-break space into a blank and so change the file.
std::string TTextView::Text() const {
    QString text = memo_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text.toStdString();
}

bool TTextView::Modified() const { return memo_->document()->isModified(); }

void TTextView::SetModified(bool modified) {
    memo_->document()->setModified(modified);
    MemoChange();
}

void TTextView::SetCaret(std::size_t position) {
    QTextCursor cursor = memo_->textCursor();
    const int end = std::max(memo_->document()->characterCount() - 1, 0);
    cursor.setPosition(static_cast<int>(std::min<std::size_t>(position, static_cast<std::size_t>(end))));
    memo_->setTextCursor(cursor);
    memo_->ensureCursorVisible();
}

std::string TTextView::SaveFile(const std::string& path) {
    if (path.empty()) return "No file to save";
    if (notText_) return "Unable to save " + ShownPath(path_) + ": it is not a text file";
    TTextSaveVerdict verdict;
    if (BeforeWrite) {
        TTextDocument asWritten = file_;
        verdict = BeforeWrite(NativePath(path), DocumentToBytes(asWritten, Text()));
        if (!verdict.error.empty()) return verdict.error;
        if (!verdict.write) {
            // The other pane's version took the file (the text is in the backups): shown as it now is.
            saveFailed_ = false;
            SetModified(false);
            return LoadTextFile(path, tabWidth_, fixedFont_, wrap_);
        }
    }
    if (std::string error = SaveTextViewFile(path, Text(), file_); !error.empty()) {
        if (verdict.writeFailed) verdict.writeFailed();
        return error;
    }
    path_ = NativePath(path);
    shownOnly_ = IsShownOnlyProgramFile(state_, path_);  // a copy saved elsewhere is the user's to edit
    ApplyReadOnly();
    saveFailed_ = false;
    SetModified(false);
    // A file of the asset folder tells the main window, which marks it as edited.
    if (auto relative = AssetRelativePath(path, state_.AssetPath()); relative && Bus())
        Bus()->SendCommand(ccFileSaved, *relative);
    return {};
}

void TTextView::SaveAs() {
    const QString name = QFileDialog::getSaveFileName(this, "Save File as ...", QString::fromStdString(path_),
                                                      "All files (*)");
    if (name.isEmpty()) return;
    const std::string path = name.toStdString();
    if (std::string error = SaveFile(path); !error.empty())
        state_.Messages->ShowMessage("Unable to save the file as: " + path + "\n" + error, "", MessageKind::Error);
}

void TTextView::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    ApplyReadOnly();
}

void TTextView::SetNotText(bool notText) {
    notText_ = notText;
    ApplyReadOnly();
}

void TTextView::ApplyReadOnly() { memo_->setReadOnly(readOnly_ || notText_ || shownOnly_); }

bool TTextView::CloseQuery() {
    if (!Modified()) return true;
    if (path_.empty()) return true;  // text the program made is no file to ask about
    switch (state_.Messages->AskYesNoCancel(CloseQueryText(path_))) {
        case Answer::Yes:
            if (std::string error = SaveFile(path_); !error.empty()) {
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
                return false;  // not saved: the work stays open
            }
            break;
        case Answer::No:
            saveFailed_ = false;
            SetModified(false);
            break;
        case Answer::Cancel:
            break;
    }
    return !Modified();
}

bool TTextView::QuerySave() {
    if (!Modified() || path_.empty()) return true;
    if (state_.Messages->AskYesNo(QuerySaveText(path_))) {
        if (std::string error = SaveFile(path_); !error.empty()) {
            // Not saved: the text and its modified mark stay, and the view keeps them until the user
            // saves them or answers No to this question.
            saveFailed_ = true;
            state_.Messages->ShowMessage(error, "", MessageKind::Error);
            return false;
        }
    }
    saveFailed_ = false;
    SetModified(false);
    return true;
}

bool TTextView::HoldsUnsaved() const { return saveFailed_ && Modified(); }

std::string TTextView::HeldMessage() const {
    return "The changes to " + (path_.empty() ? std::string("the text") : path_) +
           " could not be saved; they stay here until they are saved or given up";
}

void TTextView::OpenFindDialog() {
    bool ok = false;
    const QString text = QInputDialog::getText(this, "Find Text", "Find:", QLineEdit::Normal, findText_, &ok);
    if (ok && !text.isEmpty()) Find(text);
}

bool TTextView::Find(const QString& text) {
    if (text.isEmpty()) return false;
    findText_ = text;
    const QString all = memo_->toPlainText();
    const std::size_t start = findCycle_.StartFrom(static_cast<std::size_t>(memo_->textCursor().selectionEnd()));
    const qsizetype at = all.indexOf(text, static_cast<qsizetype>(start), Qt::CaseInsensitive);
    if (at < 0) {
        Alert()->ShowAlert(std::string(kNoFurtherMatches));
        findCycle_.Missed();
        return false;
    }
    if (Alert()->Text() == kNoFurtherMatches) Alert()->Close();
    QTextCursor cursor = memo_->textCursor();
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + text.size()), QTextCursor::KeepAnchor);
    memo_->setTextCursor(cursor);
    memo_->ensureCursorVisible();
    return true;
}

}  // namespace kelvarn
