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
#include "shell/ui/Viewer.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string S(const QString& text) { return text.toStdString(); }

struct TOpenWithBuild {
    const char* name;     // as the folder dialog names it
    const char* caption;  // the button's build part
    const char* macro;
    SettingKey key;
    const char* warnings;
};
const std::array<TOpenWithBuild, 3> kOpenWithBuilds = {{
    {"TS2009", "TS200&9", "%2009%", keys::TS2009, "Suppress Warning Icons (TS2009)"},
    {"TS2010", "TS201&0", "%2010%", keys::TS2010, "Suppress Warning Icons (TS2010)"},
    {"TS12", "TS1&2", "%TS12%", keys::TS12, "Suppress Warning Icons (TS12)"},
}};

struct TColourSample {
    const char* name;
    const char* caption;
    const char* key;
};
const std::array<TColourSample, 8> kColourSamples = {{
    {"eNormal", "Normal", "Normal"},
    {"eTagged", "Tagged", "Tagged"},
    {"eSelected", "Selected", "Selected"},
    {"eComment", "Comment", "Comment"},
    {"eModified", "Modified", "Modified"},
    {"eAlert", "Alert", "Alert"},
    {"eAttach", "Attachment", "Point"},
    {"eSelAttach", "Selected Attachment", "SelectedPoint"},
}};

const std::array<std::pair<const char*, SettingKey>, 5> kUserFields = {{
    {"EditAuthor", keys::Author},
    {"EditEmail", keys::ContactEmail},
    {"EditWebsite", keys::ContactWebsite},
    {"EditOrganisation", keys::Organisation},
    {"EditInfoURL", keys::InfoUrl},
}};
const std::array<const char*, 5> kUserCaptions = {"Author:", "Contact Email:", "Contact Website:", "Organisation:",
                                                  "Info URL:"};

const char* const kMacros[] = {"%pfe%",  "%pf%",    "%p%",     "%fe%",    "%f%",   "%e%",     "%app%",
                               "%assoc%", "%backup%", "%bin%",  "%log%",   "%strell%", "%AssetID%", "%UserID%",
                               "%build%", "%kuid%",  "%kuidf%", "%tetdata%", "%trainz%", "%trs%", "%2004%",
                               "%2006%",  "%TC%",    "%2009%",  "%2010%",  "%2012%"};

QString QColourOf(TColor colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF))
        .name();
}

QRadioButton* AddRadio(QButtonGroup* group, QVBoxLayout* layout, const QString& caption, int id) {
    auto* radio = new QRadioButton(caption);
    group->addButton(radio, id);
    layout->addWidget(radio);
    return radio;
}

QGroupBox* RadioGroup(const QString& title, const QStringList& items, QButtonGroup*& group, QWidget* owner) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(owner);
    for (int i = 0; i < items.size(); ++i) AddRadio(group, layout, items[i], i);
    return box;
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

// ---- pages -------------------------------------------------------------------------------------

QWidget* TOptions::BuildAboutPage() {
    auto* page = new QWidget;
    page->setObjectName("AboutTab");
    auto* layout = new QVBoxLayout(page);
    auto* text = new QLabel(QStringLiteral(
        "<h2>Kelvarn</h2>"
        "<p>A workbench for Trainz asset creators: browse assets, edit their configs, check their files, "
        "view their meshes, textures and sounds, and run your own tools and scripts on them.</p>"
        "<p>Version " KELVARN_VERSION "</p>"
        "<p>Built with Qt, pugixml, zlib, libjpeg-turbo, libsndfile and ImageMagick.</p>"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(text);
    layout->addStretch();
    return page;
}

QCheckBox* TOptions::AddCheck(QWidget* parent, const QString& name, const QString& caption, const SettingKey& setting) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setProperty("section", Q(setting.section));
    box->setProperty("key", Q(setting.key));
    box->setProperty("default", setting.def == "1");
    checks_.push_back(box);
    // CheckBoxClick: the key at once, flushed.
    connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
        if (loading_) return;
        const std::string section = S(box->property("section").toString());
        const std::string key = S(box->property("key").toString());
        state_.Settings().WriteBool(section, key, on);
        if (box->objectName() == "cbFileMask" && !on) WriteSetting(state_.Settings(), keys::FileMask, "0");
        Flush();
    });
    return box;
}

QWidget* TOptions::BuildPreferencesPage() {
    auto* page = new QWidget;
    page->setObjectName("OptionsTab");
    auto* grid = new QGridLayout(page);

    auto* general = new QGroupBox;
    auto* g = new QVBoxLayout(general);
    g->addWidget(AddCheck(general, "cbSavePosition", "Save &Layout && Position", keys::Restore));
    g->addWidget(AddCheck(general, "cbAutoplay", "&Autoplay Audio Files", keys::Autoplay));
    g->addWidget(AddCheck(general, "cbFileMask", "Save File &Mask", keys::SaveMask));
    g->addWidget(AddCheck(general, "cbWikiLinks", "&Enable links to WIKI", keys::Wiki));
    g->addWidget(AddCheck(general, "cbCMPSort", "Sort Assets to Match CMP", keys::CMPSort));
    g->addWidget(AddCheck(general, "cbDailyLog", "&Continuous Daily Log", keys::DailyLog));
    g->addWidget(AddCheck(general, "cbDisplayLog", "Display L&og", keys::DisplayLog));
    g->addWidget(AddCheck(general, "cbPreview", "&Batch Mode Preview", keys::Preview));
    g->addWidget(AddCheck(general, "cbDeletePM", "Auto &Delete Duplicate *.PMs", keys::AutoDeletePM));
    g->addWidget(AddCheck(general, "cbPlaceholder", "Placeholder Pre&view Image", keys::Placeholder));
    auto* numbers = new QFormLayout;
    keepBackups_ = new QSpinBox;
    keepBackups_->setObjectName("seKeepBackups");
    keepBackups_->setRange(0, 9999);
    nextCloneId_ = new QSpinBox;
    nextCloneId_->setObjectName("NextCloneID");
    nextCloneId_->setRange(0, 999999999);
    language_ = new QComboBox;
    language_->setObjectName("cbLanguage");
    numbers->addRow("Retain Backups (da&ys)", keepBackups_);
    numbers->addRow("Ne&xt Clone ID", nextCloneId_);
    numbers->addRow("Alternative Lan&guage", language_);
    g->addLayout(numbers);
    g->addStretch();
    connect(keepBackups_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!loading_) WriteAndFlush(keys::KeepBackups.section, keys::KeepBackups.key, std::to_string(value));
    });
    connect(nextCloneId_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!loading_) WriteAndFlush(keys::NextCloneID.section, keys::NextCloneID.key, std::to_string(value));
    });
    connect(language_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!loading_) WriteAndFlush(keys::Language.section, keys::Language.key, text == "-" ? std::string() : S(text));
    });
    grid->addWidget(general, 0, 0, 2, 1);

    QButtonGroup* shadows = nullptr;
    auto* shadowBox = RadioGroup(" Automatic Shadows ", {"&No Shadows", "&Invisible Mesh", "Use Du&skCaster"}, shadows, this);
    shadowBox->setObjectName("rgShadows");
    for (int i = 0; i < 3; ++i) shadows_[static_cast<std::size_t>(i)] = static_cast<QRadioButton*>(shadows->button(i));
    connect(shadows, &QButtonGroup::idClicked, this, [this](int id) { ShadowsClick(id); });
    grid->addWidget(shadowBox, 0, 1);

    auto* ranges = new QGroupBox(" KUID Ranges ");
    auto* r = new QVBoxLayout(ranges);
    kuidRange_ = new QTableWidget(0, 2);
    kuidRange_->setObjectName("KUIDRange");
    kuidRange_->setHorizontalHeaderLabels({"Category", "Seed"});
    kuidRange_->horizontalHeader()->setStretchLastSection(true);
    kuidRange_->verticalHeader()->setVisible(false);
    r->addWidget(kuidRange_);
    grid->addWidget(ranges, 1, 1);

    auto* colours = new QGroupBox(" Colours and Fonts ");
    auto* c = new QGridLayout(colours);
    for (std::size_t i = 0; i < kColourSamples.size(); ++i) {
        auto* sample = new QLabel(kColourSamples[i].caption);
        sample->setObjectName(kColourSamples[i].name);
        sample->setAlignment(Qt::AlignCenter);
        sample->setMinimumWidth(110);
        sample->setCursor(Qt::PointingHandCursor);
        sample->installEventFilter(this);
        colourSamples_[i] = sample;
        c->addWidget(sample, static_cast<int>(i / 4), static_cast<int>(i % 4));
    }
    proportional_ = new QLabel;
    proportional_->setObjectName("Proportional");
    fixed_ = new QLabel;
    fixed_->setObjectName("Fixed");
    for (QLabel* label : {proportional_, fixed_}) {
        label->setCursor(Qt::PointingHandCursor);
        label->setFrameShape(QFrame::StyledPanel);
        label->installEventFilter(this);
    }
    c->addWidget(new QLabel("Proportional Font:"), 2, 0);
    c->addWidget(proportional_, 2, 1);
    c->addWidget(new QLabel("Fixed Font:"), 2, 2);
    c->addWidget(fixed_, 2, 3);
    grid->addWidget(colours, 2, 0, 1, 2);

    auto* desktop = new QGroupBox;
    auto* d = new QGridLayout(desktop);
    folderShell_ = new QPushButton;
    folderShell_->setObjectName("bFolderShell");
    connect(folderShell_, &QPushButton::clicked, this, [this] { ToggleFolderShell(); });
    d->addWidget(folderShell_, 0, 0);
    const char* buttonNames[] = {"bOpenWith2009", "bOpenWith2010", "bOpenWithTS12"};
    const char* warningNames[] = {"cbWarnings2009", "cbWarnings2010", "cbWarningsTS12"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton;
        button->setObjectName(buttonNames[i]);
        connect(button, &QPushButton::clicked, this, [this, i] { ToggleOpenWith(i); });
        openWith_[static_cast<std::size_t>(i)] = button;
        auto* warning = new QCheckBox(kOpenWithBuilds[static_cast<std::size_t>(i)].warnings);
        warning->setObjectName(warningNames[i]);
        connect(warning, &QCheckBox::toggled, this, [this, i](bool on) {
            if (loading_) return;
            const std::string folder = ExpandMacros(state_, kOpenWithBuilds[static_cast<std::size_t>(i)].macro);
            if (const std::string error = ReplaceWarningsBitmap(folder, on); !error.empty())
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
        });
        warnings_[static_cast<std::size_t>(i)] = warning;
        d->addWidget(button, i + 1, 0);
        d->addWidget(warning, i + 1, 1);
    }
    grid->addWidget(desktop, 3, 0, 1, 2);
    return page;
}

QWidget* TOptions::BuildPathsPage() {
    auto* page = new QWidget;
    page->setObjectName("PathTab");
    auto* grid = new QGridLayout(page);
    int row = 0;
    eTrainz_ = new QLineEdit;
    eTrainz_->setObjectName("eTrainz");
    eTrainz_->setReadOnly(true);
    auto* sbTrainz = new QPushButton("...");
    sbTrainz->setObjectName("sbTrainz");
    connect(sbTrainz, &QPushButton::clicked, this, [this] { SelectPath(true); });
    grid->addWidget(new QLabel("TRS Installation:"), row, 0);
    grid->addWidget(eTrainz_, row, 1, 1, 2);
    grid->addWidget(sbTrainz, row++, 3);

    buildBox_ = new QComboBox;
    buildBox_->setObjectName("cbBuild");
    useCurrent_ = new QCheckBox("Use Current Asset");
    useCurrent_->setObjectName("cbCurrent");
    grid->addWidget(new QLabel("Build Number"), row, 0);
    grid->addWidget(buildBox_, row, 1);
    grid->addWidget(useCurrent_, row++, 2);
    connect(buildBox_, &QComboBox::activated, this, [this](int) { SetBuild(); });
    connect(useCurrent_, &QCheckBox::toggled, this, [this](bool) {
        if (!loading_) SetBuild();
    });

    eStrellRoot_ = new QLineEdit;
    eStrellRoot_->setObjectName("eStrellRoot");
    eStrellRoot_->setReadOnly(true);
    auto* sbStrell = new QPushButton("...");
    sbStrell->setObjectName("sbStrellworks");
    connect(sbStrell, &QPushButton::clicked, this, [this] { SelectPath(false); });
    auto* strellLabel = new QLabel("&Strellworks Tools:");
    strellLabel->setBuddy(sbStrell);
    grid->addWidget(strellLabel, row, 0);
    grid->addWidget(eStrellRoot_, row, 1, 1, 2);
    grid->addWidget(sbStrell, row++, 3);

    homeGrid_ = new QTableWidget(1, 3);
    homeGrid_->setObjectName("HomeGrid");
    homeGrid_->horizontalHeader()->setVisible(false);
    homeGrid_->verticalHeader()->setVisible(false);
    homeGrid_->horizontalHeader()->setStretchLastSection(true);
    homeGrid_->setColumnWidth(0, 36);
    homeGrid_->setColumnWidth(1, 28);
    homeGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(homeGrid_, &QTableWidget::itemChanged, this, [this] {
        if (!loading_) homesChanged_ = true;
    });
    addHome_ = new QPushButton("Add &Home Folder:");
    addHome_->setObjectName("bAddHome");
    deleteHome_ = new QPushButton("Remove Selected:");
    deleteHome_->setObjectName("bDeleteHome");
    connect(addHome_, &QPushButton::clicked, this, [this] { AddHome(); });
    connect(deleteHome_, &QPushButton::clicked, this, [this] { DeleteHomes(); });
    auto* homeButtons = new QVBoxLayout;
    homeButtons->addWidget(addHome_);
    homeButtons->addWidget(deleteHome_);
    homeButtons->addStretch();
    grid->addLayout(homeButtons, row, 0);
    grid->addWidget(homeGrid_, row++, 1, 1, 3);

    grid->addWidget(AddCheck(page, "cbAutoscan", "Autoscan Folders", keys::Autoscan), row++, 1);
    extEditor_ = AddCheck(page, "cbExtEditor", "Use External Script Editor", keys::External);
    scriptEditor_ = new QLineEdit;
    scriptEditor_->setObjectName("ScriptEdit1");
    scriptEditor_->setReadOnly(true);
    auto* selectEditor = new QPushButton("...");
    selectEditor->setObjectName("SelectEditor");
    connect(selectEditor, &QPushButton::clicked, this, [this] {
        const std::string program = ChooseFile ? ChooseFile("Select Script Editor", {}, "All files (*)") : std::string();
        if (program.empty()) return;
        state_.Settings().WriteString(keys::Editor.section, keys::Editor.key, program);
        state_.Settings().WriteBool(keys::External.section, keys::External.key, true);
        Flush();
        LoadControls();
    });
    grid->addWidget(extEditor_, row++, 1);
    grid->addWidget(scriptEditor_, row, 1, 1, 2);
    grid->addWidget(selectEditor, row++, 3);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TOptions::BuildUserDataPage() {
    auto* page = new QWidget;
    page->setObjectName("UserDataTab");
    auto* form = new QFormLayout(page);
    for (std::size_t i = 0; i < kUserFields.size(); ++i) {
        auto* edit = new TXEdit;
        edit->setObjectName(kUserFields[i].first);
        userEdits_[i] = edit;
        form->addRow(kUserCaptions[i], edit);
        connect(edit, &QLineEdit::textEdited, this, [this] { UserDataChange(); });
    }
    licence_ = new QPlainTextEdit;
    licence_->setObjectName("LicenseMemo");
    form->addRow("License:", licence_);
    connect(licence_, &QPlainTextEdit::textChanged, this, [this] { UserDataChange(); });
    userId_ = new QLineEdit;
    userId_->setObjectName("eUserID");
    form->addRow("TRS User I&D", userId_);
    connect(userId_, &QLineEdit::textEdited, this, [this] { UserDataChange(); });
    form->addRow(new QLabel("Leave data field blank if you do not want it included in config.txt files"));
    auto* buttons = new QHBoxLayout;
    auto* fromAsset = new QPushButton("Read From Asset");
    fromAsset->setObjectName("bTagsFromConfig");
    auto* fromIni = new QPushButton("Read From INI File");
    fromIni->setObjectName("bUserTagsFromINI");
    buttons->addWidget(fromAsset);
    buttons->addWidget(fromIni);
    buttons->addStretch();
    form->addRow(buttons);
    connect(fromAsset, &QPushButton::clicked, this, [this] {
        if (AssetUserTags) FillUserData(AssetUserTags());
    });
    connect(fromIni, &QPushButton::clicked, this, [this] { LoadControls(); });
    return page;
}

QWidget* TOptions::BuildToolsPage() {
    auto* page = new QWidget;
    page->setObjectName("ToolsTab");
    auto* grid = new QGridLayout(page);

    menuList_ = new QComboBox;
    menuList_->setObjectName("MenuList");
    menuList_->setEditable(true);
    menuList_->setInsertPolicy(QComboBox::NoInsert);
    connect(menuList_, &QComboBox::textActivated, this, [this](const QString& text) {
        const std::string name = Trim(S(text));
        if (name.empty()) return;
        // A typed mask adds its own menu.
        if (menuList_->findText(Q(name), Qt::MatchFixedString) < 0) {
            if (!IsMaskMenu(name)) return;
            std::vector<std::string> items;
            for (int i = 0; i < menuList_->count(); ++i) items.push_back(S(menuList_->itemText(i)));
            items.push_back(name);
            std::stable_sort(items.begin(), items.end(),
                             [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
            menuList_->clear();
            for (const std::string& item : items) menuList_->addItem(Q(item));
            menuList_->setCurrentIndex(menuList_->findText(Q(name), Qt::MatchFixedString));
        }
        SelectMenu(name);
    });
    grid->addWidget(new QLabel("Menu:"), 0, 0);
    grid->addWidget(menuList_, 1, 0);

    menuGrid_ = new QTableWidget(0, 1);
    menuGrid_->setObjectName("MenuGrid");
    menuGrid_->horizontalHeader()->setVisible(false);
    menuGrid_->verticalHeader()->setVisible(false);
    menuGrid_->horizontalHeader()->setStretchLastSection(true);
    menuGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    menuGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    menuGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(menuGrid_, &QTableWidget::currentCellChanged, this, [this](int row) { SelectMenuRow(row); });
    connect(menuGrid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        for (const char* item : {"Edit Menu Title", "Clear Menu", "-", "Insert Item", "Rename Item", "Insert Divider", "-",
                                 "Cut", "Copy", "Paste", "Delete"}) {
            if (std::string_view(item) == "-") menu.addSeparator();
            else menu.addAction(item);
        }
        if (QAction* chosen = menu.exec(menuGrid_->viewport()->mapToGlobal(at))) MenuPopup(chosen->text());
    });
    grid->addWidget(menuGrid_, 2, 0, 4, 1);

    eCaption_ = new QLineEdit;
    eCaption_->setObjectName("eCaption");
    eStartIn_ = new QLineEdit;
    eStartIn_->setObjectName("eStartIn");
    auto* startFolder = new QPushButton("...");
    startFolder->setObjectName("bSelectStartFolder");
    connect(startFolder, &QPushButton::clicked, this, [this] {
        const std::string folder = ChooseFolder ? ChooseFolder("Start In", S(eStartIn_->text())) : std::string();
        if (!folder.empty()) {
            eStartIn_->setText(Q(folder));
            toolsChanged_ = true;
        }
    });
    auto* captionRow = new QGridLayout;
    captionRow->addWidget(new QLabel("Menu Caption:"), 0, 0);
    captionRow->addWidget(eCaption_, 0, 1, 1, 2);
    captionRow->addWidget(new QLabel("Start In: "), 1, 0);
    captionRow->addWidget(eStartIn_, 1, 1);
    captionRow->addWidget(startFolder, 1, 2);
    grid->addLayout(captionRow, 0, 1, 2, 1);

    paramGrid_ = new QTableWidget(9, 2);
    paramGrid_->setObjectName("ParamGrid");
    paramGrid_->setHorizontalHeaderLabels({"Switches", "File Parameters (Quoted)"});
    paramGrid_->verticalHeader()->setVisible(false);
    paramGrid_->setColumnWidth(0, 140);
    // The file column takes the rest of the grid's width.
    paramGrid_->horizontalHeader()->setStretchLastSection(true);
    paramGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(paramGrid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        for (const char* item : {"Clear Parameters", "Cut", "Copy", "Paste", "Delete", "Select All"}) menu.addAction(item);
        QMenu* macros = menu.addMenu("Macros");
        for (const char* macro : kMacros) macros->addAction(macro);
        menu.addSeparator();
        for (const char* item : {"Browse for File...", "Browse for folder...", "Edit Command Script...", "Preview Macro...",
                                 "Preview Command Line..."})
            menu.addAction(item);
        if (QAction* chosen = menu.exec(paramGrid_->viewport()->mapToGlobal(at))) ParamPopup(chosen->text());
    });
    grid->addWidget(paramGrid_, 2, 1);

    auto* groups = new QGridLayout;
    QGroupBox* window = RadioGroup("&Window Options", {"Hidden", "Normal Window", "Minimised", "Maximised"}, toolGroups_[0], this);
    window->setObjectName("rgWindow");
    QGroupBox* capture = RadioGroup("&Output Options", {"Ignore", "Show if Present", "Write to Log", "Append to Log"},
                                    toolGroups_[1], this);
    capture->setObjectName("rgCapture");
    QGroupBox* before = RadioGroup("&Before Execution ", {"No Action", "Save File", "Backup File", "Backup Asset"},
                                   toolGroups_[2], this);
    before->setObjectName("rgBefore");
    QGroupBox* after = RadioGroup("&After Execution", {"No Action", "Refresh File", "Refresh Asset", "Reload Home"},
                                  toolGroups_[3], this);
    after->setObjectName("rgAfter");
    groups->addWidget(window, 0, 0);
    groups->addWidget(capture, 0, 1);
    groups->addWidget(before, 1, 0);
    groups->addWidget(after, 1, 1);
    grid->addLayout(groups, 3, 1);
    grid->setColumnStretch(1, 1);

    toolEditors_ = {eCaption_, eStartIn_, startFolder, paramGrid_, window, capture, before, after};
    auto changed = [this] {
        if (!loading_) toolsChanged_ = true;
    };
    connect(eCaption_, &QLineEdit::textEdited, this, changed);
    connect(eStartIn_, &QLineEdit::textEdited, this, changed);
    connect(paramGrid_, &QTableWidget::itemChanged, this, changed);
    for (QButtonGroup* group : toolGroups_) connect(group, &QButtonGroup::idClicked, this, changed);
    ClearToolGrid();
    return page;
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
