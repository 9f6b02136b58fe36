// The settings dialog's pages: their controls, and what each control writes when it changes.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ToolFields.h"
#include "shell/WarningsBitmap.h"
#include "shell/ui/Options.h"
#include "shell/ui/OptionsTables.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string S(const QString& text) { return text.toStdString(); }

const std::array<const char*, 5> kUserCaptions = {"Author:", "Contact Email:", "Contact Website:", "Organisation:",
                                                  "Info URL:"};

const char* const kMacros[] = {"%pfe%",  "%pf%",    "%p%",     "%fe%",    "%f%",   "%e%",     "%app%",
                               "%assoc%", "%backup%", "%bin%",  "%log%",   "%strell%", "%AssetID%", "%UserID%",
                               "%build%", "%kuid%",  "%kuidf%", "%tetdata%", "%trainz%", "%trs%", "%2004%",
                               "%2006%",  "%TC%",    "%2009%",  "%2010%",  "%2012%"};

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
    // A folder shown read-only with its "..." chooser beside it, on the grid's next row.
    const auto pathRow = [&](QLabel* label, const char* editName, const char* chooserName, bool trainz) {
        auto* edit = new QLineEdit;
        edit->setObjectName(editName);
        edit->setReadOnly(true);
        auto* chooser = new QPushButton("...");
        chooser->setObjectName(chooserName);
        connect(chooser, &QPushButton::clicked, this, [this, trainz] { SelectPath(trainz); });
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        grid->addWidget(chooser, row++, 3);
        return std::pair{edit, chooser};
    };
    eTrainz_ = pathRow(new QLabel("TRS Installation:"), "eTrainz", "sbTrainz", true).first;

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

    auto* strellLabel = new QLabel("&Strellworks Tools:");
    const auto strell = pathRow(strellLabel, "eStrellRoot", "sbStrellworks", false);
    eStrellRoot_ = strell.first;
    strellLabel->setBuddy(strell.second);

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

}  // namespace kelvarn
