// Everything the mesh view decides without GL: the shown model, the display mode, the camera and how
// keys, mouse and wheel move it, the preset views, the extents of the mesh and of its attachment
// points, the guide and marker rules, the mesh information text and the settings. The GL widget owns
// one, forwards input to it and draws what it says.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "media/Model3D.h"
#include "media/TexturePlan.h"
#include "media/Vectors.h"
#include "shell/Strings.h"

namespace kelvarn {

class TMemIni;

// Minimum, maximum, size and centre of a box.
struct TExtents {
    TVector3 Min{}, Max{}, Size{}, Centre{};

    static TExtents FromBox(const TVector3& min, const TVector3& max);
    void Widen(const TVector3& point);  // also updates size and centre
    bool SameLimits(const TExtents& other) const { return Min == other.Min && Max == other.Max; }
};

enum TDisplayMode : int {
    dmTextured = 0,
    dmWireframe = 1,
    dmTextureList = 2,
    dmAttachmentPoints = 3,
    dmBumps = 4,
    dmSuspended = 5,
};

enum TPresetView : int { pvFree = 0, pvTop = 1, pvLeft = 2, pvRight = 3, pvFront = 4, pvBack = 5 };

enum class TViewKey { PageUp, PageDown, Left, Right, Up, Down, Other };
struct TKeyModifiers {
    bool Shift = false, Ctrl = false, Alt = false;
};

// Sizes of an attachment point's axis markers, in model units.
struct TMarkerSizes {
    float Arrow = 0, LetterOffset = 0, HeadBase = 0, HeadHalfWidth = 0, LetterHalfHeight = 0;
};

// What to do after drawing a frame failed.
struct TDrawFailure {
    bool ShowPlaceholder = false;  // show "%bin%\invisible.im" instead
    std::string Alert;
};

inline constexpr std::string_view kUnableToOpenMesh = "Unable to open mesh";
inline constexpr std::string_view kMeshCorruption = "Cannot display due to mesh corruption: ";
inline constexpr std::string_view kCannotDisplayTexture = "Cannot display texture: ";
// The scheme colours of the markers (their background halves): a point, and the selected point.
inline constexpr int kPointColourKind = 6;
inline constexpr int kSelectedPointColourKind = 7;

class TMeshViewState {
public:
    // The model shown (null before the first mesh).
    std::unique_ptr<T3DModel> Model;
    std::string FileName;
    bool Shown = false;   // a mesh has been shown
    bool Loaded = false;  // the last load succeeded; nothing is drawn otherwise
    bool NeedsRedraw = false;

    int DisplayMode = dmTextured;
    int SuspendedMode = dmTextured;  // the mode to return to from dmSuspended
    bool TextureListFlag = false;
    bool BumpOnlyFlag = false;

    float Elevation = 0, Azimuth = 0, Distance = 0, PanX = 0, PanY = 0;  // degrees, model units
    float FieldOfView = 45;
    int Preset = pvFree;
    int ViewWidth = 0, ViewHeight = 0;

    int PointSize = 7;       // 3..15
    float LineLevel = 0.5f;  // the grey of wireframe lines, 0..1
    bool Guides = false;     // bounding box and axes
    bool ShowAll = false;    // markers for every point, not only the selected one
    TColor Background = 0x808080;

    float LastX = 0, LastY = 0;
    bool MouseReady = false;  // mouse input is ignored until shortly after a load

    TExtents MeshExtents, PointExtents, ViewExtents;
    bool PointsInside = false;
    int SelectedPoint = -1;        // index into the model's attachment points, -1 for none
    std::string HighlightTexture;  // lower-case file-name part
    int Polycount = 0;             // set by the renderer after each full draw

    // Settings: background, guides, display mode (outside 0..5, or bumps without the bump flag: 0),
    // point size (clamped to 3..15) and line weight (clamped to 0..100, as hundredths).
    void ReadSettings(const TMemIni& settings, bool bumpSupport);
    // Writes display mode, point size and line weight (rounded); the main window flushes on close.
    void SaveOptions(TMemIni& settings) const;
    // A new background from the colour dialog, written back at once.
    void SetBackgroundColour(TMemIni& settings, TColor colour);

    // Shows a file: a suspended view returns to its remembered mode, the old model goes, the new one
    // loads with textures looked up beside it. Returns the alert to show ("Unable to open mesh" on
    // failure, with the reader's reason on a second line when it gives one; else empty); message boxes of the load are appended to `messages`.
    std::string ShowMesh(const std::string& fileName, ITextureSource* textures, TMessageList& messages);
    // After a frame failed to draw: show the placeholder instead, unless it is the placeholder that
    // failed (then nothing more is drawn).
    TDrawFailure DrawFailed(std::string_view placeholderPath);

    void Resize(int width, int height);
    float Aspect() const;  // width / height, 1 for an empty view

    // Input; each returns whether the view changed (and sets NeedsRedraw).
    bool KeyDown(TViewKey key, TKeyModifiers modifiers);
    bool MouseDown(float x, float y);
    bool MouseMove(bool leftButton, bool rightButton, float x, float y);
    bool MouseWheel(int delta);

    // Camera distances that fit a box: any direction, and looking along one axis.
    float Get3dExtents(float sx, float sy, float sz) const;
    float GetElevationExtents(float depth, float height, float width) const;
    // A preset view by the second letter of its button's name: T top, L left, R right, F front, B back,
    // Z zoom to bounds, P zoom to the point bounds (from the selector).
    void PresetViewClick(char letter);

    void GetPointBounds();
    void SetDisplayMode(int mode);

    // Selects a texture to highlight; returns the alert when the model has no such texture.
    std::string RenderTexture(std::string_view name);
    // Selects a point by name (none when no point has it) and shows the points.
    void RenderPoints(std::string_view name);
    // Is the object drawn textured while a texture is highlighted?
    bool IsHighlighted(const T3DObject& object) const;
    // The points to draw markers for.
    std::vector<int> MarkedPoints() const;

    // The "Mesh Information" text of the alert strip.
    std::string ImageInfoText() const;
    // (R + G + B) / 765 of the background; guides are white below 0.5, else black.
    float Brightness() const;
    TVector3 GuideColour() const;
    // The grey wireframe lines are drawn in: the line level, unless it would hardly differ from the
    // background.
    float WireGrey() const;
    // No mesh shown: after a file the view refuses, nothing of the one before stays.
    void ClearMesh();
    TMarkerSizes MarkerSizes() const;
    // How far from the view's centre anything is drawn: the view extents' box, the markers around
    // the points, and the guides' axes when they are shown.
    float SceneRadius() const;

private:
    void SaveMeshExtents();
    bool Changed(bool changed);
};

}  // namespace kelvarn
