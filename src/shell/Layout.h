// The main window's layout without the window: the ten panes and the orders in which the window calls
// them, the saved layout, the three layout modes with their switching, and the focus and save keys.
#pragma once

#include <array>
#include <string_view>

namespace kelvarn {

class TMemIni;

// The ten panes, in the order they are initialised and given the font.
enum class TFrameId {
    AssetList, FileList, Outline, Text, Mesh, Table, Image, TagCatalogue, TextureDescriptor, LevelOfDetail
};
inline constexpr int kFrameCount = 10;

inline constexpr std::array<TFrameId, kFrameCount> kInitOrder = {
    TFrameId::AssetList, TFrameId::FileList, TFrameId::Outline, TFrameId::Text, TFrameId::Mesh, TFrameId::Table,
    TFrameId::Image, TFrameId::TagCatalogue, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail};
inline constexpr std::array<TFrameId, kFrameCount> kCloseQueryOrder = {
    TFrameId::Text, TFrameId::Outline, TFrameId::FileList, TFrameId::Table, TFrameId::AssetList, TFrameId::Image,
    TFrameId::Mesh, TFrameId::TagCatalogue, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail};
inline constexpr std::array<TFrameId, kFrameCount> kCloseOrder = {
    TFrameId::Text, TFrameId::Outline, TFrameId::FileList, TFrameId::AssetList, TFrameId::Table, TFrameId::Image,
    TFrameId::Mesh, TFrameId::TagCatalogue, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail};
// "Clear all viewers".
inline constexpr std::array<TFrameId, 9> kClearAllOrder = {
    TFrameId::FileList, TFrameId::Outline, TFrameId::Text, TFrameId::Image, TFrameId::Table, TFrameId::Mesh,
    TFrameId::TagCatalogue, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail};

bool IsViewerFrame(TFrameId id);  // shown in the viewer panel

inline constexpr int kMinAssetWidth = 297;

// The window's layout as the settings give it ("Position" section). Without "Restore" the fixed
// defaults apply.
struct TLayoutSettings {
    bool restore = false;
    int top = 50, left = 50, width = 1024, height = 768;
    int assetWidth = kMinAssetWidth;  // never below 297
    int assetHeight = 250;
    int outlineHeight = 250;
    int mode = 0;  // 0 split, 1 outline maximised, 2 viewer maximised
};
TLayoutSettings ReadLayoutSettings(const TMemIni& ini);
// Writes the bounds, pane sizes and mode to "Position" (the caller flushes).
void WriteLayoutSettings(TMemIni& ini, const TLayoutSettings& layout);

// A window's place on the desktop, in pixels.
struct TBounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TBounds&) const = default;
};
// Saved bounds fitted to a screen's available area: never larger than it, and wholly on it.
TBounds FitToScreen(const TBounds& bounds, const TBounds& screen);

// The right pane's split between the outline and the viewer panel.
class TLayoutModel {
public:
    int mode = 0;
    int rememberedHeight = 0;  // the outline height to return to; 0 = not known yet
    int outlineHeight = 250;
    int rightPaneHeight = 0;
    int splitterHeight = 4;
    int clientHeight = 0;  // the main window's client height

    // The maximise buttons: the outline's (fromOutline) or any viewer's.
    void ViewerMaximise(bool fromOutline);
    // Keeps the mode's outline height after the right pane changed size.
    void FormResize(int newRightPaneHeight);
    // Back to the split layout when the viewer is maximised (commands that need the outline).
    // Returns whether it switched.
    bool LeaveViewerMaximised();

    int FullHeight() const;  // the right pane less the splitter, never negative
    bool SplitterVisible() const { return mode == 0; }
    bool OutlineButtonDown() const { return mode == 1; }
    bool ViewerButtonsDown() const { return mode == 2; }
};

// F5 to F8: where the focus goes in a layout mode.
enum class TFocusTarget { None, AssetList, FileList, Outline, ActiveViewer };
TFocusTarget FocusKeyTarget(int functionKey, int mode);

// Esc: which cancel flags are set. The script engine's abort flag is always set.
struct TEscapeFlags {
    bool programCancel = false;  // the tag editor window is busy
    bool outlineCancel = false;
    bool scanCancel = false;
    bool scriptAbort = true;
};
TEscapeFlags EscapeFlags(bool editorBusy, bool outlineBusy);

// Ctrl+S: who saves, first match.
enum class TCtrlSTarget { None, TextView, TextureDescriptor, LevelOfDetail, Outline, ImageQuickSave };
enum class TFocusKind { Other, TextMemo, OutlineTree, ImageView };
TCtrlSTarget CtrlSTarget(TFocusKind focus, TFrameId activeViewer);

// Callback 254: only the exact text "Lock" disables the left panes and the outline.
inline bool LockRequested(const std::string_view text) { return text == "Lock"; }

}  // namespace kelvarn
