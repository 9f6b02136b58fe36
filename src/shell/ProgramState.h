// The program-wide state that windows, frames, checks and scripts share: the current-asset context,
// the simulator folders, the settings object, shared lists and flags, and the desktop services core
// calls through interfaces. The program has one (Globals()); tests build their own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/AudioPlayer.h"
#include "shell/Clock.h"
#include "shell/CommandBus.h"
#include "shell/DesktopFiles.h"
#include "shell/MemIni.h"
#include "shell/MessageSink.h"
#include "shell/ProcessRunner.h"
#include "shell/Strings.h"

namespace kelvarn {

class IReportViewer;
class ITextLibrary;

// The current-asset context; read and written only through the accessors of TProgramState.
struct TQData {
    std::string Path;      // the selected asset's folder, without trailing separator
    std::string FileName;  // the file selected in the file list (name only)
    std::string FileMask;  // the file list's current mask
    std::string Kuid;      // the KUID text of the selected asset
    std::int32_t ActiveBuild = 0;   // tenths: 25 for 2.5
    std::int32_t DefaultBuild = 0;  // tenths
};

// The simulator folders, the current build and the maker's tool folder.
struct TPaths {
    std::string TRS2004, TRS2006, TC, TS2009, TS2010, TS12;
    std::string Trainz;       // the current simulator folder
    std::string Build;        // the current build text
    std::string Strellworks;  // the maker's tool folder
};

// The asset a script command works on when it is not the current asset (an asset of a batch): while
// one is set, the asset macros and the tools a script starts name it.
struct TScriptAsset {
    std::string Path;      // its folder, without trailing separator
    std::string FileName;  // no file of it is selected: empty
    std::string Kuid;      // the KUID text of its config
    std::string KuidId;    // the user number of that KUID ("%assetID%")
};

struct TImageSizeInfo {
    std::string Path;
    int Width = 0;
    int Height = 0;
};

class TProgramState {
public:
    TProgramState();
    ~TProgramState();
    TProgramState(const TProgramState&) = delete;
    TProgramState& operator=(const TProgramState&) = delete;

    // The settings object. Until a file is opened it is an empty store without a file name.
    TMemIni& Settings() { return *settings_; }
    const TMemIni& Settings() const { return *settings_; }
    void OpenSettings(std::string fileName);

    // The program folder with its trailing separator ("%bin%" is this followed by "bin") and the
    // program file.
    std::string ProgramFolder;
    std::string ProgramFile;

    TQData QData;
    TPaths Paths;

    // Current-asset accessors.
    const std::string& AssetPath() const { return QData.Path; }
    void SetAssetPath(std::string_view path);
    const std::string& AssetFileName() const { return QData.FileName; }
    void SetAssetFileName(std::string_view name) { QData.FileName = name; }
    std::string AssetPathFile() const { return QData.Path + "\\" + QData.FileName; }
    std::string AssetFileExt() const;
    const std::string& FileListMask() const { return QData.FileMask; }
    void SetFileListMask(std::string_view mask) { QData.FileMask = mask; }
    const std::string& AssetKuid() const { return QData.Kuid; }
    void SetAssetKuid(std::string_view kuid) { QData.Kuid = kuid; }
    std::string AssetKuidForFileName() const;

    // What the asset macros name: the script asset while one is set, else the current asset.
    const TScriptAsset* ScriptAsset = nullptr;
    const std::string& MacroAssetPath() const { return ScriptAsset ? ScriptAsset->Path : QData.Path; }
    const std::string& MacroAssetFileName() const { return ScriptAsset ? ScriptAsset->FileName : QData.FileName; }
    std::string MacroAssetPathFile() const { return MacroAssetPath() + "\\" + MacroAssetFileName(); }
    const std::string& MacroAssetKuid() const { return ScriptAsset ? ScriptAsset->Kuid : QData.Kuid; }
    const std::string& MacroAssetId() const { return ScriptAsset ? ScriptAsset->KuidId : CurrentKuid; }
    std::int32_t ActiveBuild() const { return QData.ActiveBuild; }
    void SetActiveBuild(std::int32_t build) { QData.ActiveBuild = build; }
    std::int32_t DefaultBuild() const { return QData.DefaultBuild; }
    void SetDefaultBuild(std::int32_t build) { QData.DefaultBuild = build; }

    // Shared values and lists.
    std::string CurrentKuid;  // user number of the loaded asset's KUID ("%assetID%")
    std::string UserKuidId;   // the user's KUID user number
    std::string KindChain;    // comma text of the loaded asset's kind and the kinds it inherits from
    std::vector<std::string> AssetKinds;            // sorted
    std::vector<std::string> DependencyKuids;
    std::vector<std::string> AttachmentPoints;      // "name=mesh path" lines, sorted, no duplicates
    std::vector<std::string> AttachmentPointNames;  // sorted, no duplicates
    std::vector<std::string> TextureProblems;
    // A list container's rows on their way between the outline and the tag editor's table page: the
    // outline writes a captions row first, the editor gives back data rows only.
    std::vector<std::string> CsvList;
    int BorderWidth = 1;
    TColor HighlightColour = 0x000080;  // "#800000"
    int FileCount = 0;
    TImageSizeInfo ImageSizeInfo;
    // The lines of the last report asked for over the command bus (callback 247).
    std::vector<std::string> ReportLines;
    bool AbortRequested = false;
    int TaggedCount = 0;
    // The frame that last put file names on the clipboard ("AssetList" or "FileView").
    std::string ClipboardSource;

    // Desktop services. Each is always set: until the program installs its own they say nothing,
    // answer No and send nowhere.
    IClock* Clock;
    IMessageSink* Messages;
    ICommandBus* CommandTarget;
    IProcessRunner* Runner;
    IReportViewer* Viewer;  // may be null: nobody shows the log
    IFileClipboard* Clipboard;
    ITrash* Trash;
    IAudioPlayer* Audio;
    // The text report library; null until the program installs one, and then never called.
    ITextLibrary* TextLibrary = nullptr;
    // The environment variable of that name, empty when unknown.
    std::function<std::string(const std::string&)> Environment;
    // Sets an environment variable for the macros and the programs started afterwards; an empty
    // value removes it. False when it could not be set.
    std::function<bool(const std::string& name, const std::string& value)> SetEnvironment;
    // The program the desktop associates with a file name, empty when none.
    std::function<std::string(const std::string&)> AssociatedProgram;

    void SendCommand(int code, std::string_view text) { CommandTarget->SendCommand(code, text); }
    void SendStatusText(int target, std::string_view text);

private:
    std::unique_ptr<TMemIni> settings_;
};

// The KUID text made usable in a file name ("%kuidf%"): its first "<" and ">" removed, ":" blanks.
std::string KuidForFileName(std::string_view kuid);

// The program's one state object.
TProgramState& Globals();

// Builds are held in tenths.
std::string FormatBuild(std::int32_t tenths);  // 25 -> "2.5"
std::int32_t ParseBuild(std::string_view text);  // "&" removed; a non-number gives 0
// The simulator folder of a build: its "Builds" value up to the first "-", expanded as a macro.
std::string BuildFolder(const TProgramState& state, std::int32_t tenths);

}  // namespace kelvarn
