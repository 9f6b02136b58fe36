// Every settings key with its one default, in one place: the settings dialog shows it and every
// reader uses it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "shell/MemIni.h"

namespace kelvarn {

struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::string_view def;
};

std::string ReadSetting(const TMemIni& ini, const SettingKey& k);
long long ReadSettingInt(const TMemIni& ini, const SettingKey& k);
bool ReadSettingBool(const TMemIni& ini, const SettingKey& k);
void WriteSetting(TMemIni& ini, const SettingKey& k, std::string_view value);
void WriteSettingInt(TMemIni& ini, const SettingKey& k, long long value);
void WriteSettingBool(TMemIni& ini, const SettingKey& k, bool value);

namespace keys {

// Position (main window)
// The settings dialog shows these defaults and every reader uses them: a box shown ticked is on.
inline constexpr SettingKey Restore{"Position", "Restore", "1"};
inline constexpr SettingKey Top{"Position", "Top", "0"};
inline constexpr SettingKey Left{"Position", "Left", "0"};
inline constexpr SettingKey Width{"Position", "Width", "0"};
inline constexpr SettingKey Height{"Position", "Height", "0"};
inline constexpr SettingKey AssetWidth{"Position", "AssetWidth", "297"};
inline constexpr SettingKey AssetHeight{"Position", "AssetHeight", "600"};
inline constexpr SettingKey OutlineHeight{"Position", "OutlineHeight", "600"};
inline constexpr SettingKey MaxMode{"Position", "MaxMode", "0"};

// Options
inline constexpr SettingKey Tooltips{"Options", "Tooltips", "1"};
inline constexpr SettingKey Border{"Options", "Border", "1"};
inline constexpr SettingKey Autoplay{"Options", "Autoplay", "1"};
inline constexpr SettingKey MouseTrack{"Options", "MouseTrack", "0"};
inline constexpr SettingKey Wiki{"Options", "Wiki", "1"};
// No address of its own: the user (or whoever hands the program out) names the update page.
inline constexpr SettingKey UpdateLink{"Options", "UpdateLink", ""};
inline constexpr SettingKey BoundingBox{"Options", "BoundingBox", "0"};
inline constexpr SettingKey DisplayMode{"Options", "DisplayMode", "0"};
inline constexpr SettingKey PointSize{"Options", "PointSize", "7"};
inline constexpr SettingKey LineWeight{"Options", "LineWeight", "50"};
inline constexpr SettingKey SaveMask{"Options", "SaveMask", "1"};
inline constexpr SettingKey FileMask{"Options", "FileMask", "0"};
inline constexpr SettingKey CMPSort{"Options", "CMPSort", "0"};
inline constexpr SettingKey Preview{"Options", "Preview", "1"};
inline constexpr SettingKey AutoDeletePM{"Options", "AutoDeletePM", "0"};
inline constexpr SettingKey Placeholder{"Options", "Placeholder", "0"};
inline constexpr SettingKey Autoscan{"Options", "Autoscan", "1"};
inline constexpr SettingKey DailyLog{"Options", "DailyLog", "0"};
inline constexpr SettingKey DisplayLog{"Options", "DisplayLog", "1"};  // a check's report is shown
inline constexpr SettingKey Shadows{"Options", "Shadows", "0"};
// The languages the settings dialog offers and the username repair handles; the leading "," is the
// base tag (no language suffix).
inline constexpr SettingKey Languages{"Options", "Languages", ",cn,cz,da,de,es,fi,fr,hu,it,nl,no,pl,pt,ru,sv"};
inline constexpr SettingKey Language{"Options", "Language", ""};
inline constexpr SettingKey NextCloneID{"Options", "NextCloneID", "8000"};
inline constexpr SettingKey ProcessDelay{"Options", "ProcessDelay", "250"};
inline constexpr SettingKey ImageCursor{"Options", "ImageCursor", "1"};
inline constexpr SettingKey Silent{"Options", "Silent", "0"};
inline constexpr SettingKey ScreenshotFolder{"Options", "ScreenshotFolder", ""};  // the image viewer gives its own
inline constexpr SettingKey SetupShown{"Options", "SetupShown", "0"};  // the first-start setup message was shown

// Paths
inline constexpr SettingKey Trainz{"Paths", "Trainz", ""};
inline constexpr SettingKey Strellworks{"Paths", "Strellworks", ""};
inline constexpr SettingKey TRS2004{"Paths", "TRS2004", ""};
inline constexpr SettingKey TRS2006{"Paths", "TRS2006", ""};
inline constexpr SettingKey TC{"Paths", "TC", ""};
inline constexpr SettingKey TS2009{"Paths", "TS2009", ""};
inline constexpr SettingKey TS2010{"Paths", "TS2010", ""};
inline constexpr SettingKey TS12{"Paths", "TS12", ""};
// The default build: the settings dialog shows it chosen, the Trainz-Build menu and the checks use it,
// and scripts and clones write it.
inline constexpr SettingKey Build{"Paths", "Build", "2.5"};
inline constexpr SettingKey AssetBuild{"Paths", "AssetBuild", "0"};
inline constexpr SettingKey KeepBackups{"Paths", "KeepBackups", "5"};
inline constexpr SettingKey Backup{"Paths", "Backup", ""};
inline constexpr SettingKey Support{"Paths", "Support", ""};
inline constexpr SettingKey TETData{"Paths", "TETData", ""};

// UserData
inline constexpr SettingKey UserID{"UserData", "UserID", ""};  // empty: not set, so no KUID can be made
inline constexpr SettingKey Author{"UserData", "author", ""};
inline constexpr SettingKey ContactEmail{"UserData", "contact-email", ""};
inline constexpr SettingKey ContactWebsite{"UserData", "contact-website", ""};
inline constexpr SettingKey Organisation{"UserData", "organisation", ""};
inline constexpr SettingKey InfoUrl{"UserData", "info-url", ""};

// ScriptEditor
inline constexpr SettingKey Editor{"ScriptEditor", "Editor", "not found"};
inline constexpr SettingKey External{"ScriptEditor", "External", "0"};

// Colours: foreground and background joined by ",", unless single.
inline constexpr SettingKey ColourNormal{"Colours", "Normal", "#707070,#FFFFFF"};
inline constexpr SettingKey ColourTagged{"Colours", "Tagged", "#000000,#FFFFFF"};
inline constexpr SettingKey ColourSelected{"Colours", "Selected", "#FFFFFF,#989898"};
inline constexpr SettingKey ColourComment{"Colours", "Comment", "#800000,#FFFFFF"};
inline constexpr SettingKey ColourModified{"Colours", "Modified", "#080000,#CBE9CB"};
inline constexpr SettingKey ColourAlert{"Colours", "Alert", "#FFFFFF,#989898"};
inline constexpr SettingKey ColourPoint{"Colours", "Point", "#080000,#00FF00"};
inline constexpr SettingKey ColourSelectedPoint{"Colours", "SelectedPoint", "#080000,#FFFF00"};
inline constexpr SettingKey Highlight{"Colours", "Highlight", "#800000"};
inline constexpr SettingKey MeshView{"Colours", "MeshView", "#808080"};

// Fonts: name, ",", size in points.
inline constexpr SettingKey FontFixed{"Fonts", "Fixed", "Courier New,10"};
inline constexpr SettingKey FontProportional{"Fonts", "Proportional", "Verdana,10"};

// System
// The asset folder handed to the desktop's default program (the file manager): there is no Explorer
// with its own switches here.
inline constexpr SettingKey Explorer{"System", "Explorer", "\xC2\xA6\xC2\xA6\"%p%\"\xC2\xA6" "1\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6"};

// Wiki (one section, whatever the spelling)
// The base address of "wiki://" links and help pages: without a setting, the tag wiki's own.
inline constexpr SettingKey WikiURL{"Wiki", "URL", "https://online.ts2009.com/mediaWiki/index.php"};
inline constexpr SettingKey WikiDebug{"Wiki", "debug", "0"};

// default tool: key "1" of section "default"
inline constexpr SettingKey DefaultTool{"default", "1",
                                        "Open\xC2\xA6\xC2\xA6\"%pfe%\"\xC2\xA6" "1\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6"};

}  // namespace keys

// Section names used as numbered lists or name-value lists.
namespace sections {
inline constexpr std::string_view Builds = "Builds";
inline constexpr std::string_view License = "License";
inline constexpr std::string_view ColoursMRU = "ColoursMRU";
inline constexpr std::string_view Home = "Home";
inline constexpr std::string_view HomeState = "HomeState";  // "0" on, "1" off
inline constexpr std::string_view Extensions = "Extensions";
inline constexpr std::string_view ToolsMenu = "Tools-Menu";
inline constexpr std::string_view Documents = "Documents";
inline constexpr std::string_view Help = "Help";
inline constexpr std::string_view Links = "Links";
inline constexpr std::string_view KuidRange = "KUID-Range";
inline constexpr std::string_view System = "System";
inline constexpr std::string_view Wiki = "Wiki";
inline constexpr std::string_view AllFiles = "*.*";
inline constexpr std::string_view DefaultTools = "default";
}  // namespace sections

// The built-in build list, written into an empty "Builds" section.
inline constexpr std::array<std::string_view, 40> kDefaultBuilds = {
    "1.3=Trainz-SP3", "1.5=UTC",        "1.6=UTC-SP1",    "2.0=2004",       "2.1=2004-SP1",   "2.2=2004-SP2",
    "2.3=2004-SP3",   "2.4=2004-SP4",   "2.5=2006",       "2.6=2006-SP1",   "2.7=TC-1",       "2.8=TC-3",
    "2.9=2009",       "3.0=2009-SP1",   "3.1=2009-SP2",   "3.2=2010-SP1",   "3.3=2010-SP2",   "3.4=2010-SP4",
    "3.5=2012",       "3.6=2012-MAC",   "3.7=2012-SP1",   "3.8=2012-MAC2",  "3.9=TANE-CE1",   "4.0=TANE-CE2",
    "4.1=TANE-CE3",   "4.2=TANE",       "4.3=TANE-SP1",   "4.4=TMR17",      "4.5=TANE-SP2",   "4.6=TRS19",
    "4.7=TRS19-SP1",  "4.8=TRS19-SP2",  "4.9=TRS19-SP3",  "5.0=TRS19-SP4",  "5.1=TRS22",      "5.2=TRS22-SP1",
    "5.3=TRS22-SP2",  "5.4=TRS22-SP3",  "5.5=TRS22-SP4",  "5.6=TRS22-SP5"};

// The user's own value of one of the user data tags (UserTagNames): its key of section UserData, and
// for "license" the lines of section License joined with blanks.
std::string ReadUserDataValue(const TMemIni& ini, std::string_view name);

// Writes the built-in builds when the section holds none; returns whether it wrote them.
bool EnsureDefaultBuilds(TMemIni& ini);

// True when the tool beside `executablePath` (its ".ini" file's Program\Version) is at least
// major.minor, compared as numbers. The path may hold macros; the caller expands them.
bool ToolVersionAtLeast(std::string_view expandedExecutablePath, int major, int minor);

}  // namespace kelvarn
