// What the settings dialog does to the settings and the program state, without the dialog: the start-up
// effects that hold whether or not the dialog ever opens, the menu list and menu sections of the tool
// editor, the writes of OK, the copy Cancel restores, the setup check and the Open-With tool files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TMemIni;
class TProgramState;

// ---- start-up ----------------------------------------------------------------------------------

// The settings' effects on the program state: the default tool line and the built-in builds when
// missing (flushed), the simulator folders and the build in `Paths`, the default build, and the
// user's KUID number.
void LoadOptionSettings(TProgramState& state);
// The same without writing anything: after Cancel the file must stay as it was.
void ApplyOptionSettings(TProgramState& state);
// `Paths` from the settings alone.
void ReadPathSettings(TProgramState& state);
// The user's KUID number from the settings ("UserData"/"UserID"), empty when it is no integer.
std::string ReadUserKuidId(const TProgramState& state);

// ---- setup check -------------------------------------------------------------------------------

extern const std::string_view kSetupMessage;
// True when the settings name both the simulator folder and the build.
bool SetupComplete(const TProgramState& state);

// ---- the tool editor's menus -------------------------------------------------------------------

inline constexpr std::string_view kTitlePrefix = "Title=";
inline constexpr std::string_view kFilemaskPrefix = "Filemask: ";

bool IsCustomMenu(std::string_view section);  // "CustomA" to "CustomE"
bool IsMaskMenu(std::string_view section);    // a file mask: begins with "*"

// The menus the tool editor offers: the fixed ones, "*.*" and the masks of `Extensions`, sorted and
// each once (ignoring case).
std::vector<std::string> FillMenuList(const TMemIni& ini);
// The masks of a menu list that `Extensions` keeps: every item beginning with "*" but "*.*".
std::vector<std::string> MenuListMasks(const std::vector<std::string>& menuList);

// The rows of the menu grid for a section: a custom menu's "Title=" row and a mask's "Filemask: " row
// first, then one row per value.
std::vector<std::string> SelectMenuRows(const TMemIni& ini, std::string_view section);
// Writes rows as SelectMenuRows gives them back to the section as a numbered list (a custom menu's
// title alone first; a mask's label row is not stored) and flushes. Returns the flush's message.
std::string SaveMenu(TMemIni& ini, std::string_view section, const std::vector<std::string>& rows);

// ---- OK ----------------------------------------------------------------------------------------

struct THomeRow {
    std::string state = "0";  // "0" on, "1" off, as stored
    std::string folder;
    bool operator==(const THomeRow&) const = default;
};
inline constexpr int kMaxHomes = 5;

std::vector<THomeRow> ReadHomeRows(const TMemIni& ini);
// Unloads every old home (205 "-N"), rewrites `Home` and `HomeState` from the rows with a folder (at
// most five), then reloads (205 "0").
void SaveHomeGrid(TProgramState& state, const std::vector<THomeRow>& rows);

// `KUID-Range` from "name=value" pairs; pairs with an empty name or value are dropped.
void WriteKuidRanges(TMemIni& ini, const std::vector<std::pair<std::string, std::string>>& rows);

// ---- Cancel ------------------------------------------------------------------------------------

// The settings as the dialog found them: the file copied beside it as ".$$$" and the store's text.
// Restore puts both back (the copy renamed over the file in one step); Discard drops the copy.
class TSettingsSnapshot {
public:
    explicit TSettingsSnapshot(TMemIni& ini) : ini_(ini) {}
    void Take();
    // Returns true when the store changed back.
    bool Restore();
    void Discard();
    bool Taken() const { return taken_; }
    std::string CopyName() const;

private:
    TMemIni& ini_;
    std::string text_;
    bool taken_ = false;
    bool hadFile_ = false;
};

// ---- files -------------------------------------------------------------------------------------

// A file the tool editor may open as text: it exists and its extension is one of .txt .log .ini .bat
// .cmd (ignoring case).
bool IsTextFile(std::string_view path);

// The Open-With tool of a simulator build folder ("<folder>\bin\CMPData\tools\OpenWith", existing
// folders matched ignoring case).
std::string OpenWithFolder(std::string_view buildFolder);
bool OpenWithInstalled(std::string_view buildFolder);
// Removes an installed tool, else installs it: the launcher copied as "Kelvarn.exe" and "Kelvarn.ini"
// written. Returns the message to show, empty on success.
std::string ToggleOpenWithTool(std::string_view buildFolder, std::string_view launcher, std::string_view program);

// The shadow tool's executable and whether it is new enough for DuskCaster shadows.
inline constexpr std::string_view kShadowTool = "%strell%\\DuskCaster\\DuskCaster.exe";
extern const std::string_view kShadowToolMessage;
bool ShadowToolAccepted(const TProgramState& state);

}  // namespace kelvarn
