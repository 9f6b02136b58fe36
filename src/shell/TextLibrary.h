// The text report library as the rest of the program sees it: one call that turns an asset file into
// lines of text (a mesh's chunks, a picture's header, a mesh's textures, an image's size ...), and the
// requests the command bus makes of it. The program installs one implementation at start-up
// (src/media/TextReportLibrary.h); with none installed nothing is ever asked of it.
#pragma once

#include <string>
#include <vector>

namespace kelvarn {

class TProgramState;

// The operations callers use.
enum TTextOperation : int {
    toFileDump = 1,          // ".im", ".pm", ".kin": the file's chunks as text
    toTgaHeader = 2,         // ".tga": the header fields
    toBmpHeader = 3,         // ".bmp": the header fields
    toAttachmentNames = 4,   // a mesh's attachment point names, one per line
    toMeshTextures = 9,      // a mesh's texture names, one per line
    toTextureProblems = 10,  // a mesh's textures in trouble, or "  none"
    toTextureDescriptor = 12,  // a ".texture" file's descriptor text
    toImageSize = 14,        // an image's width and height, one line each
};

class ITextLibrary {
public:
    virtual ~ITextLibrary() = default;
    // Runs `op` on `file` (a full path of any length). `lines` is emptied first and receives the
    // report. False when the operation is unknown or the file gives no report; what `lines` then holds
    // is only a hint of why.
    virtual bool CallTextLibrary(int op, const std::string& file, std::vector<std::string>& lines) = 0;
};

// Calls the program's library; false without calling when none is installed or `op` lies outside 1-14.
bool CallTextLibrary(TProgramState& state, int op, const std::string& file, std::vector<std::string>& lines);

// Callback 237: measures the image at `path` into state.ImageSizeInfo. With fewer than two lines back
// the record is zeroed; otherwise its path is `path` relative to the asset folder with "/" separators
// (the whole path with "/" separators when it lies elsewhere), its sides the two numbers.
void QueryImageSize(TProgramState& state, const std::string& path);

// Callback 238: the texture problems of the mesh at `path` into state.TextureProblems: the lines the
// library gives, or an empty list when it answers "  none" or nothing.
void QueryMeshTextureProblems(TProgramState& state, const std::string& path);

// Callback 247: `text` is an operation number, "|", a file name (which may itself hold "|"). The
// report goes into state.ReportLines, emptied first. A text whose operation is no number does nothing.
void TextCallRequest(TProgramState& state, const std::string& text);

// Where a report of `op` on the current file is shown: more than 20 lines go to the viewer window
// with the caption; fewer show in the alert strip of the image view (12, 14) or of the mesh view (the
// others) as the upper-cased caption above the lines.
struct TTextReportPlan {
    bool inViewer = false;
    bool inImageView = false;  // else the mesh view, when not in the viewer
    std::string alertText;
};
TTextReportPlan PlanTextReport(int op, const std::string& caption, const std::vector<std::string>& lines);

// The header report the editor shows for a file, by its extension: ".im", ".pm", ".kin" the file's
// chunks, ".tga" and ".bmp" the picture's header. Operation 0 for any other file.
struct TFileHeaderReport {
    int op = 0;
    std::string caption;
};
TFileHeaderReport FileHeaderReport(const std::string& path);

}  // namespace kelvarn
