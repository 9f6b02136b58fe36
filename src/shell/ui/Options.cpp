#include "shell/ui/Options.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/FolderCommand.h"
#include "shell/Colours.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "shell/ToolFields.h"
#include "shell/TrainzBuild.h"
#include "shell/WarningsBitmap.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/OptionsTables.h"
#include "shell/ui/Viewer.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string S(const QString& text) { return text.toStdString(); }

QString QColourOf(TColor colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF))
        .name();
}

}  // namespace

TOptions::TOptions(TProgramState& state, TColourBox* colourBox, QWidget* parent)
    : QDialog(parent), state_(state), colourBox_(colourBox), snapshot_(state.Settings()) {
    setObjectName("Options");
    setWindowTitle(" Kelvarn - Options");
    setModal(true);
    ChooseFolder = [this](const std::string& caption, const std::string& start) {
        return S(QFileDialog::getExistingDirectory(this, Q(caption), Q(start)));
    };
    ChooseFile = [this](const std::string& caption, const std::string& start, const std::string& filter) {
        return S(QFileDialog::getOpenFileName(this, Q(caption), Q(start), Q(filter)));
    };
    AskText = [this](const std::string& caption, const std::string& prompt, const std::string& value) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, Q(caption), Q(prompt), QLineEdit::Normal, Q(value), &ok);
        return ok ? S(text) : std::string();
    };
    ChooseFont = [this](QFont& font) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, this);
        if (ok) font = chosen;
        return ok;
    };

    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget;
    pages_->setObjectName("PageControl");
    pages_->addTab(BuildAboutPage(), "About");
    pages_->addTab(BuildPreferencesPage(), "&Preferences");
    pages_->addTab(BuildPathsPage(), "Paths && &Files");
    pages_->addTab(BuildUserDataPage(), "&User Data");
    pages_->addTab(BuildToolsPage(), "Define &Tools");
    layout->addWidget(pages_);

    auto* buttons = new QHBoxLayout;
    auto* legend = new QPushButton("Lege&nd");
    legend->setObjectName("bLegend");
    auto* ok = new QPushButton("OK");
    ok->setObjectName("bOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("bCancel");
    auto* apply = new QPushButton("Appl&y");
    apply->setObjectName("bApply");
    buttons->addWidget(legend);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);
    layout->addLayout(buttons);
    connect(legend, &QPushButton::clicked, this, [this] { LegendClick(); });
    connect(ok, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(cancel, &QPushButton::clicked, this, [this] { CancelClick(); });
    connect(apply, &QPushButton::clicked, this, [this] { ApplyClick(); });
    // The legend sits on the tools page only.
    connect(pages_, &QTabWidget::currentChanged, legend, [this, legend](int page) { legend->setVisible(page == ToolsTab); });
    legend->setVisible(false);

    resize(720, 560);  // the controls are filled as the dialog shows (FormShow), not at start-up
}

TOptions::~TOptions() {
    if (snapshot_.Taken()) snapshot_.Discard();
}

// ---- loading -----------------------------------------------------------------------------------

void TOptions::LoadControls() {
    loading_ = true;
    TMemIni& ini = state_.Settings();
    for (QCheckBox* box : checks_)
        box->setChecked(ini.ReadBool(S(box->property("section").toString()), S(box->property("key").toString()),
                                     box->property("default").toBool()));
    keepBackups_->setValue(static_cast<int>(ReadSettingInt(ini, keys::KeepBackups)));
    nextCloneId_->setValue(static_cast<int>(ReadSettingInt(ini, keys::NextCloneID)));
    language_->clear();
    language_->addItem("-");
    for (const std::string& code : SplitString(ReadSetting(ini, keys::Languages), ","))
        if (!Trim(code).empty()) language_->addItem(Q(Trim(code)));
    const std::string language = ReadSetting(ini, keys::Language);
    language_->setCurrentIndex(language.empty() ? 0 : std::max(0, language_->findText(Q(language))));
    const long long shadow = ReadSettingInt(ini, keys::Shadows);
    if (shadow >= 0 && shadow < 3) shadows_[static_cast<std::size_t>(shadow)]->setChecked(true);

    // By key, not by splitting "name=value" lines: a range's name may hold "=" itself.
    std::vector<std::string> rangeNames;
    ini.ReadSection(sections::KuidRange, rangeNames);
    std::vector<std::pair<std::string, std::string>> ranges;
    for (const std::string& name : rangeNames) ranges.emplace_back(name, ini.ReadString(sections::KuidRange, name, ""));
    if (ranges.empty()) ranges.emplace_back("Default", "100000");
    kuidRange_->setRowCount(static_cast<int>(ranges.size()) + 1);
    for (int row = 0; row < kuidRange_->rowCount(); ++row) {
        const bool filled = row < static_cast<int>(ranges.size());
        kuidRange_->setItem(row, 0, new QTableWidgetItem(Q(filled ? ranges[static_cast<std::size_t>(row)].first : "")));
        kuidRange_->setItem(row, 1, new QTableWidgetItem(Q(filled ? ranges[static_cast<std::size_t>(row)].second : "")));
    }
    ShowColourSamples();
    proportional_->setText(Q(ReadSetting(ini, keys::FontProportional)));
    fixed_->setText(Q(ReadSetting(ini, keys::FontFixed)));
    UpdateFolderShellCaption();
    UpdateOpenWithCaptions();
    for (std::size_t i = 0; i < warnings_.size(); ++i) {
        const std::string folder = ExpandMacros(state_, kOpenWithBuilds[i].macro);
        warnings_[i]->setChecked(!folder.empty() &&
                                 !ResolvePathIgnoreCase(JoinPath(ExcludeTrailingSeparator(folder),
                                                                 "bin\\CMPData\\status\\irritant.bmp"))
                                      .empty());
        warnings_[i]->setVisible(!folder.empty());
    }

    // Paths.
    eTrainz_->setText(Q(ReadSetting(ini, keys::Trainz)));
    eStrellRoot_->setText(Q(ReadSetting(ini, keys::Strellworks)));
    buildBox_->clear();
    std::vector<std::string> builds;
    ini.ReadSectionValues(sections::Builds, builds);
    // The build the checks use: a stored text that is no build shows as the default that stands in.
    const std::string current = ChosenBuildText(ini);
    int shown = -1;
    for (const std::string& line : builds) {
        const std::size_t eq = line.find('=');
        const std::string number = line.substr(0, eq);
        if (!ReadsAsBuild(number)) continue;
        buildBox_->addItem(Q(number + (eq == std::string::npos ? "" : " " + line.substr(eq + 1))));
        if (number == current) shown = buildBox_->count() - 1;
    }
    buildBox_->setCurrentIndex(shown);
    if (shown < 0 && !current.empty()) {
        // A build the list does not hold shows as it is stored, and stays stored until another is picked.
        buildBox_->insertItem(0, Q(current), Q(current));
        buildBox_->setCurrentIndex(0);
    }
    useCurrent_->setChecked(ReadSettingBool(ini, keys::AssetBuild));
    std::vector<THomeRow> homes = ReadHomeRows(ini);
    if (homes.empty()) homes.push_back({});
    homeGrid_->setRowCount(static_cast<int>(homes.size()));
    for (int row = 0; row < homeGrid_->rowCount(); ++row) {
        const THomeRow& home = homes[static_cast<std::size_t>(row)];
        homeGrid_->setItem(row, 0, new QTableWidgetItem);
        homeGrid_->setItem(row, 1, new QTableWidgetItem(Q(home.state)));
        homeGrid_->setItem(row, 2, new QTableWidgetItem(Q(home.folder)));
    }
    RelabelHomes();
    homesChanged_ = false;
    scriptEditor_->setText(Q(ReadSetting(ini, keys::Editor)));

    // User data.
    for (std::size_t i = 0; i < kUserFields.size(); ++i) userEdits_[i]->setText(Q(ReadSetting(ini, kUserFields[i].second)));
    std::vector<std::string> licence;
    ReadValueList(ini, sections::License, licence);
    licence_->setPlainText(Q(JoinLines(licence, "\n")));
    userId_->setText(Q(ReadSetting(ini, keys::UserID)));
    loading_ = false;
}

void TOptions::ShowColourSamples() {
    for (std::size_t i = 0; i < colourSamples_.size(); ++i) {
        const TColor fore = SchemeColour(&state_.Settings(), static_cast<int>(i), true);
        const TColor back = SchemeColour(&state_.Settings(), static_cast<int>(i), false);
        colourSamples_[i]->setStyleSheet("QLabel { color: " + QColourOf(fore) + "; background: " + QColourOf(back) +
                                         "; border: 1px solid gray; padding: 3px; }");
    }
}

void TOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!snapshot_.Taken()) FormShow();
}

void TOptions::FormShow() {
    snapshot_.Take();
    toolsChanged_ = false;
    LoadControls();
    menuList_->clear();
    for (const std::string& item : FillMenuList(state_.Settings())) menuList_->addItem(Q(item));
    menuSection_.clear();
    // The Tools menu first: it is the one most users define.
    const int tools = std::max(0, menuList_->findText(Q(sections::ToolsMenu)));
    menuList_->setCurrentIndex(tools);
    if (menuList_->count() > 0) SelectMenu(S(menuList_->itemText(tools)));
    shadows_[2]->setEnabled(ShadowToolAccepted(state_));
}

int TOptions::ShowPage(TPage page) {
    pages_->setCurrentIndex(page);
    return exec();
}

// ---- single settings ---------------------------------------------------------------------------

void TOptions::Flush() {
    if (const std::string error = state_.Settings().UpdateFile(); !error.empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
}

void TOptions::WriteAndFlush(std::string_view section, std::string_view key, const std::string& value) {
    state_.Settings().WriteString(section, key, value);
    Flush();
}

void TOptions::ShadowsClick(int index) {
    if (index == 2 && !ShadowToolAccepted(state_)) {
        state_.Messages->ShowMessage(kShadowToolMessage, "", MessageKind::Warning);
        shadows_[2]->setEnabled(false);
        shadows_[0]->setChecked(true);
    } else {
        state_.Settings().WriteInteger(keys::Shadows.section, keys::Shadows.key, index);
    }
    Flush();
}

void TOptions::SetBuild() {
    TMemIni& ini = state_.Settings();
    if (buildBox_->currentIndex() >= 0) {
        // The stored build the list does not hold is its item's data: chosen again, it is stored again
        // as it stands.
        const std::string item = S(buildBox_->currentText());
        const std::string number =
            buildBox_->currentData().isValid() ? S(buildBox_->currentData().toString()) : item.substr(0, item.find(' '));
        WriteSetting(ini, keys::Build, number);
        state_.Paths.Build = number;
        state_.SetDefaultBuild(ParseBuild(number));
    }
    WriteSettingBool(ini, keys::AssetBuild, useCurrent_->isChecked());
    Flush();
    if (RefreshTrainzBuild) RefreshTrainzBuild("Init");
}

void TOptions::ApplyClick() { SetBuild(); }

void TOptions::SelectPath(bool trainz) {
    QLineEdit* edit = trainz ? eTrainz_ : eStrellRoot_;
    const std::string folder = ChooseFolder ? ChooseFolder("Root Path", S(edit->text())) : std::string();
    if (folder.empty()) return;
    WriteSetting(state_.Settings(), trainz ? keys::Trainz : keys::Strellworks, folder);
    (trainz ? state_.Paths.Trainz : state_.Paths.Strellworks) = folder;
    edit->setText(Q(folder));
    Flush();
}

void TOptions::SetColour(int kind) {
    if (!colourBox_ || kind < 0 || kind >= kSchemeKindCount) return;
    const TColourSample& sample = kColourSamples[static_cast<std::size_t>(kind)];
    colourBox_->PrepareColourPair(sample.caption, sample.caption, 255,
                                  SchemeColour(&state_.Settings(), kind, false), SchemeColour(&state_.Settings(), kind, true));
    colourBox_->exec();
    if (!colourBox_->Accepted()) return;
    WriteAndFlush("Colours", sample.key, colourBox_->GetColourString("HTMLPair"));
    ShowColourSamples();
}

void TOptions::SetFont(bool fixed) {
    const SettingKey& key = fixed ? keys::FontFixed : keys::FontProportional;
    const std::vector<std::string> parts = SplitString(ReadSetting(state_.Settings(), key), ",");
    QFont font(Q(parts.empty() ? "" : Trim(parts[0])));
    long long size = 10;
    if (parts.size() > 1 && TryParseInt(Trim(parts[1]), size) && size > 0) font.setPointSize(static_cast<int>(size));
    if (!ChooseFont || !ChooseFont(font)) return;
    const std::string value = S(font.family()) + "," + std::to_string(font.pointSize());
    WriteAndFlush(key.section, key.key, value);
    (fixed ? fixed_ : proportional_)->setText(Q(value));
}

bool TOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t i = 0; i < colourSamples_.size(); ++i)
            if (watched == colourSamples_[i]) {
                SetColour(static_cast<int>(i));
                return true;
            }
        if (watched == proportional_ || watched == fixed_) {
            SetFont(watched == fixed_);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- desktop -----------------------------------------------------------------------------------

void TOptions::UpdateFolderShellCaption() {
    folderShell_->setText(FolderShellInstalled(state_.Environment) ? "Remove &Windows Folder Shell"
                                                                             : "Install &Windows Folder Shell");
}

void TOptions::ToggleFolderShell() {
    const std::string error = FolderShellInstalled(state_.Environment)
                                  ? RemoveFolderShell(state_.Environment)
                                  : InstallFolderShell(state_.ProgramFile, state_.Environment);
    if (!error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
    UpdateFolderShellCaption();
}

void TOptions::UpdateOpenWithCaptions() {
    for (std::size_t i = 0; i < openWith_.size(); ++i) {
        const std::string folder = ExpandMacros(state_, kOpenWithBuilds[i].macro);
        const bool installed = OpenWithInstalled(folder);
        openWith_[i]->setText(Q(std::string(installed ? "Remove" : "Install") + " Open-With for " +
                                kOpenWithBuilds[i].caption));
        openWith_[i]->setVisible(!Trim(folder).empty());
    }
}

void TOptions::ToggleOpenWith(int build) {
    const TOpenWithBuild& b = kOpenWithBuilds[static_cast<std::size_t>(build)];
    std::string folder = ExpandMacros(state_, b.macro);
    if (Trim(folder).empty()) {
        folder = ChooseFolder ? ChooseFolder(std::string("Select Root Folder for ") + b.name, {}) : std::string();
        if (folder.empty()) return;
        WriteSetting(state_.Settings(), b.key, folder);
        Flush();
        ReadPathSettings(state_);
    }
    const std::string launcher = ExpandMacros(state_, "%bin%\\Launch.Exe");
    if (const std::string error = ToggleOpenWithTool(folder, launcher, state_.ProgramFile); !error.empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
    UpdateOpenWithCaptions();
}

// ---- home grid ---------------------------------------------------------------------------------

void TOptions::RelabelHomes() {
    const bool was = loading_;
    loading_ = true;
    for (int row = 0; row < homeGrid_->rowCount(); ++row) {
        if (!homeGrid_->item(row, 0)) homeGrid_->setItem(row, 0, new QTableWidgetItem);
        homeGrid_->item(row, 0)->setText(row < kMaxHomes ? "H" + QString::number(row + 1) : QString());
        homeGrid_->item(row, 0)->setFlags(Qt::ItemIsEnabled);
    }
    const int rows = std::clamp(homeGrid_->rowCount(), 1, 6);
    homeGrid_->setFixedHeight(rows * homeGrid_->verticalHeader()->defaultSectionSize() + 2 * homeGrid_->frameWidth());
    loading_ = was;
    UpdateHomeButtons();
}

void TOptions::UpdateHomeButtons() {
    int filled = 0;
    for (int row = 0; row < homeGrid_->rowCount(); ++row)
        if (homeGrid_->item(row, 2) && !Trim(S(homeGrid_->item(row, 2)->text())).empty()) ++filled;
    // Only five homes are kept: a sixth would be dropped without a word.
    addHome_->setEnabled(filled < kMaxHomes);
}

void TOptions::AddHome() {
    const std::string folder = ChooseFolder ? ChooseFolder("Folder Location", {}) : std::string();
    if (folder.empty()) return;
    int row = 0;
    const bool firstEmpty = homeGrid_->rowCount() == 1 &&
                            (!homeGrid_->item(0, 2) || Trim(S(homeGrid_->item(0, 2)->text())).empty());
    if (!firstEmpty) {
        row = homeGrid_->rowCount();
        homeGrid_->insertRow(row);
    }
    loading_ = true;
    homeGrid_->setItem(row, 1, new QTableWidgetItem("0"));
    homeGrid_->setItem(row, 2, new QTableWidgetItem(Q(folder)));
    loading_ = false;
    homesChanged_ = true;
    RelabelHomes();
}

void TOptions::DeleteHomes() {
    std::vector<int> rows;
    for (const QModelIndex& index : homeGrid_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) homeGrid_->removeRow(row);
    if (homeGrid_->rowCount() == 0) homeGrid_->setRowCount(1);
    if (!rows.empty()) homesChanged_ = true;
    RelabelHomes();
}

// ---- user data ---------------------------------------------------------------------------------

void TOptions::UserDataChange() {
    if (loading_) return;
    TMemIni& ini = state_.Settings();
    for (std::size_t i = 0; i < kUserFields.size(); ++i)
        WriteSetting(ini, kUserFields[i].second, Trim(S(userEdits_[i]->text())));
    WriteSetting(ini, keys::UserID, Trim(S(userId_->text())));
    std::vector<std::string> lines = SplitLines(S(licence_->toPlainText()));
    WriteNumberedList(ini, sections::License, lines);
    Flush();
    state_.UserKuidId = ReadUserKuidId(state_);
}

void TOptions::FillUserData(const std::vector<std::pair<std::string, std::string>>& tags) {
    loading_ = true;
    for (const auto& [name, value] : tags) {
        bool known = false;
        for (std::size_t i = 0; i < kUserFields.size(); ++i)
            if (SameText(name, kUserFields[i].second.key)) {
                userEdits_[i]->setText(Q(value));
                known = true;
            }
        if (SameText(name, "license")) {
            licence_->setPlainText(Q(value));
            known = true;
        }
        if (!known) state_.Messages->ShowMessage("Cockup in Options.LoadUserTagsFromConfig", "", MessageKind::Error);
    }
    loading_ = false;
    UserDataChange();
}

// ---- OK, Cancel, Legend ------------------------------------------------------------------------

void TOptions::OKClick() {
    TMemIni& ini = state_.Settings();
    std::vector<std::string> items;
    for (int i = 0; i < menuList_->count(); ++i) items.push_back(S(menuList_->itemText(i)));
    WriteNumberedList(ini, sections::Extensions, MenuListMasks(items));
    if (homesChanged_) {
        std::vector<THomeRow> rows;
        for (int row = 0; row < homeGrid_->rowCount(); ++row) {
            auto text = [&](int column) {
                QTableWidgetItem* item = homeGrid_->item(row, column);
                return item ? Trim(S(item->text())) : std::string();
            };
            rows.push_back({text(1) == "1" ? "1" : "0", text(2)});
        }
        SaveHomeGrid(state_, rows);
        homesChanged_ = false;
    }
    std::vector<std::pair<std::string, std::string>> ranges;
    for (int row = 0; row < kuidRange_->rowCount(); ++row) {
        auto text = [&](int column) {
            QTableWidgetItem* item = kuidRange_->item(row, column);
            return item ? S(item->text()) : std::string();
        };
        ranges.emplace_back(text(0), text(1));
    }
    WriteKuidRanges(ini, ranges);
    SaveMenuIfChanged();
    Flush();
    snapshot_.Discard();
    if (RebuildUserMenus) RebuildUserMenus();
    // The caption shows the build's name anew, and the asset still loaded.
    state_.SendStatusText(stCaption, state_.AssetPath());
    accept();
}

void TOptions::CancelClick() {
    const std::string build = state_.Paths.Build;
    const std::string assetBuild = ReadSetting(state_.Settings(), keys::AssetBuild);
    const bool changed = snapshot_.Restore();
    toolsChanged_ = false;
    homesChanged_ = false;
    if (changed) {
        ApplyOptionSettings(state_);
        LoadControls();
        if ((state_.Paths.Build != build || ReadSetting(state_.Settings(), keys::AssetBuild) != assetBuild) &&
            RefreshTrainzBuild)
            RefreshTrainzBuild("Init");
    }
    QDialog::reject();
}

void TOptions::reject() { CancelClick(); }

void TOptions::done(int result) {
    QDialog::done(result);
    if (FormClosed) FormClosed();
}

void TOptions::LegendClick() {
    if (ShowFileInViewer) ShowFileInViewer("Tool Editor Macros", ExpandMacros(state_, "%bin%\\macros.txt"), "Close");
}

QCheckBox* TOptions::CheckBox(const QString& name) const { return findChild<QCheckBox*>(name); }

void ConnectOptions(TMain& main, TOptions& options, TViewer* viewer) {
    TDispatcher& d = main.Dispatcher();
    const std::pair<int, TOptions::TPage> rows[] = {{1401, TOptions::OptionsTab},
                                                    {1402, TOptions::UserDataTab},
                                                    {1403, TOptions::ToolsTab},
                                                    {1404, TOptions::PathTab},
                                                    {1503, TOptions::AboutTab}};
    for (const auto& [number, page] : rows)
        d.RegisterCommand(number, [&options, page = page](const std::string&) { options.ShowPage(page); });
    TProgramState& state = options.State();
    main.CheckSetup = [&state] {
        // The message promises not to come back: it is shown once, and the Options menu stays open.
        if (SetupComplete(state) || ReadSettingBool(state.Settings(), keys::SetupShown)) return true;
        state.Messages->ShowMessage(kSetupMessage, "", MessageKind::Warning);
        WriteSettingBool(state.Settings(), keys::SetupShown, true);
        if (std::string error = state.Settings().UpdateFile(); !error.empty())
            state.Messages->ShowMessage(error, "", MessageKind::Error);
        return false;
    };
    main.ShowSetupDialog = [&options] { options.ShowPage(TOptions::PathTab); };
    options.RefreshTrainzBuild = [&main](const std::string& reason) {
        if (main.RefreshTrainzBuild) main.RefreshTrainzBuild(reason);
    };
    options.FormClosed = [&main] { main.ApplyFormFont(); };
    if (viewer)
        options.ShowFileInViewer = [viewer](const std::string& caption, const std::string& file, const std::string& button) {
            if (button == "Save") viewer->ShowFile(caption, "Save", file, {}, "Cancel");
            else viewer->ShowFile(caption, button, file);
        };
}

}  // namespace kelvarn
