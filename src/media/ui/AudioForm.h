// The audio editor: lists the shown asset's sounds with their format, plays them (one after another
// with Autoplay), saves the last duration into a config tag and repairs a sound into a plain WAVE
// file. What it needs of the catalogue (the asset, the file list, the config) comes through hooks
// that src/app/ sets.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kelvarn {

class TAudioPlayer;
class TMain;
class TProgramState;

class TAudioForm final : public QDialog {
public:
    TAudioForm(TProgramState& state, TAudioPlayer& player, QWidget* parent = nullptr);

    // The asset folder whose sounds are listed.
    std::function<std::string()> AssetFolder;
    // The file list's current file, relative to the asset folder; empty when none.
    std::function<std::string()> CurrentFile;
    // Sets a config tag with an undo point first; returns an error text, empty on success.
    std::function<std::string(const std::string& path, const std::string& value)> SaveTag;
    // A repair changed the asset's files.
    std::function<void()> FilesChanged;

    // FormShow: lists the sounds and shows the selected one.
    void FormShow();
    void ShowAudioInfo(int row);
    void bPlayClick();
    void bStopClick();
    void bRepairClick();
    void bSaveToTagClick();
    void PlaybackOver();
    bool Repairing() const { return repairing_; }
    // Enables the buttons for the player's state.
    void UpdateControls();

    QListWidget* WaveList() const { return waveList_; }
    QPlainTextEdit* WaveData() const { return waveData_; }
    QCheckBox* AutoPlay() const { return autoPlay_; }
    QLineEdit* SaveToTagEdit() const { return eSaveToTag_; }
    QPushButton* SaveToTagButton() const { return bSaveToTag_; }
    QPushButton* PlayButton() const { return bPlay_; }
    QPushButton* StopButton() const { return bStop_; }
    QPushButton* RepairButton() const { return bRepair_; }
    QProgressBar* ProgressBar() const { return progress_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    std::string PathOf(int row) const;
    void PlayRow(int row);
    void UpdateSaveButton();

    TProgramState& state_;
    TAudioPlayer& player_;
    QListWidget* waveList_;
    QPlainTextEdit* waveData_;
    QPushButton* bPlay_;
    QPushButton* bStop_;
    QPushButton* bRepair_;
    QPushButton* bClose_;
    QCheckBox* autoPlay_;
    QProgressBar* progress_;
    QLineEdit* eSaveToTag_;
    QPushButton* bSaveToTag_;
    QTimer* progressTimer_;
    double lastDuration_ = -1;  // of the file last shown or played; negative when unknown
    bool repairing_ = false;
    bool cancelRepair_ = false;
};

// The player's end timer and editor in the main window; src/app/ sets the form's hooks.
void ConnectAudio(TMain& main, TAudioPlayer& player, TAudioForm& form);

}  // namespace kelvarn
