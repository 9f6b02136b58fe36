#include "media/ui/AudioForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "media/AudioFile.h"
#include "media/AudioPlayer.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TAudioForm::TAudioForm(TProgramState& state, TAudioPlayer& player, QWidget* parent)
    : QDialog(parent), state_(state), player_(player) {
    setObjectName("AudioForm");
    setWindowTitle("Kelvarn Audio Editor");
    auto* layout = new QVBoxLayout(this);

    auto* files = new QGroupBox("Audio &Files", this);
    auto* filesLayout = new QVBoxLayout(files);
    waveList_ = new QListWidget(files);
    waveList_->setObjectName("WaveList");
    filesLayout->addWidget(waveList_);
    layout->addWidget(files, 2);

    auto* data = new QGroupBox("Waveform Data", this);
    auto* dataLayout = new QVBoxLayout(data);
    waveData_ = new QPlainTextEdit(data);
    waveData_->setObjectName("WaveData");
    waveData_->setReadOnly(true);
    waveData_->setContextMenuPolicy(Qt::NoContextMenu);
    waveData_->setFont(QFont("Monospace"));
    dataLayout->addWidget(waveData_);
    layout->addWidget(data, 2);

    auto* save = new QGroupBox("Save &Duration To Tag", this);
    auto* saveLayout = new QHBoxLayout(save);
    saveLayout->addWidget(new QLabel("extensions\\", save));
    eSaveToTag_ = new QLineEdit(save);
    eSaveToTag_->setObjectName("eSaveToTag");
    saveLayout->addWidget(eSaveToTag_, 1);
    bSaveToTag_ = new QPushButton("Sa&ve", save);
    bSaveToTag_->setObjectName("bSaveToTag");
    saveLayout->addWidget(bSaveToTag_);
    layout->addWidget(save);

    auto* footer = new QHBoxLayout;
    bPlay_ = new QPushButton("&Play", this);
    bStop_ = new QPushButton("&Stop", this);
    bRepair_ = new QPushButton("&Repair", this);
    bClose_ = new QPushButton("&Close", this);
    autoPlay_ = new QCheckBox("&Autoplay", this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    bPlay_->setObjectName("bPlay");
    bStop_->setObjectName("bStop");
    bRepair_->setObjectName("bRepair");
    bClose_->setObjectName("bClose");
    autoPlay_->setObjectName("AutoPlay");
    progress_->setObjectName("ProgressBar");
    for (QWidget* w : {static_cast<QWidget*>(bPlay_), static_cast<QWidget*>(bStop_), static_cast<QWidget*>(bRepair_),
                       static_cast<QWidget*>(autoPlay_)})
        footer->addWidget(w);
    footer->addWidget(progress_, 1);
    footer->addWidget(bClose_);
    layout->addLayout(footer);
    resize(520, 460);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(250);
    connect(progressTimer_, &QTimer::timeout, this, [this] { progress_->setValue(player_.Progress()); });
    connect(waveList_, &QListWidget::currentRowChanged, this, [this](int row) { ShowAudioInfo(row); });
    connect(waveList_, &QListWidget::itemDoubleClicked, this, [this] { bPlayClick(); });
    connect(bPlay_, &QPushButton::clicked, this, [this] { bPlayClick(); });
    connect(bStop_, &QPushButton::clicked, this, [this] { bStopClick(); });
    connect(bRepair_, &QPushButton::clicked, this, [this] { bRepairClick(); });
    connect(bClose_, &QPushButton::clicked, this, [this] { close(); });
    connect(bSaveToTag_, &QPushButton::clicked, this, [this] { bSaveToTagClick(); });
    connect(eSaveToTag_, &QLineEdit::textChanged, this, [this] { UpdateSaveButton(); });
    UpdateControls();
}

std::string TAudioForm::PathOf(int row) const {
    if (row < 0 || row >= waveList_->count() || !AssetFolder) return {};
    return JoinPath(AssetFolder(), waveList_->item(row)->text().toStdString());
}

void TAudioForm::FormShow() {
    const std::string folder = AssetFolder ? AssetFolder() : std::string();
    const std::string current = CurrentFile ? CurrentFile() : std::string();
    const QSignalBlocker block(waveList_);
    waveList_->clear();
    int selected = -1;
    for (const std::string& file : ListAudioFiles(folder)) {
        if (selected < 0 && !current.empty() && file == current) selected = waveList_->count();
        waveList_->addItem(Q(file));
    }
    if (selected < 0 && waveList_->count() > 0) selected = 0;
    waveList_->setCurrentRow(selected);
    ShowAudioInfo(selected);
    UpdateControls();
}

void TAudioForm::ShowAudioInfo(int row) {
    const std::string path = PathOf(row);
    lastDuration_ = -1;
    if (path.empty()) {
        waveData_->clear();
    } else {
        const AudioInfo info = ProbeAudio(path);
        if (info.error.empty()) lastDuration_ = info.Duration();
        waveData_->setPlainText(Q(kelvarn::ShowAudioInfo(path)));
    }
    UpdateSaveButton();
}

void TAudioForm::PlayRow(int row) {
    const std::string path = PathOf(row);
    if (path.empty()) return;
    progress_->setValue(0);
    const std::string error = player_.PlayChained(path);
    if (error.empty()) {
        lastDuration_ = player_.Duration();
        UpdateSaveButton();
    } else if (error[0] != '.' && state_.Messages) {
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
    }
}

void TAudioForm::bPlayClick() { PlayRow(waveList_->currentRow()); }

void TAudioForm::bStopClick() { player_.Stop(); }

void TAudioForm::PlaybackOver() {
    progress_->setValue(0);
    if (!autoPlay_->isChecked() || !isVisible()) return;
    const int next = waveList_->currentRow() + 1;
    if (next >= waveList_->count()) return;
    waveList_->setCurrentRow(next);  // shows its information
    PlayRow(next);
}

void TAudioForm::bRepairClick() {
    const int row = waveList_->currentRow();
    const std::string path = PathOf(row);
    if (path.empty() || repairing_) return;
    player_.Stop();
    repairing_ = true;
    cancelRepair_ = false;
    UpdateControls();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const std::string error = RepairAudioFile(path, [&](std::int64_t position, std::int64_t length) {
        // Events every few tens of ms keep the form alive and let Close cancel.
        if (sinceEvents.elapsed() >= 40) {
            progress_->setValue(ProgressPercent(position, length));
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !cancelRepair_;
    });
    repairing_ = false;
    progress_->setValue(0);
    const std::string repaired = waveList_->item(row)->text().toStdString();
    const bool informational = !error.empty() && error[0] == '.';
    if (!error.empty() && state_.Messages && !cancelRepair_)
        state_.Messages->ShowMessage(informational ? error.substr(1) : error, "",
                                     informational ? MessageKind::Information : MessageKind::Error);
    if ((error.empty() || informational) && FilesChanged) FilesChanged();
    if (cancelRepair_) {
        UpdateControls();
        return;
    }
    FormShow();
    // The repaired sound stays selected under its new name.
    const QString wanted = Q(ChangeFileExt(repaired, ".wav"));
    for (int i = 0; i < waveList_->count(); ++i)
        if (waveList_->item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0) waveList_->setCurrentRow(i);
    UpdateControls();
}

void TAudioForm::bSaveToTagClick() {
    const std::string name = eSaveToTag_->text().toStdString();
    if (!IsPlainTagName(name) || lastDuration_ < 0 || !SaveTag) return;
    const std::string error = SaveTag("config.txt\\extensions\\" + name, DurationTagValue(lastDuration_));
    if (!error.empty() && state_.Messages) state_.Messages->ShowMessage(error, "", MessageKind::Error);
}

void TAudioForm::UpdateControls() {
    const bool playing = player_.Playing();
    const bool idle = !playing && !repairing_;
    waveList_->setEnabled(idle);
    bPlay_->setEnabled(idle && waveList_->currentRow() >= 0);
    bRepair_->setEnabled(idle && waveList_->currentRow() >= 0);
    bStop_->setEnabled(playing);
    if (playing) progressTimer_->start();
    else progressTimer_->stop();
    UpdateSaveButton();
}

void TAudioForm::UpdateSaveButton() {
    bSaveToTag_->setEnabled(!repairing_ && lastDuration_ >= 0 && IsPlainTagName(eSaveToTag_->text().toStdString()));
}

void TAudioForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TAudioForm::closeEvent(QCloseEvent* event) {
    cancelRepair_ = repairing_;
    player_.Stop();
    QDialog::closeEvent(event);
}

void TAudioForm::reject() {
    cancelRepair_ = repairing_;
    player_.Stop();
    QDialog::reject();
}

void ConnectAudio(TMain& main, TAudioPlayer& player, TAudioForm& form) {
    auto* endTimer = new QTimer(&main);
    endTimer->setObjectName("AudioTimer");
    endTimer->setSingleShot(true);
    QObject::connect(endTimer, &QTimer::timeout, &main, [&player] { player.EndTimerFired(); });
    player.SetEndTimer = [endTimer](int ms) {
        if (ms > 0) endTimer->start(ms);
        else endTimer->stop();
    };
    player.ShowEditor = [&form] { form.exec(); };
    player.StateChanged = [&form] { form.UpdateControls(); };
    player.PlaybackOver = [&form] { form.PlaybackOver(); };
}

}  // namespace kelvarn
