#include "media/MeshViewState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "media/GlContext.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr float kZoomIn = 0.975f;
constexpr float kZoomOut = 1.025f;
constexpr float kMinWireContrast = 0.2f;
constexpr std::string_view kDashes = "\r\n------------------------------------------";

// A camera distance that frames nothing (a box of size 0, such as a mesh of points only) would leave
// the view matrix undefined and the markers without size.
float UsableDistance(float distance) { return distance > 0 && std::isfinite(distance) ? distance : 1.0f; }

float TwoTanHalf(float fieldOfView) { return 2.0f * std::tan(fieldOfView / 2.0f * std::numbers::pi_v<float> / 180.0f); }

}  // namespace

TExtents TExtents::FromBox(const TVector3& min, const TVector3& max) {
    TExtents e;
    e.Min = min;
    e.Max = max;
    e.Widen(min);
    return e;
}

void TExtents::Widen(const TVector3& point) {
    for (int k = 0; k < 3; ++k) {
        Min[k] = std::min(Min[k], point[k]);
        Max[k] = std::max(Max[k], point[k]);
        Size[k] = Max[k] - Min[k];
        Centre[k] = (Min[k] + Max[k]) / 2;
    }
}

void TMeshViewState::ReadSettings(const TMemIni& settings, bool bumpSupport) {
    Background = HexToColor(ReadSetting(settings, keys::MeshView)).value_or(0x808080);
    Distance = 0;
    FieldOfView = kDefaultFieldOfView;
    Guides = ReadSettingBool(settings, keys::BoundingBox);
    long long mode = ReadSettingInt(settings, keys::DisplayMode);
    // A mode the view cannot draw would show nothing at all.
    if (mode < dmTextured || mode > dmSuspended || (mode == dmBumps && !bumpSupport)) mode = dmTextured;
    PointSize = static_cast<int>(std::clamp<long long>(ReadSettingInt(settings, keys::PointSize), 3, 15));
    LineLevel = static_cast<float>(std::clamp<long long>(ReadSettingInt(settings, keys::LineWeight), 0, 100)) / 100.0f;
    SetDisplayMode(static_cast<int>(mode));
}

void TMeshViewState::SaveOptions(TMemIni& settings) const {
    WriteSettingInt(settings, keys::DisplayMode, DisplayMode);
    WriteSettingInt(settings, keys::PointSize, PointSize);
    // Rounded: 0.29 * 100 is 28.999..., which would lose a step on every save.
    WriteSettingInt(settings, keys::LineWeight, std::lround(LineLevel * 100.0f));
}

void TMeshViewState::SetBackgroundColour(TMemIni& settings, TColor colour) {
    Background = colour;
    WriteSetting(settings, keys::MeshView, ColorToHex(colour));
    NeedsRedraw = true;
}

std::string TMeshViewState::ShowMesh(const std::string& fileName, ITextureSource* textures, TMessageList& messages) {
    if (DisplayMode == dmSuspended) SetDisplayMode(SuspendedMode);
    FileName = fileName;
    Shown = true;
    MouseReady = false;
    SelectedPoint = -1;

    Loaded = false;
    NeedsRedraw = true;
    Preset = pvFree;
    Model = std::make_unique<T3DModel>();
    TModelLoadResult result = Model->LoadFromFile(fileName, textures);
    messages.insert(messages.end(), result.Messages.begin(), result.Messages.end());
    Loaded = result.Ok;
    PanX = PanY = 0;
    Elevation = 22.5f;
    Azimuth = -45;
    SaveMeshExtents();
    ViewExtents = MeshExtents;
    Distance = Get3dExtents(MeshExtents.Size[0], MeshExtents.Size[1], MeshExtents.Size[2]);
    if (Loaded) return {};
    // The reader's reason on a line of its own, so that a maker knows what to mend.
    return result.Error.empty() ? std::string(kUnableToOpenMesh) : std::string(kUnableToOpenMesh) + "\r\n" + result.Error;
}

TDrawFailure TMeshViewState::DrawFailed(std::string_view placeholderPath) {
    TDrawFailure failure;
    failure.Alert = std::string(kMeshCorruption) + ExtractFileName(FileName);
    // The placeholder failing too must not start the fallback over again.
    failure.ShowPlaceholder = FileName != placeholderPath;
    if (!failure.ShowPlaceholder) Loaded = false;
    return failure;
}

void TMeshViewState::SaveMeshExtents() {
    // A model without vertices keeps the box of the one shown before.
    if (Model && Model->Box()) MeshExtents = TExtents::FromBox(Model->Box()->Min, Model->Box()->Max);
}

void TMeshViewState::Resize(int width, int height) {
    ViewWidth = width;
    ViewHeight = height;
    NeedsRedraw = true;
}

float TMeshViewState::Aspect() const { return ViewAspect(ViewWidth, ViewHeight); }

bool TMeshViewState::Changed(bool changed) {
    if (changed) NeedsRedraw = true;
    return changed;
}

bool TMeshViewState::KeyDown(TViewKey key, TKeyModifiers modifiers) {
    auto zoom = [this](bool in) {
        if (!in)
            Distance *= kZoomOut;
        else if (Distance > 0.1f)
            Distance *= kZoomIn;
    };
    if (key == TViewKey::PageUp || key == TViewKey::PageDown) {
        zoom(key == TViewKey::PageUp);
        return Changed(true);
    }
    const bool arrow = key == TViewKey::Left || key == TViewKey::Right || key == TViewKey::Up || key == TViewKey::Down;
    if (!arrow) return false;
    const bool shiftOnly = modifiers.Shift && !modifiers.Ctrl && !modifiers.Alt;
    const bool ctrlOnly = modifiers.Ctrl && !modifiers.Shift && !modifiers.Alt;
    const bool none = !modifiers.Shift && !modifiers.Ctrl && !modifiers.Alt;
    if (shiftOnly) {
        if (key != TViewKey::Up && key != TViewKey::Down) return false;
        zoom(key == TViewKey::Up);
        if (Distance <= 0) Distance = 0.001f;
        return Changed(true);
    }
    if (ctrlOnly) {
        Preset = pvFree;
        const float step = Distance / 100;
        switch (key) {
            case TViewKey::Left: PanX += step; break;
            case TViewKey::Right: PanX -= step; break;
            case TViewKey::Up: PanY -= step; break;
            default: PanY += step; break;
        }
        return Changed(true);
    }
    if (none) {
        Preset = pvFree;
        switch (key) {
            case TViewKey::Left: Azimuth -= 1; break;
            case TViewKey::Right: Azimuth += 1; break;
            case TViewKey::Up: Elevation -= 1; break;
            default: Elevation += 1; break;
        }
        return Changed(true);
    }
    return false;
}

bool TMeshViewState::MouseDown(float x, float y) {
    if (!MouseReady) return false;
    Preset = pvFree;
    LastX = x;
    LastY = y;
    return false;
}

bool TMeshViewState::MouseMove(bool leftButton, bool rightButton, float x, float y) {
    if (!MouseReady || (!leftButton && !rightButton)) return false;
    if (leftButton) {
        Elevation += (y - LastY) / 5;
        Azimuth += (x - LastX) / 5;
    } else {
        PanX -= (x - LastX) * Distance / 1000;
        PanY += (y - LastY) * Distance / 1000;
    }
    LastX = x;
    LastY = y;
    return Changed(true);
}

bool TMeshViewState::MouseWheel(int delta) {
    Distance -= 0.00005f * Distance * static_cast<float>(delta);
    if (Distance <= 0) Distance = 0.01f;
    return Changed(delta != 0);
}

float TMeshViewState::Get3dExtents(float sx, float sy, float sz) const {
    float d = std::sqrt(sx * sx + sy * sy + sz * sz) / TwoTanHalf(FieldOfView);
    if (Aspect() < 1) d /= Aspect();
    return UsableDistance(d);
}

float TMeshViewState::GetElevationExtents(float depth, float height, float width) const {
    const float t = TwoTanHalf(FieldOfView);
    return UsableDistance(std::max(height / t, width / (t * Aspect())) + depth / 2);
}

void TMeshViewState::PresetViewClick(char letter) {
    const TVector3& s = ViewExtents.Size;
    auto distanceFor = [&](int preset) {
        switch (preset) {
            case pvTop: return GetElevationExtents(s[2], s[1], s[0]);
            case pvLeft:
            case pvRight: return GetElevationExtents(s[0], s[2], s[1]);
            case pvFront:
            case pvBack: return GetElevationExtents(s[1], s[2], s[0]);
            default: return Get3dExtents(s[0], s[1], s[2]);
        }
    };
    auto preset = [&](int view, float elevation, float azimuth) {
        Preset = view;
        Elevation = elevation;
        Azimuth = azimuth;
        Distance = distanceFor(view);
    };
    NeedsRedraw = true;
    if (letter == 'P') {
        Distance = Get3dExtents(s[0], s[1], s[2]);
        return;
    }
    PanX = PanY = 0;
    switch (letter) {
        case 'T': preset(pvTop, 90, 0); break;
        case 'L': preset(pvLeft, 0, -90); break;
        case 'R': preset(pvRight, 0, 90); break;
        case 'F': preset(pvFront, 0, 0); break;
        case 'B': preset(pvBack, 0, 180); break;
        case 'Z':
            if (Preset <= pvBack) Distance = distanceFor(Preset);
            break;
        default: break;
    }
}

void TMeshViewState::GetPointBounds() {
    PointExtents = MeshExtents;
    if (Model)
        for (const TAttachmentPoint& p : Model->Attachments())
            PointExtents.Widen({p.X, p.Y, p.Z});
    PointsInside = PointExtents.SameLimits(MeshExtents);
}

void TMeshViewState::SetDisplayMode(int mode) {
    TextureListFlag = false;
    BumpOnlyFlag = false;
    ViewExtents = MeshExtents;
    NeedsRedraw = true;
    switch (mode) {
        case dmTextureList: TextureListFlag = true; break;
        case dmAttachmentPoints:
            GetPointBounds();
            ViewExtents = PointExtents;
            // Points far from the geometry would be out of sight until a zoom: step back to frame them.
            if (!PointsInside)
                Distance = std::max(Distance, Get3dExtents(PointExtents.Size[0], PointExtents.Size[1], PointExtents.Size[2]));
            break;
        case dmBumps: BumpOnlyFlag = true; break;
        case dmSuspended:
            if (DisplayMode != dmSuspended) SuspendedMode = DisplayMode;
            break;
        default: break;
    }
    DisplayMode = mode;
}

std::string TMeshViewState::RenderTexture(std::string_view name) {
    const std::string wanted = TextureFileName(name);
    std::vector<std::string> names;
    if (Model) Model->ListTextures(names);
    const bool known = !wanted.empty() && std::any_of(names.begin(), names.end(),
                                                      [&](const std::string& n) { return SameText(n, wanted); });
    if (!known) return std::string(kCannotDisplayTexture) + std::string(name);
    HighlightTexture = wanted;
    SetDisplayMode(dmTextureList);
    return {};
}

void TMeshViewState::RenderPoints(std::string_view name) {
    SelectedPoint = -1;
    if (Model) {
        const auto& points = Model->Attachments();
        for (std::size_t i = 0; i < points.size(); ++i)
            if (points[i].Name == name) {
                SelectedPoint = static_cast<int>(i);
                break;
            }
    }
    SetDisplayMode(dmAttachmentPoints);
}

bool TMeshViewState::IsHighlighted(const T3DObject& object) const {
    return !HighlightTexture.empty() && SameText(object.Material.DiffuseFileName, HighlightTexture);
}

std::vector<int> TMeshViewState::MarkedPoints() const {
    std::vector<int> marked;
    const int count = Model ? static_cast<int>(Model->Attachments().size()) : 0;
    for (int i = 0; i < count; ++i)
        if (ShowAll || i == SelectedPoint) marked.push_back(i);
    return marked;
}

std::string TMeshViewState::ImageInfoText() const {
    auto row = [](std::string_view caption, const TVector3& v) {
        return std::string("\r\n") + std::string(caption) + "\t\t" + FormatDouble(v[0], 3) + "\t" +
               FormatDouble(v[1], 3) + "\t" + FormatDouble(v[2], 3);
    };
    std::string text = "Mesh Dimensions (metres): " + FileName;
    text += kDashes;
    text += "\r\nBounding Box\t    X\t    Y\t    Z";
    text += kDashes;
    text += row("Minimum", MeshExtents.Min);
    text += row("Maximum", MeshExtents.Max);
    text += row("Size", MeshExtents.Size);
    text += kDashes;
    text += "\r\nPolycount: \t" + std::to_string(Polycount);
    return text;
}

float TMeshViewState::Brightness() const {
    const unsigned sum = (Background & 0xFF) + ((Background >> 8) & 0xFF) + ((Background >> 16) & 0xFF);
    return static_cast<float>(sum) / 765.0f;
}

TVector3 TMeshViewState::GuideColour() const { return Brightness() < 0.5f ? TVector3{1, 1, 1} : TVector3{0, 0, 0}; }

float TMeshViewState::WireGrey() const {
    // Lines of nearly the background's grey (the defaults, 0.5 on #808080, are one) would not show:
    // they then take the guides' contrasting colour.
    if (std::fabs(LineLevel - Brightness()) >= kMinWireContrast) return LineLevel;
    return GuideColour()[0];
}

void TMeshViewState::ClearMesh() {
    Model.reset();
    FileName.clear();
    Loaded = false;
    Shown = false;
    SelectedPoint = -1;
    NeedsRedraw = true;
}

float TMeshViewState::SceneRadius() const {
    float radius = VectorLength(ViewExtents.Size) / 2;
    if (DisplayMode == dmAttachmentPoints) {
        const TMarkerSizes markers = MarkerSizes();
        radius += markers.LetterOffset + markers.LetterHalfHeight;
    }
    if (Guides) radius = std::max(radius, VectorLength(ViewExtents.Centre) + kAxisLength);
    return radius;
}

TMarkerSizes TMeshViewState::MarkerSizes() const {
    const float ps = static_cast<float>(PointSize) * 0.01f * Distance;
    return {ps, 1.2f * ps, 0.8f * ps, 0.06f * ps, 0.08f * ps};
}

}  // namespace kelvarn
