#include "media/ui/EditedFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QToolButton>

#include "media/TextViewDocument.h"
#include "media/ViewerEditors.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/FramePanel.h"

namespace kelvarn {

std::string MemoTextToFile(const QString& memoText, const std::string& previousFileText) {
    const bool bareLf = previousFileText.find('\n') != std::string::npos &&
                        previousFileText.find("\r\n") == std::string::npos;
    std::string text = memoText.toStdString();
    if (bareLf) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString FileTextToMemo(const std::string& fileText) {
    QString text = QString::fromStdString(fileText);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string MemoText(const QPlainTextEdit& memo) {
    // Raw text: a no-break space stays what it is.
    QString text = memo.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text.toStdString();
}

void AddScrollingFields(TFramePanel& frame, QWidget* fields) {
    auto* scroll = new QScrollArea(frame.Body());
    scroll->setObjectName(fields->objectName().isEmpty() ? QString("FieldsScroll") : fields->objectName() + "Scroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(fields);
    frame.BodyLayout()->addWidget(scroll);
}

QPlainTextEdit* AddFileMemo(TFramePanel& frame, const std::function<void()>& changed, const std::function<void()>& save,
                            const std::function<void()>& reload, const std::function<void()>& help) {
    frame.BodyLayout()->addWidget(new QLabel("File Content:", frame.Body()));
    auto* memo = new QPlainTextEdit(frame.Body());
    memo->setObjectName("Memo");
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    frame.BodyLayout()->addWidget(memo, 1);
    QObject::connect(memo, &QPlainTextEdit::textChanged, &frame, changed);
    QObject::connect(FrameButton(frame, "bSave"), &QToolButton::clicked, &frame, save);
    QObject::connect(FrameButton(frame, "bReload"), &QToolButton::clicked, &frame, reload);
    QObject::connect(FrameButton(frame, "bHelp"), &QToolButton::clicked, &frame, help);
    return memo;
}

void AddEditorButtons(TFramePanel& frame) {
    struct ButtonDef {
        const char* name;
        const char* caption;
        const char* hint;
    };
    const ButtonDef buttons[] = {{"bSave", "Save", "Save File"}, {"bReload", "Reload", "Reload File"}, {"bHelp", "?", "Help"}};
    QHBoxLayout* header = frame.HeaderLayout();
    int at = header->count() - 1;
    for (const ButtonDef& def : buttons) {
        auto* b = new QToolButton(&frame);
        b->setObjectName(def.name);
        b->setText(def.caption);
        b->setToolTip(def.hint);
        b->setAutoRaise(true);
        header->insertWidget(at++, b);
    }
}

QToolButton* FrameButton(const TFramePanel& frame, const char* name) { return frame.findChild<QToolButton*>(name); }

void SendFileSaved(TFramePanel& frame, TProgramState& state, const std::string& path) {
    if (auto relative = AssetRelativePath(path, state.AssetPath()); relative && frame.Bus())
        frame.Bus()->SendCommand(ccFileSaved, *relative);
}

bool AskBeforeClose(TProgramState& state, TEditedFile& file, const std::function<bool()>& save) {
    if (!file.Modified) return true;
    switch (state.Messages->AskYesNoCancel(CloseQueryText(file.Path))) {
        case Answer::Yes: return save();
        case Answer::No: file.Modified = false; return true;
        case Answer::Cancel: return false;
    }
    return false;
}

bool AskToSave(TProgramState& state, TEditedFile& file, const std::function<bool()>& save) {
    if (!file.Modified) return true;
    if (state.Messages->AskYesNo(QuerySaveText(file.Path))) return save();
    file.Modified = false;
    return true;
}

std::string HeldText(const std::string& path) {
    return "The changes to " + path + " could not be saved; they stay here until they are saved or given up";
}

}  // namespace kelvarn
