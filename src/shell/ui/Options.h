// TOptions: the settings dialog " Kelvarn - Options". Check boxes, spin edits and the other single
// settings write their key and flush at once; OK writes the home grid, the KUID ranges, the menu list's
// masks and the tool editor; Cancel puts the settings back as they were when the dialog showed.
// Dialogs it asks through (folders, files, texts, fonts) are hooks that tests replace.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/OptionSettings.h"
#include "shell/SettingsKeys.h"
#include "shell/ToolLine.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace kelvarn {

class TColourBox;
class TMain;
class TProgramState;
class TViewer;
class TXEdit;

inline constexpr const char* kMenuItemMimeType = "application/x-kelvarn-menu-item";

class TOptions : public QDialog {
public:
    enum TPage { AboutTab = 0, OptionsTab, PathTab, UserDataTab, ToolsTab };

    TOptions(TProgramState& state, TColourBox* colourBox, QWidget* parent = nullptr);
    ~TOptions() override;

    TProgramState& State() { return state_; }
    // Opens modally on a page; OK flushes, the about page changes nothing.
    int ShowPage(TPage page);

    // Hooks: the main window's trainz-build refresh and user-menu rebuild; the report viewer for the
    // legend and command scripts; the current asset's user data tags (name -> value).
    std::function<void(const std::string& reason)> RefreshTrainzBuild;
    std::function<void()> RebuildUserMenus;
    std::function<void(const std::string& caption, const std::string& file, const std::string& button)> ShowFileInViewer;
    std::function<std::vector<std::pair<std::string, std::string>>()> AssetUserTags;
    // Dialogs: an empty answer is a cancel.
    std::function<std::string(const std::string& caption, const std::string& start)> ChooseFolder;
    std::function<std::string(const std::string& caption, const std::string& start, const std::string& filter)> ChooseFile;
    std::function<std::string(const std::string& caption, const std::string& prompt, const std::string& value)> AskText;
    std::function<bool(QFont& font)> ChooseFont;
    // FormClose: the main window's font goes to the frames and forms again, the tag editor closes.
    std::function<void()> FormClosed;

    // The life cycle and the buttons (Qt's events call these; tests may call them directly).
    void FormShow();
    void OKClick();
    void CancelClick();
    void ApplyClick();
    void LegendClick();
    void LoadControls();

    // Controls, by their names.
    QTabWidget* Pages() const { return pages_; }
    QCheckBox* CheckBox(const QString& name) const;
    QRadioButton* Shadow(int index) const { return shadows_[static_cast<std::size_t>(index)]; }
    void ShadowsClick(int index);
    QComboBox* MenuList() const { return menuList_; }
    QTableWidget* MenuGrid() const { return menuGrid_; }
    QTableWidget* ParamGrid() const { return paramGrid_; }
    QTableWidget* HomeGrid() const { return homeGrid_; }
    QTableWidget* KuidRange() const { return kuidRange_; }
    QPushButton* AddHomeButton() const { return addHome_; }
    QPushButton* FolderShellButton() const { return folderShell_; }
    QPushButton* OpenWithButton(int build) const { return openWith_[static_cast<std::size_t>(build)]; }
    QComboBox* BuildBox() const { return buildBox_; }
    QLineEdit* CaptionEdit() const { return eCaption_; }

    // The tool editor.
    void SelectMenu(const std::string& section);
    void SelectMenuRow(int row);
    TToolEntry EditorEntry() const;
    void LoadToolEntry(const TToolEntry& entry);
    void ClearToolGrid();
    void MenuPopup(const QString& item);
    void ParamPopup(const QString& item);
    void AddHome();
    void DeleteHomes();
    void ToggleFolderShell();
    void ToggleOpenWith(int build);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
    void done(int result) override;

private:
    QWidget* BuildAboutPage();
    QWidget* BuildPreferencesPage();
    QWidget* BuildPathsPage();
    QWidget* BuildUserDataPage();
    QWidget* BuildToolsPage();
    QCheckBox* AddCheck(QWidget* parent, const QString& name, const QString& caption, const SettingKey& setting);
    void WriteAndFlush(std::string_view section, std::string_view key, const std::string& value);
    void Flush();
    void SetBuild();
    void SelectPath(bool trainz);
    void SetColour(int kind);
    void SetFont(bool fixed);
    void UserDataChange();
    void FillUserData(const std::vector<std::pair<std::string, std::string>>& tags);
    void StoreToolEntry();
    void SaveMenuIfChanged();
    void UpdateFolderShellCaption();
    void UpdateOpenWithCaptions();
    void UpdateHomeButtons();
    void RelabelHomes();
    void ShowColourSamples();
    std::vector<std::string> MenuGridRows() const;
    std::string CurrentCommandFile() const;

    TProgramState& state_;
    TColourBox* colourBox_;
    TSettingsSnapshot snapshot_;
    bool loading_ = false;
    bool toolsChanged_ = false;
    bool homesChanged_ = false;
    std::string menuSection_;
    int menuRow_ = -1;

    QTabWidget* pages_ = nullptr;
    std::vector<QCheckBox*> checks_;
    std::array<QRadioButton*, 3> shadows_{};
    QSpinBox* keepBackups_ = nullptr;
    QSpinBox* nextCloneId_ = nullptr;
    QComboBox* language_ = nullptr;
    QTableWidget* kuidRange_ = nullptr;
    std::array<QLabel*, 8> colourSamples_{};
    QLabel* proportional_ = nullptr;
    QLabel* fixed_ = nullptr;
    QPushButton* folderShell_ = nullptr;
    std::array<QPushButton*, 3> openWith_{};
    std::array<QCheckBox*, 3> warnings_{};

    QLineEdit* eTrainz_ = nullptr;
    QComboBox* buildBox_ = nullptr;
    QCheckBox* useCurrent_ = nullptr;
    QLineEdit* eStrellRoot_ = nullptr;
    QTableWidget* homeGrid_ = nullptr;
    QPushButton* addHome_ = nullptr;
    QPushButton* deleteHome_ = nullptr;
    QCheckBox* extEditor_ = nullptr;
    QLineEdit* scriptEditor_ = nullptr;

    std::array<TXEdit*, 5> userEdits_{};
    QPlainTextEdit* licence_ = nullptr;
    QLineEdit* userId_ = nullptr;

    QComboBox* menuList_ = nullptr;
    QTableWidget* menuGrid_ = nullptr;
    QLineEdit* eCaption_ = nullptr;
    QLineEdit* eStartIn_ = nullptr;
    QTableWidget* paramGrid_ = nullptr;
    std::array<QButtonGroup*, 4> toolGroups_{};  // window, output, before, after
    std::vector<QWidget*> toolEditors_;
};

// Registers the Options rows (1401-1404 open their page, 1503 the about page), the setup check and its
// dialog at activation, and the dialog's hooks into the main window and the report viewer.
void ConnectOptions(TMain& main, TOptions& options, TViewer* viewer);

}  // namespace kelvarn
