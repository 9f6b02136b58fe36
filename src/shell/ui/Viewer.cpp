#include "shell/ui/Viewer.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"
#include "shell/ui/Frames.h"

namespace kelvarn {

namespace {
constexpr int kButtonWidth = 85;
constexpr int kFirstLeft = 4, kSecondLeft = 94, kThirdLeft = 184;
}  // namespace

TViewer::TViewer(TProgramState& state, ITextViewer* textView, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), state_(state), text_(textView), mainWindow_(mainWindow) {
    setObjectName("Viewer");
    resize(860, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    text_->Widget()->setParent(this);
    layout->addWidget(text_->Widget(), 1);
    if (QAbstractButton* max = text_->MaxButton()) max->hide();  // nothing to maximise in its own window

    // The buttons sit at fixed places, as the callers' layouts expect.
    auto* panel = new QWidget(this);
    panel->setObjectName("ButtonPanel");
    panel->setFixedHeight(36);
    ok_ = new QPushButton("Close", panel);
    ok_->setObjectName("bOK");
    undo_ = new QPushButton("Undo", panel);
    undo_->setObjectName("bUndo");
    clear_ = new QPushButton("Clear", panel);
    clear_->setObjectName("bClear");
    for (QPushButton* b : {ok_, undo_, clear_}) {
        b->setGeometry(kFirstLeft, 5, kButtonWidth, 26);
        connect(b, &QPushButton::clicked, this, [this, b] { ButtonClick(b); });
    }
    undo_->move(kSecondLeft, 5);
    clear_->move(kSecondLeft, 5);
    layout->addWidget(panel);
}

void TViewer::SetButtons(const std::string& first, const std::string& third, const std::string& second) {
    ok_->setText(QString::fromStdString(first));
    clear_->setVisible(!second.empty());
    clear_->setText(QString::fromStdString(second));
    if (!third.empty()) {
        clear_->move(kThirdLeft, clear_->y());
        undo_->move(kSecondLeft, undo_->y());
        undo_->setText(QString::fromStdString(third));
        undo_->show();
    } else {
        clear_->move(kSecondLeft, clear_->y());
        undo_->hide();
    }
}

void TViewer::ShowCentred() {
    if (!isVisible()) {
        QRect area = mainWindow_ ? mainWindow_->frameGeometry() : QRect();
        if (area.isEmpty() && QGuiApplication::primaryScreen()) area = QGuiApplication::primaryScreen()->availableGeometry();
        QRect r = frameGeometry();
        r.moveCenter(area.center());
        move(r.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void TViewer::ShowLog(const std::string& title, const std::string& file, std::size_t offset) {
    saveMode_ = false;
    file_ = file;
    setWindowTitle(QString::fromStdString(title + " [" + ExtractFileName(file) + "]"));
    SetButtons("Close", "", "Clear");
    if (std::string error = text_->LoadTextFile(file, 2, true, false); !error.empty()) text_->Alert()->ShowAlert(error);
    ShowCentred();
    text_->SetModified(false);
    text_->SetCaret(LogCaretPosition(text_->Text(), offset, text_->UsesCrLf()));
}

void TViewer::ShowReportText(const std::string& title, const std::vector<std::string>& lines) {
    ShowText(title, lines, "Close");
}

void TViewer::ShowFile(const std::string& caption, const std::string& first, const std::string& file,
                       const std::string& third, const std::string& second) {
    saveMode_ = first == "Save";
    file_ = file;
    setWindowTitle(QString::fromStdString(" " + caption));
    SetButtons(first, third, second);
    if (std::string error = text_->LoadTextFile(file, 5, true, false); !error.empty()) text_->Alert()->ShowAlert(error);
    ShowCentred();
    text_->SetModified(false);
    text_->MainControl()->setFocus();
}

void TViewer::ShowText(const std::string& caption, const std::vector<std::string>& lines, const std::string& first,
                       const std::string& third, const std::string& second) {
    saveMode_ = false;
    file_.clear();
    setWindowTitle(QString::fromStdString(" " + caption));
    SetButtons(first, third, second);
    text_->LoadStrings(lines, 5, true, false);
    ShowCentred();
    text_->SetModified(false);
    text_->MainControl()->setFocus();
}

std::string TViewer::ScriptFile() const { return NativePath(ExpandMacros(state_, "%scripts%\\$$$.kvm")); }

std::string TViewer::SaveScriptText() {
    const std::string file = ScriptFile();
    ForceDirectories(ExtractFileDir(file));
    return WriteTextFile(file, JoinLines(SplitLines(text_->Text()), "\r\n"), TextEncoding::Utf8);
}

void TViewer::ButtonClick(QPushButton* button) {
    const std::string caption = button->text().toStdString();
    if (button == ok_) {
        if (caption == "Close") {
            close();
        } else if (caption == "Save") {
            if (std::string error = text_->SaveFile(file_); !error.empty())
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
            else
                close();
        } else if (caption == "Execute") {
            if (Trim(text_->Text()).empty()) return;
            if (std::string error = SaveScriptText(); !error.empty()) {
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
                return;
            }
            state_.SendCommand(ccRunScript, ScriptFile());
        }
    } else if (button == clear_) {
        if (caption == "Cancel") {
            close();  // in save mode the close asks about the changes
        } else if (caption == "Clear") {
            if (std::string error = ClearLog(state_); !error.empty())
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
            close();
        } else if (caption == "Close") {
            // The run's messages stay in the config pane's strip until the user closes them there.
            if (std::string error = SaveScriptText(); !error.empty())
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
            close();
        }
    } else if (button == undo_) {
        state_.SendCommand(ccCloseAlert, "");
        state_.SendCommand(ccUndo, "");
    }
}

void TViewer::closeEvent(QCloseEvent* event) {
    // However the window is closed, a file open for saving asks about its changes first; a save that
    // failed keeps the window and the text.
    if (saveMode_ && text_->Modified()) {
        text_->QuerySave();
        if (text_->Modified()) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void TViewer::ShowRunMessages(const std::string& text) {
    if (!isVisible()) return;
    if (text.empty()) {
        if (runMessages_) text_->Alert()->Close();
    } else {
        text_->Alert()->ShowAlert(text, true, 0);
    }
    runMessages_ = !text.empty();
}

void TViewer::hideEvent(QHideEvent* event) {
    if (runMessages_) text_->Alert()->Close();
    runMessages_ = false;
    saveMode_ = false;  // the file is no longer open for saving
    QWidget::hideEvent(event);
}

}  // namespace kelvarn
