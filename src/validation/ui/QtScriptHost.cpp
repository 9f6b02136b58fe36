#include "validation/ui/QtScriptHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QProgressBar>
#include <QWidget>

#include "catalogue/KuidMap.h"
#include "shell/CommandBus.h"
#include "shell/MessageSink.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "shell/ui/Viewer.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/ScriptReview.h"
#include "validation/ui/SelectOptionDialog.h"

namespace kelvarn {

TQtScriptHost::TQtScriptHost(TProgramState& state, TSelectOptionDialog& dialog) : state_(state), dialog_(dialog) {}

void TQtScriptHost::ShowMessage(const std::string& text) { state_.Messages->ShowMessage(text); }

void TQtScriptHost::RepaintTree() {
    if (Tree) Tree->repaint();
}

void TQtScriptHost::BusyCursor(bool on) {
    if (on) {
        if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0 && --busy_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void TQtScriptHost::BeginRun() {
    if (runs_++ == 0) beeped_ = false;
}

void TQtScriptHost::EndRun() {
    if (runs_ > 0) --runs_;
}

bool TQtScriptHost::TakeBeep() {
    if (runs_ == 0) return true;
    if (beeped_) return false;
    beeped_ = true;
    return true;
}

bool TQtScriptHost::Poll() {
    // The windows stay usable during a run, and Abort or Escape reach their flags. Handling events
    // after every line would cost a long batch more than its lines; a few dozen times a second
    // keeps the windows as responsive.
    constexpr qint64 kEventsEveryMs = 15;
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsEveryMs) {
        QApplication::processEvents();
        sinceEvents_.restart();
    }
    // Escape stays pressed for every later poll of the run, however deep it has called.
    return !(Unit && Unit->StopRequested());
}

bool TQtScriptHost::Confirm(const std::string& question) { return state_.Messages->AskYesNo(question); }

int TQtScriptHost::ChooseOne(const std::string& caption, const std::vector<std::string>& items) {
    return dialog_.ChooseOne(caption, items);
}

bool TQtScriptHost::ChooseMany(const std::string& caption, const std::vector<std::string>& items,
                               std::vector<bool>& checked) {
    return dialog_.ChooseMany(caption, items, checked);
}

void TQtScriptHost::AppendAlert(const std::string& text) {
    if (Alert) Alert->AppendAlert(text, true, TakeBeep() ? 1 : 0);
}

void TQtScriptHost::ShowAlert(const std::string& text) {
    if (Alert) Alert->ShowAlert(text, true, TakeBeep() ? 1 : 0);
}

void TQtScriptHost::Beep() {
    // A refused request always beeps; the run's own messages then stay quiet.
    if (runs_ > 0) beeped_ = true;
    state_.Messages->Beep();
}

std::vector<std::string> TQtScriptHost::TaggedFolders(bool includeCurrent) {
    // The callback's row fills the engine's folder list (the asset list knows what is tagged).
    if (Unit) Unit->FolderList.clear();
    state_.SendCommand(includeCurrent ? ccListTaggedOthers : ccListTagged, "");
    return Unit ? Unit->FolderList : std::vector<std::string>();
}

const TKuidMap& TQtScriptHost::KuidIndex() { return ProgramKuidMap(); }

void TQtScriptHost::BeginTreeUpdate() {
    if (frozen_++ == 0 && Tree) Tree->setUpdatesEnabled(false);
}

void TQtScriptHost::EndTreeUpdate() {
    if (frozen_ > 0 && --frozen_ == 0 && Tree) Tree->setUpdatesEnabled(true);
}

void TQtScriptHost::ShowStatus(int panel, const std::string& text) { state_.SendStatusText(panel, text); }

void TQtScriptHost::ShowGauge(int count) {
    if (!Gauge) return;
    Gauge->setRange(0, std::max(count, 1));
    Gauge->setValue(0);
    Gauge->show();
}

void TQtScriptHost::StepGauge() {
    if (Gauge) Gauge->setValue(Gauge->value() + 1);
}

void TQtScriptHost::HideGauge() {
    if (Gauge) Gauge->hide();
}

std::string TQtScriptHost::AskScriptFile(const std::string& caption, const std::string& filter,
                                         const std::string& folder) {
    if (AskFileHook) return AskFileHook(caption, filter, folder);
    // "Kelvarn scripts (*.kvm)|*.kvm": the part before the bar is the filter Qt shows.
    const std::string shown = filter.substr(0, filter.find('|'));
    QFileDialog dialog(Parent, QString::fromStdString(caption), QString::fromStdString(folder),
                       QString::fromStdString(shown));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix("kvm");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}

void TQtScriptHost::OpenViewer(const std::string& caption, const std::string& file, const std::string& first,
                               const std::string& third, const std::string& second) {
    if (Viewer) Viewer->ShowFile(caption, first, file, third, second);
}

TReviewResult TQtScriptHost::ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                                         bool last, bool& preview) {
    return Review ? Review->ReviewAsset(caption, alert, outline, last, preview) : TReviewResult::Accept;
}

void TQtScriptHost::RefreshFiles() { state_.SendCommand(ccRefreshFiles, ""); }

}  // namespace kelvarn
