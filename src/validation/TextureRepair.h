// Texture repair: brings the images of one asset folder into the form the simulator takes. It converts
// ".texture" files to TGA images with descriptors, fixes image sizes and depths, merges separate alpha
// images, shrinks single-colour images, makes missing stock images, offers unreferenced images for
// deletion and points config values at descriptors.
//
// Each mode first finds (reads only: report lines, missing files, the files to change) and then fixes
// (backs up and writes). A report-only run finds alone; the corpus runner and the tests use it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TOutlineDocument;
class TProgramState;
struct TAssetCheck;

// The modes in the order an "all" run takes them.
inline constexpr std::string_view kTextureRepairModes[] = {"texture", "size",       "alpha",    "uniform",
                                                           "missing", "unreferenced", "duplicate"};

// Runs the mode (compared ignoring case; empty means "all") on the check's asset and gives the report:
// empty, or "." and the lines joined by CR LF and a tab. The config is the one whose images count as
// named and whose values "duplicate" changes; in script mode nobody is asked. `reportOnly` runs the
// find steps alone: no file and no config value changes. An unknown mode runs nothing and is named,
// with the modes, in the message (not informational).
std::string RepairTextures(const TAssetCheck& check, std::string_view mode, bool reportOnly = false);

// The same with the fields named one by one (the first form callers were given).
struct TTextureRepairContext {
    TProgramState& State;
    TOutlineDocument* Config = nullptr;  // required: the images it names, and "duplicate"'s edits
    std::string AssetFolder;
    bool ScriptMode = false;
    bool ReportOnly = false;
    std::function<void(std::size_t, std::size_t)> Progress;
};
std::string RepairTextures(const TTextureRepairContext& context, std::string_view mode);

// The menu's "Repair Textures": an undo point of the config, mode "all" on the folder, and the report
// (without its leading ".") logged under that title, so a quiet setting never hides a failure.
// Returns the report.
std::string RepairTexturesAndLog(TProgramState& state, TOutlineDocument& config, const std::string& folder);

// The images a config names: the unquoted value of every node whose value ends in ".tga", ".bmp" or
// ".jpg" (ignoring case), in tree order, the root included. Appends; duplicates kept.
void ListAssetImages(const TOutlineDocument& config, std::vector<std::string>& list);

// The uniform-image rewrite of a TGA: the same colour as an 8 x 8 picture whose first pixel has its
// first byte raised by one (255 becomes 254). Only uncompressed true-colour files (type 2) without an
// image ID or colour map, of depth 24 or 32 and at least 22 bytes, are rewritten; none for others.
std::optional<std::string> RewriteUniformTga(std::string_view bytes);

// The alpha merge's descriptor rewrite: in the "primary" line the first occurrence of `primary`, and
// in the "alpha" line the first occurrence of `alpha` (both compared ignoring case), become `merged`.
// Keys are matched ignoring case; other lines and the line ends stay as they are.
std::string RewriteDescriptorNames(std::string_view text, std::string_view primary, std::string_view alpha,
                                   std::string_view merged);

// The report's shape: the modes' lines joined, empty lines dropped, then "." and the lines joined by
// CR LF and a tab; empty when no line is left.
std::string JoinRepairReport(const std::vector<std::string>& lines);

}  // namespace kelvarn
