// The image viewer's rules, apart from any widget: the mouse's hot zones, zoom and layout, the status
// description, the thumbnail choice, where a quick save goes, and the turns and flips.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "shell/Image32.h"

namespace kelvarn {

// What a click does in each of the 5 x 5 zones of a layer.
enum class THotAction { None, RotateLeft, RotateRight, Flip, Mirror, Mask, Zoom, Background };

// The viewer's cursors (resource numbers).
enum TImageCursor {
    crMask = 1001, crZoom = 1002, crBackground = 1003, crRotateLeft = 1004, crRotateRight = 1005, crFlip = 1006,
    crMirror = 1007
};

struct THotZone {
    THotAction Action = THotAction::None;
    int Cursor = 0;
    std::string_view Hint;
};

// The zone under (x, y) of a layer: column x * 5 div width, row y * 5 div height. The centre toggles
// the mask view of an image with alpha and zooms one without. A side of 0, or a point outside the
// layer, is no zone.
THotZone HotZone(int x, int y, int layerWidth, int layerHeight, bool hasAlpha);

// The zoom rule. Fit on: 1280 / width, at least 1. Fit off: 32 div width for images narrower than 32
// pixels, else 1.
double ZoomScale(int imageWidth, bool fit);
// The scale an image is shown at: the zoom rule's, reduced so that the image fits the panel.
double DisplayScale(double zoomScale, int imageWidth, int imageHeight, int panelWidth, int panelHeight);

// 0 single (no alpha), 1 side by side, 2 stacked. Stacked only when it shows the image strictly wider
// than side by side in the space (the image panel less the header's width, its height).
int ChooseLayout(bool hasAlpha, int imageWidth, int imageHeight, int spaceWidth, int spaceHeight);

// The status text of a shown picture; `bits` is the file's depth.
std::string DescribeImage(std::string_view path, const Image32& image, int bits);

// Which picture shows as an asset's thumbnail. `loads` says whether a file opens as a picture.
struct TThumbnailChoice {
    std::string Path;          // empty: nothing to show, clear the view
    bool Placeholder = false;  // the program's placeholder picture (shown stretched)
    bool Multiple = false;     // more than one 240 x 180 picture: "Multiple thumbnail images found"
};
using TPictureLoads = std::function<bool(const std::string& path)>;
// The asset folder's ".jpg" files (sub-folders too) whose headers say 240 x 180 and that load, by
// relative path ignoring case; of these the first of "$screenshot$.jpg", "screenshot.jpg",
// "thumbnail.jpg", "preview.jpg" in the asset folder itself, else the first. None: the placeholder
// when it exists.
TThumbnailChoice FindThumbnail(std::string_view assetFolder, std::string_view placeholder,
                               const TPictureLoads& loads = {});
// The default test of FindThumbnail: the file decodes as a JPEG.
bool JpegLoads(const std::string& path);

// Where "Save Image" (Ctrl+S) goes.
enum class TQuickSaveKind { Nothing, Screenshot, Jpeg, Bmp, Tga, SaveAs };
struct TQuickSaveRoute {
    TQuickSaveKind Kind = TQuickSaveKind::Nothing;
    std::string Target;
    bool AskName = false;  // the screenshot file exists already: ask for a name first
};
TQuickSaveRoute QuickSaveRoute(std::string_view path, std::string_view assetFolder, bool screenshot, bool modified);

// The viewer's turns: a mirror reverses each row, a flip the rows, a rotation turns by 90 degrees.
void MirrorImage(Image32& image);
void FlipImage(Image32& image);
void RotateImage(Image32& image, bool clockwise);

}  // namespace kelvarn
