// The command bus: every frame, dialog and script routine talks to the main window through one
// synchronous call carrying a numeric code and one text. Codes 1000-2999 are command numbers; the
// others are callbacks (TCallbackCode).
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

enum TCallbackCode : int {
    ccInstance = 1,
    ccStatusText = 2,
    ccStatusIgnored = 3,
    ccNoAsset = 200,
    ccSelectAsset = 201,
    ccSaveFile = 202,
    ccBackupFile = 203,
    ccBackupAsset = 204,
    ccHomeFolders = 205,
    ccConfigEdited = 206,
    ccAlert = 207,
    ccShowFile = 220,
    ccShowPreview = 221,
    ccShowText = 222,
    ccShowTags = 223,
    ccShowTable = 224,
    ccHighlight = 226,
    ccListDependencies = 227,
    ccListChildren = 228,
    ccListAttachments = 229,
    ccListTagged = 230,
    ccNone = 231,
    ccContainerTable = 232,
    ccReloadAsset = 233,
    ccMarkAssetEdited = 234,
    ccFileSaved = 235,
    ccRefreshFiles = 236,
    ccImageSize = 237,
    ccMeshTextureProblems = 238,
    ccRebuildMenus = 239,
    ccOpenLink = 240,
    ccAddClonedAsset = 241,
    ccFinishClone = 242,
    ccAddNewAsset = 243,
    ccRunScript = 244,
    ccListTaggedOthers = 245,
    ccReloadFiles = 246,
    ccTextCall = 247,
    ccUndo = 248,
    ccShowTagsKeep = 249,
    ccCloseAlert = 250,
    ccDragState = 251,
    ccShowPoint = 252,
    ccShowTexture = 253,
    ccLock = 254,
};

// Status-text targets: -1 the window caption, 0 to 4 the status-bar panels.
enum TStatusTarget : int { stCaption = -1, stPanel0 = 0, stPanel1 = 1, stPanel2 = 2, stPanel3 = 3, stPanel4 = 4 };

// The receiving end (the main window). A send made while handling a send completes inside that call.
class ICommandBus {
public:
    virtual ~ICommandBus() = default;
    virtual void SendCommand(int code, std::string_view text) = 0;
};

// Records nothing and does nothing: the target before the main window exists.
class NullCommandBus final : public ICommandBus {
public:
    void SendCommand(int, std::string_view) override {}
};

// Whatever handles the messages (the main window's receiver).
class ICommandReceiver {
public:
    virtual ~ICommandReceiver() = default;
    virtual void ReceiveCommand(int code, const std::string& text) = 0;
};

// The program's bus: every send calls the one receiver synchronously, so the receiver's work is done
// when SendCommand returns, and a send made by a handler finishes inside that handler's call. A send
// made before a receiver is attached does nothing.
class TCommandBus final : public ICommandBus {
public:
    void SetReceiver(ICommandReceiver* receiver) { receiver_ = receiver; }
    ICommandReceiver* Receiver() const { return receiver_; }
    void SendCommand(int code, std::string_view text) override;
    // The same operation under the name the frames' senders use.
    void SendCommandToHandle(int code, std::string_view text) { SendCommand(code, text); }

private:
    ICommandReceiver* receiver_ = nullptr;
};

// The status text as sent with code 2: the target number, "|", the text.
std::string FormatStatusText(int target, std::string_view text);

}  // namespace kelvarn
