#include <gtest/gtest.h>

#include <map>

#include "shell/AssociatedProgram.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

class Macros : public ::testing::Test {
protected:
    Macros() {
        state.ProgramFolder = "C:\\Kelvarn\\";
        state.Environment = [this](const std::string& name) {
            const auto it = env.find(name);
            return it == env.end() ? std::string() : it->second;
        };
        state.AssociatedProgram = [](const std::string& name) { return "viewer-for-" + name; };
    }
    std::string X(std::string_view text) { return ExpandMacros(state, text); }

    TProgramState state;
    std::map<std::string, std::string> env;
};

TEST_F(Macros, CurrentFileMacros) {
    state.SetAssetPath("C:\\Assets\\Car\\");
    state.SetAssetFileName("b.texture.txt");
    EXPECT_EQ(X("%pfe%"), "C:\\Assets\\Car\\b.texture.txt");
    EXPECT_EQ(X("%pf%"), "C:\\Assets\\Car\\b.texture");
    EXPECT_EQ(X("%p%|%fe%|%f%|%e%"), "C:\\Assets\\Car|b.texture.txt|b.texture|.txt");
    EXPECT_EQ(X("%assoc%"), "viewer-for-b.texture.txt");
}

TEST_F(Macros, NoAssetSelectedGivesABareSeparator) { EXPECT_EQ(X("%pfe%"), "\\"); }

TEST_F(Macros, CapitalsExpandLikeLowerCase) {
    EXPECT_EQ(X("%BIN%\\tags.xml"), "C:\\Kelvarn\\bin\\tags.xml");
    EXPECT_EQ(X("%Scripts%"), "C:\\Kelvarn\\scripts");
}

TEST_F(Macros, FoldersAndTheirSettings) {
    EXPECT_EQ(X("%app%|%backup%|%support%|%log%"),
              "C:\\Kelvarn|C:\\Kelvarn\\backup|C:\\Kelvarn\\support|C:\\Kelvarn\\log");
    // A backup folder set with macros: the inserted text goes through the later steps.
    state.Settings().WriteString("Paths", "Backup", "%bin%\\old");
    EXPECT_EQ(X("%backup%"), "C:\\Kelvarn\\bin\\old");
}

TEST_F(Macros, IdentityMacros) {
    state.SetAssetKuid("<kuid2:1:2:3>");
    state.CurrentKuid = "1";
    state.Settings().WriteString("UserData", "UserID", "604117");
    state.Paths.Build = "3.5";
    EXPECT_EQ(X("%kuid%"), "<kuid2:1:2:3>");
    EXPECT_EQ(X("%kuidf%"), "kuid2 1 2 3");
    EXPECT_EQ(X("%userID%/%assetID%/%build%"), "604117/1/3.5");
}

TEST_F(Macros, SimulatorFolders) {
    state.Paths.Trainz = "D:\\Games\\TS12\\";
    state.Paths.TS12 = "D:\\Games\\TS12";
    state.Paths.TC = "E:\\TC";
    EXPECT_EQ(X("%trs%"), "TS12");  // trailing separators do not hide the folder's name
    EXPECT_EQ(X("%2012%=%TS12%"), "D:\\Games\\TS12=D:\\Games\\TS12");
    EXPECT_EQ(X("%tc%"), "E:\\TC");
}

TEST_F(Macros, ToolLineMarkersBecomeBlanks) {
    EXPECT_EQ(X("a\xC2\xB7" "b\xC2\xB6" "c"), "a b c");
}

TEST_F(Macros, PercentSignsAndTheEnvironment) {
    env["TEMP"] = "/tmp";
    EXPECT_EQ(X("50% done"), "50% done");
    EXPECT_EQ(X("a%%b"), "ab");
    EXPECT_EQ(X("%temp%\\x"), "\\x");  // unknown name (the environment is case-sensitive here)
    EXPECT_EQ(X("%TEMP%\\x"), "/tmp\\x");
    EXPECT_EQ(X("%NOPE%x"), "x");
}

TEST_F(Macros, SelfReferencingEnvironmentValueEnds) {
    env["LOOP"] = "%LOOP%";
    const std::string out = X("%LOOP%");  // must return, whatever it holds
    EXPECT_LE(out.size(), 6u);
}

TEST_F(Macros, TetDataTakesTheFirstExistingFolderWithOneSeparator) {
    test::TempDir dir;
    ForceDirectories(dir / "TS12/tet/b");
    state.Paths.Trainz = dir / "TS12";
    state.Settings().WriteString("Paths", "TETData", "tet\\a;tet\\b,tet");
    EXPECT_EQ(NativePath(X("%tetdata%")), NativePath(dir / "TS12\\tet\\b"));

    state.Settings().WriteString("Paths", "TETData", "none");
    EXPECT_EQ(X("[%tetdata%]"), "[]");  // left for the environment pass, which removes it
}

TEST(AssociatedProgramLookup, FollowsTheMimeDatabaseToTheDesktopEntry) {
    test::TempDir dir;
    test::WriteBytes(dir / "data/mime/globs2", "# comment\n50:image/x-tga:*.tga\n10:text/plain:*.txt\n");
    test::WriteBytes(dir / "config/mimeapps.list", "[Default Applications]\nimage/x-tga=paint.desktop;\n");
    test::WriteBytes(dir / "data/applications/paint.desktop", "[Desktop Entry]\nExec=painter %f\n");
    test::WriteBytes(dir / "bin/painter", "#!/bin/sh\n");
    const std::map<std::string, std::string> env = {
        {"XDG_DATA_HOME", dir / "data"}, {"XDG_DATA_DIRS", dir / "none"},
        {"XDG_CONFIG_HOME", dir / "config"}, {"XDG_CONFIG_DIRS", dir / "none"}, {"PATH", dir / "bin"}};
    const auto lookup = [&](const std::string& n) {
        const auto it = env.find(n);
        return it == env.end() ? std::string() : it->second;
    };
    EXPECT_EQ(AssociatedProgram("Body.TGA", lookup), dir / "bin/painter");
    EXPECT_EQ(AssociatedProgram("notes.txt", lookup), "");  // a type without a default
    EXPECT_EQ(AssociatedProgram("mesh.im", lookup), "");    // an unknown type
}

}  // namespace
}  // namespace kelvarn
