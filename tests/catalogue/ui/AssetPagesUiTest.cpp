// The new-asset and clone pages as the user works them: typing, leaving the KUID field, choosing a
// folder, and what OK and HelpLabel follow.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "catalogue/ui/AssetPagesUi.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/XEdit.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class PagesUi : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApp(); }
    PagesUi() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.UserKuidId = "77";
        for (const char* folder : {"assets/bridge", "assets/Editing", "program/backup", "assets/done"})
            fs::create_directories(dir / folder);
        test::WriteBytes(dir / "assets/bridge/Config.txt", "kind \"scenery\"\r\n");
        page.CheckChanged = [this](const TPageCheck& check) { checks.push_back(check); };
    }
    std::string Reason() const { return checks.empty() ? "none" : checks.back().reason; }

    test::TempDir dir;
    TProgramState state;
    TNewAssetEditor page{state};
    std::vector<TPageCheck> checks;
};

TEST_F(PagesUi, KuidFieldCompletesOnLeaving) {
    struct Case {
        const char* typed;
        const char* user;
        const char* result;
    } cases[] = {{"42", "77", "<kuid:77:42>"}, {"0", "77", "0"}, {"42", "", "42"}, {"<KUID:1:2>", "77", "<kuid:1:2>"}};
    for (const Case& c : cases) {
        state.UserKuidId = c.user;
        page.newKUID->clear();
        page.newKUID->setFocus();
        QTest::keyClicks(page.newKUID, c.typed);
        emit page.newKUID->editingFinished();
        EXPECT_EQ(page.newKUID->text().toStdString(), c.result) << c.typed;
    }
    // Characters no KUID holds are not taken.
    page.newKUID->clear();
    QTest::keyClicks(page.newKUID, "1 ;2");
    EXPECT_EQ(page.newKUID->text().toStdString(), "12");
}

TEST_F(PagesUi, ValidFieldsEnableOkAtOnceAndEachFaultHasItsReason) {
    page.newKUID->setText("<kuid:77:1>");
    checks.clear();
    page.SetFields({{"bridge", "scenery"}, "", "", dir / "assets/", "new"});
    EXPECT_EQ(checks.size(), 1u);  // one check for the whole fill
    EXPECT_EQ(Reason(), "KUID and Kind are required");
    page.newKind->setCurrentIndex(1);
    EXPECT_TRUE(page.LastCheck().enabled);
    EXPECT_EQ(Reason(), "");

    // The kind chosen stays for the next use; the dialog opened with valid fields is ready at once.
    checks.clear();
    page.SetFields({{"bridge", "scenery"}, "", "", dir / "assets/", "another"});
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_TRUE(checks[0].enabled);
    EXPECT_EQ(page.Fields().kind, "scenery");

    struct Case {
        std::string location, name, reason;
    } cases[] = {
        {dir / "assets/Editing/", "x", "Location does not exist or is invalid"},
        {dir / "program/backup/", "x", "Location does not exist or is invalid"},
        {dir / "assets/bridge/", "x", "Location does not exist or is invalid"},
        {dir / "assets/", "..", "Folder name already exists or is invalid"},
        {dir / "assets/", "/tmp/abs", "Folder name already exists or is invalid"},
        {dir / "assets/", "   ", "Folder name already exists or is invalid"},
        {dir / "assets/", "done", "Folder name already exists or is invalid"},
        {dir / "assets/", "a/b", ""},
    };
    for (const Case& c : cases) {
        page.newLocation->setText(QString::fromStdString(c.location));
        page.newFoldername->setText(QString::fromStdString(c.name));
        EXPECT_EQ(Reason(), c.reason) << c.location << " " << c.name;
        EXPECT_EQ(page.LastCheck().enabled, c.reason.empty());
    }
}

TEST_F(PagesUi, PathSelectWritesTheChosenFolderWithASeparator) {
    std::vector<std::string> asked;
    page.ChooseFolder = [&asked](const std::string& title, const std::string& start) {
        asked.push_back(title + "|" + start);
        return start == "keep" ? std::string() : std::string("/some/where");
    };
    page.newLocation->setText("start");
    page.newSelect->click();
    EXPECT_EQ(page.newLocation->text().toStdString(), "/some/where/");
    page.newLocation->setText("keep");
    page.NewPathSelect();
    EXPECT_EQ(page.newLocation->text().toStdString(), "keep");
    EXPECT_EQ(asked, (std::vector<std::string>{"Select Clone Location|start", "Select Clone Location|keep"}));
}

TEST_F(PagesUi, ClonePageGivesBackWhatTheUserLeft) {
    TCloneEditor clone(state);
    std::vector<TPageCheck> cloneChecks;
    clone.CheckChanged = [&cloneChecks](const TPageCheck& check) { cloneChecks.push_back(check); };
    clone.Source = dir / "assets/bridge";
    clone.SetFields({"<kuid:77:8000>", "CLONE OF: Iron", dir / "assets/", "CLONE OF bridge", "CLONE OF KUID:1:2: one\xC2\xB6two", ""});
    ASSERT_EQ(cloneChecks.size(), 1u);
    EXPECT_TRUE(cloneChecks[0].enabled);
    EXPECT_EQ(clone.cloneDescription->toPlainText().toStdString(), "CLONE OF KUID:1:2: one\ntwo");
    clone.cloneUsername->clear();
    EXPECT_EQ(cloneChecks.back().reason, "KUID and Username are required");
    clone.cloneUsername->setText("me");
    clone.cloneLocation->setText(QString::fromStdString(dir / "assets/bridge/mesh"));
    EXPECT_EQ(cloneChecks.back().reason, "Location does not exist or is invalid");
    fs::create_directories(dir / "assets/bridge/mesh");
    clone.cloneName->setText("copy");  // inside the asset being cloned
    EXPECT_EQ(cloneChecks.back().reason, "Folder name already exists or is invalid");
    clone.cloneLocation->setText(QString::fromStdString(dir / "assets/"));
    clone.cloneKUID->setText("12");
    clone.CloneKUIDExit();
    const TCloneFields f = clone.Fields();
    EXPECT_EQ(f.kuid, "<kuid:77:12>");
    EXPECT_EQ(f.username, "me");
    EXPECT_EQ(f.name, "copy");
    EXPECT_TRUE(cloneChecks.back().enabled);
}

}  // namespace
}  // namespace kelvarn
