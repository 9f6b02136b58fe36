#include "shell/OptionSettings.h"

#include <algorithm>

#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/TrainzBuild.h"

namespace kelvarn {

const std::string_view kSetupMessage =
    "Kelvarn\n\nPlease make sure that the correct trainz-build and path data\n"
    "are entered into the next dialogue and then press [OK]\n\n"
    "You should not see this message again unless Kelvarn finds\nerrors in your setup.";

const std::string_view kShadowToolMessage = "To use this feature DuskCaster should\nbe version 1.10 or later, Please Update";

namespace {

constexpr std::string_view kFixedMenus[] = {"Tools-Menu", "Documents", "Help",   "CustomA",
                                            "CustomB",    "CustomC",   "CustomD", "CustomE"};

void Flush(TMemIni& ini) { ini.UpdateFile(); }

}  // namespace

// ---- start-up ----------------------------------------------------------------------------------

void ReadPathSettings(TProgramState& state) {
    const TMemIni& ini = state.Settings();
    TPaths& p = state.Paths;
    p.Trainz = ReadSetting(ini, keys::Trainz);
    p.Build = ChosenBuildText(ini);
    p.Strellworks = ReadSetting(ini, keys::Strellworks);
    p.TRS2004 = ReadSetting(ini, keys::TRS2004);
    p.TRS2006 = ReadSetting(ini, keys::TRS2006);
    p.TC = ReadSetting(ini, keys::TC);
    p.TS2009 = ReadSetting(ini, keys::TS2009);
    p.TS2010 = ReadSetting(ini, keys::TS2010);
    p.TS12 = ReadSetting(ini, keys::TS12);
}

std::string ReadUserKuidId(const TProgramState& state) {
    const std::string text = Trim(ReadSetting(state.Settings(), keys::UserID));
    // Decimal digits only, with an optional sign: "$1F" is no user number.
    const std::string_view digits = !text.empty() && text.front() == '-' ? std::string_view(text).substr(1) : text;
    if (digits.empty() || digits.size() > 18) return {};
    for (char c : digits)
        if (c < '0' || c > '9') return {};
    long long value = 0;
    return TryParseInt(text, value) ? std::to_string(value) : std::string();
}

void LoadOptionSettings(TProgramState& state) {
    TMemIni& ini = state.Settings();
    bool changed = EnsureDefaultBuilds(ini);
    if (Trim(ini.ReadString(keys::DefaultTool.section, keys::DefaultTool.key, "")).empty()) {
        WriteSetting(ini, keys::DefaultTool, keys::DefaultTool.def);
        changed = true;
    }
    if (changed) Flush(ini);
    ApplyOptionSettings(state);
}

void ApplyOptionSettings(TProgramState& state) {
    ReadPathSettings(state);
    state.SetDefaultBuild(ParseBuild(DefaultBuildText(state.Settings())));
    state.UserKuidId = ReadUserKuidId(state);
}

// ---- setup check -------------------------------------------------------------------------------

bool SetupComplete(const TProgramState& state) {
    return !Trim(state.Paths.Trainz).empty() && !Trim(state.Paths.Build).empty();
}

// ---- the tool editor's menus -------------------------------------------------------------------

bool IsCustomMenu(std::string_view section) {
    return section.size() == 7 && StartsWithText(section, "Custom") && section[6] >= 'A' && section[6] <= 'E';
}

bool IsMaskMenu(std::string_view section) { return StartsWith(section, "*"); }

std::vector<std::string> FillMenuList(const TMemIni& ini) {
    std::vector<std::string> list(std::begin(kFixedMenus), std::end(kFixedMenus));
    list.emplace_back(sections::AllFiles);
    std::vector<std::string> masks;
    ReadValueList(ini, sections::Extensions, masks);
    for (const std::string& mask : masks)
        if (!Trim(mask).empty()) list.push_back(Trim(mask));
    std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return LowerCase(a) < LowerCase(b);
    });
    list.erase(std::unique(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return SameText(a, b); }),
               list.end());
    return list;
}

std::vector<std::string> MenuListMasks(const std::vector<std::string>& menuList) {
    std::vector<std::string> masks;
    for (const std::string& item : menuList)
        if (IsMaskMenu(item) && item != sections::AllFiles) masks.push_back(item);
    return masks;
}

std::vector<std::string> SelectMenuRows(const TMemIni& ini, std::string_view section) {
    std::vector<std::string> values;
    ini.ReadRawValues(section, values);
    std::vector<std::string> rows;
    if (IsCustomMenu(section)) {
        rows.push_back(std::string(kTitlePrefix) + (values.empty() ? std::string() : values.front()));
        if (!values.empty()) values.erase(values.begin());
    } else if (IsMaskMenu(section)) {
        rows.push_back(std::string(kFilemaskPrefix) + std::string(section));
    }
    rows.insert(rows.end(), values.begin(), values.end());
    return rows;
}

std::string SaveMenu(TMemIni& ini, std::string_view section, const std::vector<std::string>& rows) {
    std::vector<std::string> list;
    std::size_t first = 0;
    if (IsCustomMenu(section)) {
        // The title row is always first; without one the menu keeps an empty title so that its
        // items stay items.
        std::string title;
        if (!rows.empty() && StartsWith(rows.front(), kTitlePrefix)) {
            title = rows.front().substr(kTitlePrefix.size());
            first = 1;
        }
        list.push_back(title);
    } else if (IsMaskMenu(section) && !rows.empty() && StartsWith(rows.front(), kFilemaskPrefix)) {
        first = 1;
    }
    for (std::size_t i = first; i < rows.size(); ++i)
        if (!Trim(rows[i]).empty()) list.push_back(rows[i]);
    // A custom menu with neither title nor items is no menu at all.
    if (IsCustomMenu(section) && list.size() == 1 && list.front().empty()) list.clear();
    WriteNumberedList(ini, section, list);
    return ini.UpdateFile();
}

// ---- OK ----------------------------------------------------------------------------------------

std::vector<THomeRow> ReadHomeRows(const TMemIni& ini) {
    std::vector<std::string> keysOfHome;
    ini.ReadSection(sections::Home, keysOfHome);
    std::vector<THomeRow> rows;
    for (const std::string& key : keysOfHome) {
        THomeRow row;
        row.folder = ini.ReadString(sections::Home, key, "");
        row.state = ini.ReadString(sections::HomeState, key, "0");
        rows.push_back(std::move(row));
    }
    return rows;
}

void SaveHomeGrid(TProgramState& state, const std::vector<THomeRow>& rows) {
    TMemIni& ini = state.Settings();
    std::vector<std::string> oldKeys;
    ini.ReadSection(sections::Home, oldKeys);
    for (const std::string& key : oldKeys) state.SendCommand(ccHomeFolders, "-" + key);
    ClearSection(ini, sections::Home);
    ClearSection(ini, sections::HomeState);
    int number = 0;
    for (const THomeRow& row : rows) {
        if (Trim(row.folder).empty()) continue;
        if (number == kMaxHomes) break;
        ++number;
        ini.WriteString(sections::Home, std::to_string(number), Trim(row.folder));
        ini.WriteString(sections::HomeState, std::to_string(number), Trim(row.state) == "1" ? "1" : "0");
    }
    state.SendCommand(ccHomeFolders, "0");
}

void WriteKuidRanges(TMemIni& ini, const std::vector<std::pair<std::string, std::string>>& rows) {
    ClearSection(ini, sections::KuidRange);
    for (const auto& [name, value] : rows)
        if (!Trim(name).empty() && !Trim(value).empty()) ini.WriteString(sections::KuidRange, Trim(name), Trim(value));
}

// ---- Cancel ------------------------------------------------------------------------------------

std::string TSettingsSnapshot::CopyName() const { return ChangeFileExt(ini_.FileName(), ".$$$"); }

void TSettingsSnapshot::Take() {
    text_ = ini_.GetText();
    taken_ = true;
    if (ini_.FileName().empty()) return;
    DeleteFilePath(CopyName());
    hadFile_ = FileExists(ini_.FileName());
    if (hadFile_) CopyFileStreamed(ini_.FileName(), CopyName());
}

bool TSettingsSnapshot::Restore() {
    if (!taken_) return false;
    taken_ = false;
    if (!ini_.FileName().empty() && FileExists(CopyName())) {
        // Copied back through the streamed copy: it replaces the file a link names (the link stays a
        // link), keeps the file's mode, and takes its place in one rename.
        StreamCopyFile(CopyName(), ini_.FileName());
        DeleteFilePath(CopyName());
    } else if (!ini_.FileName().empty() && !hadFile_) {
        // There was no file when the dialog showed: what the dialog flushed goes again.
        DeleteFilePath(ini_.FileName());
    }
    const bool changed = ini_.GetText() != text_;
    ini_.SetText(text_);
    return changed;
}

void TSettingsSnapshot::Discard() {
    taken_ = false;
    text_.clear();
    if (!ini_.FileName().empty()) DeleteFilePath(CopyName());
}

// ---- files -------------------------------------------------------------------------------------

bool IsTextFile(std::string_view path) {
    if (!FileExists(NativePath(path))) return false;
    const std::string ext = LowerCase(ExtractFileExt(ExtractFileName(path)));
    for (std::string_view known : {".txt", ".log", ".ini", ".bat", ".cmd"})
        if (ext == known) return true;
    return false;
}

std::string OpenWithFolder(std::string_view buildFolder) {
    const std::string joined = JoinPath(ExcludeTrailingSeparator(buildFolder), "bin\\CMPData\\tools\\OpenWith");
    const std::string resolved = ResolvePathIgnoreCase(joined);
    return resolved.empty() ? joined : resolved;
}

bool OpenWithInstalled(std::string_view buildFolder) {
    if (Trim(buildFolder).empty()) return false;
    const std::string folder = OpenWithFolder(buildFolder);
    return !FindFileIgnoreCase(folder, "Kelvarn.exe").empty() && !FindFileIgnoreCase(folder, "Kelvarn.ini").empty();
}

std::string ToggleOpenWithTool(std::string_view buildFolder, std::string_view launcher, std::string_view program) {
    const std::string folder = OpenWithFolder(buildFolder);
    if (OpenWithInstalled(buildFolder)) {
        const std::string exe = FindFileIgnoreCase(folder, "Kelvarn.exe");
        const std::string ini = FindFileIgnoreCase(folder, "Kelvarn.ini");
        if (!DeleteFilePath(exe) || !DeleteFilePath(ini)) return "Unable to remove the Open-With tool from " + folder;
        return {};
    }
    if (!FileExists(NativePath(launcher))) return "Source File Missing: " + std::string(launcher);
    if (std::string error = ForceCopyFile(launcher, JoinPath(folder, "Kelvarn.exe")); !error.empty()) return error;
    TMemIni ini(JoinPath(folder, "Kelvarn.ini"));
    ini.WriteString("Paths", "exec", program);
    ini.WriteString("Paths", "edit", JoinPath(ExcludeTrailingSeparator(buildFolder), "UserData\\editing"));
    ini.WriteString("Parameters", "1", "-CMP");
    ini.WriteString("Parameters", "2", "%1");
    return ini.UpdateFile();
}

bool ShadowToolAccepted(const TProgramState& state) {
    return ToolVersionAtLeast(ExpandMacros(state, kShadowTool), 1, 10);
}

}  // namespace kelvarn
