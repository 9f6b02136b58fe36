#include "shell/Layout.h"

#include <algorithm>

#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {

namespace {
int ReadInt(const TMemIni& ini, const SettingKey& key) {
    const long long v = ReadSettingInt(ini, key);
    return static_cast<int>(std::clamp<long long>(v, -1000000, 1000000));
}
}  // namespace

bool IsViewerFrame(TFrameId id) {
    return id != TFrameId::AssetList && id != TFrameId::FileList && id != TFrameId::Outline;
}

TLayoutSettings ReadLayoutSettings(const TMemIni& ini) {
    TLayoutSettings layout;
    layout.restore = ReadSettingBool(ini, keys::Restore);
    // Nothing stored yet (a first start): the fixed defaults, not a window of no size.
    if (!layout.restore || !ini.ValueExists(keys::Width.section, keys::Width.key)) return layout;
    layout.top = ReadInt(ini, keys::Top);
    layout.left = ReadInt(ini, keys::Left);
    layout.width = ReadInt(ini, keys::Width);
    layout.height = ReadInt(ini, keys::Height);
    layout.assetWidth = std::max(ReadInt(ini, keys::AssetWidth), kMinAssetWidth);
    layout.assetHeight = std::max(ReadInt(ini, keys::AssetHeight), 0);
    switch (ReadInt(ini, keys::MaxMode)) {
        case 0:
            layout.mode = 0;
            layout.outlineHeight = std::max(ReadInt(ini, keys::OutlineHeight), 0);
            break;
        case 1:
            layout.mode = 1;  // the outline fills the right pane once its height is known
            break;
        case 2:
            layout.mode = 2;
            layout.outlineHeight = 0;
            break;
        default:
            break;  // mode 0 with the designed heights
    }
    return layout;
}

TBounds FitToScreen(const TBounds& bounds, const TBounds& screen) {
    TBounds fit = bounds;
    fit.width = std::clamp(bounds.width, 0, std::max(screen.width, 0));
    fit.height = std::clamp(bounds.height, 0, std::max(screen.height, 0));
    // 64-bit sums: stored positions may be anything.
    const long long right = static_cast<long long>(screen.left) + screen.width - fit.width;
    const long long bottom = static_cast<long long>(screen.top) + screen.height - fit.height;
    fit.left = static_cast<int>(std::clamp<long long>(bounds.left, screen.left, right));
    fit.top = static_cast<int>(std::clamp<long long>(bounds.top, screen.top, bottom));
    return fit;
}

void WriteLayoutSettings(TMemIni& ini, const TLayoutSettings& layout) {
    WriteSettingInt(ini, keys::Top, layout.top);
    WriteSettingInt(ini, keys::Left, layout.left);
    WriteSettingInt(ini, keys::Width, layout.width);
    WriteSettingInt(ini, keys::Height, layout.height);
    WriteSettingInt(ini, keys::AssetWidth, layout.assetWidth);
    WriteSettingInt(ini, keys::AssetHeight, layout.assetHeight);
    WriteSettingInt(ini, keys::OutlineHeight, layout.outlineHeight);
    WriteSettingInt(ini, keys::MaxMode, layout.mode);
}

int TLayoutModel::FullHeight() const { return std::max(rightPaneHeight - splitterHeight, 0); }

void TLayoutModel::ViewerMaximise(bool fromOutline) {
    if (rememberedHeight == 0) rememberedHeight = clientHeight / 2;
    if (outlineHeight > 0 && outlineHeight < FullHeight()) {
        rememberedHeight = outlineHeight;
        if (fromOutline) {
            outlineHeight = FullHeight();
            mode = 1;
        } else {
            outlineHeight = 0;
            mode = 2;
        }
    } else {
        outlineHeight = rememberedHeight;
        mode = 0;
    }
}

void TLayoutModel::FormResize(int newRightPaneHeight) {
    rightPaneHeight = newRightPaneHeight;
    switch (mode) {
        case 0:
            // The viewer panel keeps at least 100 pixels; a pane lower than that leaves no outline.
            if (outlineHeight > rightPaneHeight - 100) outlineHeight = std::max(rightPaneHeight - 100, 0);
            break;
        case 1:
            outlineHeight = FullHeight();
            break;
        default:
            outlineHeight = 0;
            break;
    }
}

bool TLayoutModel::LeaveViewerMaximised() {
    if (mode != 2) return false;
    ViewerMaximise(true);
    return true;
}

TFocusTarget FocusKeyTarget(int functionKey, int mode) {
    switch (functionKey) {
        case 5: return TFocusTarget::AssetList;
        case 6: return TFocusTarget::FileList;
        case 7: return mode == 0 || mode == 1 ? TFocusTarget::Outline : TFocusTarget::None;
        case 8: return mode == 0 || mode == 2 ? TFocusTarget::ActiveViewer : TFocusTarget::None;
        default: return TFocusTarget::None;
    }
}

TEscapeFlags EscapeFlags(bool editorBusy, bool outlineBusy) {
    TEscapeFlags flags;
    if (editorBusy)
        flags.programCancel = true;
    else if (outlineBusy)
        flags.outlineCancel = true;
    else
        flags.scanCancel = true;
    return flags;
}

TCtrlSTarget CtrlSTarget(TFocusKind focus, TFrameId activeViewer) {
    if (focus == TFocusKind::TextMemo) return TCtrlSTarget::TextView;
    if (activeViewer == TFrameId::TextureDescriptor) return TCtrlSTarget::TextureDescriptor;
    if (activeViewer == TFrameId::LevelOfDetail) return TCtrlSTarget::LevelOfDetail;
    if (focus == TFocusKind::OutlineTree) return TCtrlSTarget::Outline;
    if (focus == TFocusKind::ImageView) return TCtrlSTarget::ImageQuickSave;
    return TCtrlSTarget::None;
}

}  // namespace kelvarn
