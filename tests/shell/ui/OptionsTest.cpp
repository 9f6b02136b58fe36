// The settings dialog on a settings file in a temporary program folder: what each control writes and
// when it reaches the disc, what OK writes, and what Cancel puts back.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/TrainzBuild.h"
#include "shell/ui/Options.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::WriteBytes;

const std::string B(kBrokenBar);

class OptionsDialog : public ::testing::Test {
protected:
    void Open(const std::string& ini) {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.ProgramFile = dir / "kelvarn";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        WriteBytes(File(), ini);
        state.OpenSettings(File());
        options = std::make_unique<TOptions>(state, nullptr);
        options->ChooseFolder = [this](const std::string& caption, const std::string&) {
            asked.push_back(caption);
            return folders.empty() ? std::string() : Next(folders);
        };
        options->AskText = [this](const std::string& caption, const std::string&, const std::string&) {
            asked.push_back(caption);
            return texts.empty() ? std::string() : Next(texts);
        };
        options->FormShow();
    }
    static std::string Next(std::vector<std::string>& answers) {
        std::string a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::string File() const { return dir / "kelvarn.ini"; }
    void ChooseMenu(const QString& name) {
        options->MenuList()->setEditText(name);
        const int index = options->MenuList()->findText(name, Qt::MatchFixedString);
        if (index >= 0) options->MenuList()->setCurrentIndex(index);
        emit options->MenuList()->textActivated(name);
    }

    test::TempDir dir;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TProgramState state;
    std::unique_ptr<TOptions> options;
    std::vector<std::string> folders, texts, asked;
};

TEST_F(OptionsDialog, EachPageOpensWithItsControls) {
    Open("[Options]\r\nAutoplay=0\r\n");
    EXPECT_EQ(options->windowTitle(), " Kelvarn - Options");
    const char* pages[] = {"AboutTab", "OptionsTab", "PathTab", "UserDataTab", "ToolsTab"};
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(options->Pages()->widget(page)->objectName(), pages[page]);
    for (const char* name : {"cbSavePosition", "cbAutoplay", "cbFileMask", "cbWikiLinks", "cbCMPSort", "cbDailyLog",
                             "cbDisplayLog", "cbPreview", "cbDeletePM", "cbPlaceholder", "cbAutoscan", "cbExtEditor"})
        EXPECT_NE(options->CheckBox(name), nullptr) << name;
    EXPECT_FALSE(options->CheckBox("cbAutoplay")->isChecked());
    EXPECT_TRUE(options->CheckBox("cbWikiLinks")->isChecked());  // the default
    EXPECT_EQ(options->KuidRange()->item(0, 0)->text(), "Default");
    EXPECT_EQ(options->KuidRange()->item(0, 1)->text(), "100000");
}

// On an empty settings file the dialog shows what the program then does: each control against the key
// its readers use.
TEST_F(OptionsDialog, FreshSettingsShowWhatTheReadersUse) {
    Open("");
    const TMemIni& ini = state.Settings();
    const std::pair<const char*, SettingKey> boxes[] = {
        {"cbSavePosition", keys::Restore},   {"cbAutoplay", keys::Autoplay},       {"cbFileMask", keys::SaveMask},
        {"cbWikiLinks", keys::Wiki},         {"cbCMPSort", keys::CMPSort},         {"cbDailyLog", keys::DailyLog},
        {"cbDisplayLog", keys::DisplayLog},  {"cbPreview", keys::Preview},         {"cbDeletePM", keys::AutoDeletePM},
        {"cbPlaceholder", keys::Placeholder}, {"cbAutoscan", keys::Autoscan},      {"cbExtEditor", keys::External},
    };
    for (const auto& [name, key] : boxes) EXPECT_EQ(options->CheckBox(name)->isChecked(), ReadSettingBool(ini, key)) << name;
    // What a new user needs: the layout kept, sounds played, the report shown after a check.
    for (const char* name : {"cbSavePosition", "cbAutoplay", "cbFileMask", "cbDisplayLog"})
        EXPECT_TRUE(options->CheckBox(name)->isChecked()) << name;
    EXPECT_EQ(options->findChild<QSpinBox*>("NextCloneID")->value(), ReadSettingInt(ini, keys::NextCloneID));
    EXPECT_EQ(options->findChild<QSpinBox*>("seKeepBackups")->value(), ReadSettingInt(ini, keys::KeepBackups));
    EXPECT_TRUE(options->Shadow(static_cast<int>(ReadSettingInt(ini, keys::Shadows)))->isChecked());
    EXPECT_EQ(options->findChild<QLineEdit*>("eUserID")->text().toStdString(), ReadSetting(ini, keys::UserID));
    // The build shown chosen is the one the Trainz-Build menu and the checks use.
    TTrainzBuildState trainzBuild(state);
    trainzBuild.BuildMenu();
    trainzBuild.Refresh("Init", false, "");
    const std::string build = FormatBuild(state.DefaultBuild());
    EXPECT_EQ(trainzBuild.MenuCaption(), "Trainz-Build " + build);
    EXPECT_EQ(options->findChild<QComboBox*>("cbBuild")->currentText().section(' ', 0, 0).toStdString(), build);
    // The languages offered are the ones the username repair handles.
    auto* languages = options->findChild<QComboBox*>("cbLanguage");
    ASSERT_NE(languages, nullptr);
    std::string offered;
    for (int i = 1; i < languages->count(); ++i) offered += "," + languages->itemText(i).toStdString();
    EXPECT_EQ(offered, ReadSetting(ini, keys::Languages));
    EXPECT_EQ(ReadBytes(File()).find("Autoplay"), std::string::npos);  // showing writes nothing
}

TEST_F(OptionsDialog, CheckBoxesFlushAtOnceAndCancelPutsTheFileBackWithUnflushedChangesKept) {
    const std::string original = "[Options]\r\nAutoplay=1\r\nSaveMask=1\r\n[ColoursMRU]\r\n1=#123456\r\n";
    test::TempDir other;
    Open(original);
    options.reset();
    // A change the program made in memory before the dialog showed.
    state.Settings().WriteString("ColoursMRU", "2", "#654321");
    options = std::make_unique<TOptions>(state, nullptr);
    options->FormShow();
    options->CheckBox("cbAutoplay")->click();
    EXPECT_NE(ReadBytes(File()).find("Autoplay=0"), std::string::npos);
    options->CheckBox("cbFileMask")->click();  // off also resets the stored mask
    EXPECT_EQ(state.Settings().ReadString("Options", "FileMask", ""), "0");

    options->CancelClick();
    EXPECT_EQ(ReadBytes(File()), original);
    EXPECT_FALSE(std::filesystem::exists(dir / "kelvarn.$$$"));
    EXPECT_TRUE(state.Settings().ReadBool("Options", "Autoplay", false));
    EXPECT_EQ(state.Settings().ReadString("ColoursMRU", "2", ""), "#654321");
    EXPECT_TRUE(options->CheckBox("cbAutoplay")->isChecked());
}

TEST_F(OptionsDialog, OkWritesMasksKuidRangesAndHomesInOrder) {
    Open("[Extensions]\r\n1=*.im\r\n[Home]\r\n1=/a\r\n2=/b\r\n[HomeState]\r\n1=0\r\n2=0\r\n");
    folders = {"/c"};
    options->AddHome();
    options->KuidRange()->setItem(1, 0, new QTableWidgetItem("Scenery"));
    options->KuidRange()->setItem(1, 1, new QTableWidgetItem("200"));
    options->OKClick();
    EXPECT_EQ(asked, (std::vector<std::string>{"Folder Location"}));
    EXPECT_EQ(bus.sent.size(), 4u);
    EXPECT_EQ(bus.sent[0], (std::pair<int, std::string>{ccHomeFolders, "-1"}));
    EXPECT_EQ(bus.sent[1], (std::pair<int, std::string>{ccHomeFolders, "-2"}));
    EXPECT_EQ(bus.sent[2], (std::pair<int, std::string>{ccHomeFolders, "0"}));
    EXPECT_EQ(bus.sent[3].first, ccStatusText);  // the caption refresh comes last
    const std::string disc = ReadBytes(File());
    EXPECT_NE(disc.find("[Extensions]\r\n1=*.im\r\n"), std::string::npos) << disc;
    EXPECT_EQ(disc.find("*.*"), std::string::npos);
    EXPECT_NE(disc.find("3=/c"), std::string::npos);
    EXPECT_NE(disc.find("[KUID-Range]\r\nDefault=100000\r\nScenery=200\r\n"), std::string::npos) << disc;
    EXPECT_FALSE(std::filesystem::exists(dir / "kelvarn.$$$"));
}

TEST_F(OptionsDialog, AnUnknownBuildShowsAsStoredAndStaysUntilOneIsPicked) {
    Open("[Paths]\r\nBuild=3.50\r\nAssetBuild=0\r\n[Builds]\r\n1.3=2004\r\nNotes=not a build\r\n3.5=TS12\r\n"
         "[KUID-Range]\r\n%kv%a%3Db=300\r\n");
    auto* box = options->findChild<QComboBox*>("cbBuild");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentText(), "3.50");
    EXPECT_EQ(box->findText("Notes", Qt::MatchStartsWith), -1);  // only keys that read as builds
    options->CheckBox("cbCurrent")->click();
    options->ApplyClick();
    EXPECT_EQ(state.Settings().ReadString("Paths", "Build", ""), "3.50");
    EXPECT_TRUE(state.Settings().ReadBool("Paths", "AssetBuild", false));
    box->setCurrentIndex(box->findText("3.5 TS12"));
    options->ApplyClick();
    EXPECT_EQ(state.Settings().ReadString("Paths", "Build", ""), "3.5");

    // A range name holding "=" keeps it.
    EXPECT_EQ(options->KuidRange()->item(0, 0)->text(), "a=b");
    EXPECT_EQ(options->KuidRange()->item(0, 1)->text(), "300");
    options->OKClick();
    EXPECT_EQ(state.Settings().ReadString("KUID-Range", "a=b", ""), "300");
}

// Picking a listed build and then the stored one the list does not hold stores that one again: the
// box never shows one build while the settings keep another.
TEST_F(OptionsDialog, PickingTheStoredUnlistedBuildAgainStoresIt) {
    Open("[Paths]\r\nBuild=4.75\r\n[Builds]\r\n2.9=2009\r\n3.5=TS12\r\n");
    auto* box = options->findChild<QComboBox*>("cbBuild");
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->currentText(), "4.75");
    const auto pick = [box](int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    };
    pick(box->findText("3.5 TS12"));
    EXPECT_EQ(TMemIni(File()).ReadString("Paths", "Build", ""), "3.5");
    pick(box->findText("4.75"));
    EXPECT_EQ(box->currentText(), "4.75");
    EXPECT_EQ(TMemIni(File()).ReadString("Paths", "Build", ""), "4.75");
    EXPECT_EQ(state.Paths.Build, "4.75");
    EXPECT_EQ(state.DefaultBuild(), 48);
}

// A stored build that is no build number shows as the default the checks use in its place.
TEST_F(OptionsDialog, AnUnreadableBuildShowsTheDefaultInUse) {
    Open("[Paths]\r\nBuild=abc\r\n[Builds]\r\n2.5=2006\r\n2.9=2009\r\n");
    auto* box = options->findChild<QComboBox*>("cbBuild");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentText(), "2.5 2006");
    EXPECT_EQ(box->findText("abc"), -1);
}

TEST_F(OptionsDialog, AFifthHomeDisablesAdding) {
    Open("[Home]\r\n1=/a\r\n2=/b\r\n3=/c\r\n4=/d\r\n");
    EXPECT_TRUE(options->AddHomeButton()->isEnabled());
    folders = {"/e"};
    options->AddHome();
    EXPECT_FALSE(options->AddHomeButton()->isEnabled());
    EXPECT_EQ(options->HomeGrid()->item(4, 0)->text(), "H5");
    options->HomeGrid()->selectRow(0);
    options->DeleteHomes();
    EXPECT_TRUE(options->AddHomeButton()->isEnabled());
    EXPECT_EQ(options->HomeGrid()->item(0, 2)->text(), "/b");
    EXPECT_EQ(options->HomeGrid()->item(0, 0)->text(), "H1");
}

TEST_F(OptionsDialog, ShadowOptionFollowsTheToolsVersion) {
    struct Case {
        const char* version;
        bool accepted;
    };
    for (const Case& c : {Case{"1.9", false}, Case{"1.10", true}, Case{"2.0", true}}) {
        SCOPED_TRACE(c.version);
        test::TempDir tools;
        WriteBytes(tools / "DuskCaster/DuskCaster.ini", std::string("[Program]\r\nVersion=") + c.version + "\r\n");
        messages.messages.clear();
        Open("[Options]\r\nShadows=1\r\n");
        state.Paths.Strellworks = tools.Path();
        options->FormShow();
        EXPECT_EQ(options->Shadow(2)->isEnabled(), c.accepted);
        options->ShadowsClick(2);
        EXPECT_EQ(state.Settings().ReadString("Options", "Shadows", ""), c.accepted ? "2" : "1");
        EXPECT_EQ(options->Shadow(0)->isChecked(), !c.accepted);
        EXPECT_EQ(messages.messages.size(), c.accepted ? 0u : 1u);
        if (!c.accepted) {
            EXPECT_EQ(messages.messages[0], kShadowToolMessage);
        }
        options->CancelClick();
    }
}

TEST_F(OptionsDialog, ToolEditorStoresRowsThroughTheCodecOnOk) {
    Open("[Tools-Menu]\r\n1=Old" + B + B + "x" + B + "1" + B + "0" + B + "0" + B + "0" + B + "\r\n");
    ChooseMenu("Tools-Menu");
    ASSERT_EQ(options->MenuGrid()->rowCount(), 1);
    EXPECT_EQ(options->MenuGrid()->item(0, 0)->text(), "Old");
    options->MenuGrid()->setCurrentCell(0, 0);
    options->CaptionEdit()->setText("Edit");
    emit options->CaptionEdit()->textEdited("Edit");
    options->ParamGrid()->setItem(0, 0, new QTableWidgetItem("-a b"));
    options->ParamGrid()->setItem(0, 1, new QTableWidgetItem("%p%"));
    options->MenuPopup("Insert Divider");
    options->OKClick();
    EXPECT_EQ(state.Settings().ReadString("Tools-Menu", "1", ""), "-----");
    EXPECT_EQ(state.Settings().ReadString("Tools-Menu", "2", ""),
              "Edit" + B + B + "-a" + std::string(kMiddleDot) + "b\"%p%\"" + B + "1" + B + "0" + B + "0" + B + "0" + B);
}

TEST_F(OptionsDialog, MenuItemsTravelOnTheClipboardAndMasksAddMenus) {
    Open("[Help]\r\n1=Manual" + B + B + "\"%bin%\\m.pdf\"" + B + "1" + B + "0" + B + "0" + B + "0" + B + "\r\n");
    ChooseMenu("Help");
    options->MenuGrid()->setCurrentCell(0, 0);
    options->MenuPopup("Copy");
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat(kMenuItemMimeType));
    EXPECT_TRUE(mime->text().startsWith("Manual"));

    // A typed mask is a new menu; the copied item pastes into it; its label row is not stored.
    ChooseMenu("*.pdf");
    EXPECT_GE(options->MenuList()->findText("*.pdf"), 0);
    EXPECT_EQ(options->MenuGrid()->item(0, 0)->text(), "Filemask: *.pdf");
    options->MenuPopup("Paste");
    options->MenuPopup("Frobnicate");
    EXPECT_EQ(messages.messages.back(), "Frobnicate not implemented");
    options->OKClick();
    EXPECT_EQ(state.Settings().ReadString("*.pdf", "1", "").substr(0, 6), "Manual");
    EXPECT_EQ(state.Settings().ReadString("Extensions", "1", ""), "*.pdf");
}

TEST_F(OptionsDialog, CustomMenuTitleIsEditedAndStoredAlone) {
    Open("");
    ChooseMenu("CustomC");
    EXPECT_EQ(options->MenuGrid()->item(0, 0)->text(), "Title=");
    texts = {"Mine"};
    options->MenuPopup("Edit Menu Title");
    EXPECT_EQ(asked, (std::vector<std::string>{"Rename Menu"}));
    options->MenuPopup("Insert Item");
    options->OKClick();
    EXPECT_EQ(state.Settings().ReadString("CustomC", "1", ""), "Mine");
    EXPECT_TRUE(state.Settings().ValueExists("CustomC", "2"));
}

TEST_F(OptionsDialog, OpenWithButtonsFollowTheBuildFolder) {
    test::TempDir trainz;
    Open("[Paths]\r\nTS2009=" + trainz.Path() + "\r\n");
    state.Paths.TS2009 = trainz.Path();
    options->LoadControls();
    QPushButton* button = options->OpenWithButton(0);
    EXPECT_FALSE(button->isHidden());
    EXPECT_TRUE(options->OpenWithButton(1)->isHidden());  // no TS2010 folder
    EXPECT_EQ(button->text(), "Install Open-With for TS200&9");
    options->ToggleOpenWith(0);
    EXPECT_EQ(messages.messages.back().rfind("Source File Missing: ", 0), 0u);
    WriteBytes(dir / "bin/Launch.Exe", "MZ");
    options->ToggleOpenWith(0);
    EXPECT_EQ(button->text(), "Remove Open-With for TS200&9");
    options->ToggleOpenWith(0);
    EXPECT_EQ(button->text(), "Install Open-With for TS200&9");
}

}  // namespace
}  // namespace kelvarn
