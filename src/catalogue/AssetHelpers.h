// Helpers of the outline that look at the loaded config or at the image files of its folder: clearing
// error marks, the KUIDs the config depends on, the thumbnail table, and opening the asset in the
// simulator. They keep no state; each works on the outline and the folder it is given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TProgramState;

// Clears the error and deletion marks of every node; other flags stay.
void ClearErrorMarks(TOutlineDocument& document);

// Is the unquoted value a KUID or a list of KUIDs (split at commas and blanks), and nothing else? A
// text that mentions a KUID, a description say, refers to no asset.
bool IsKuidValue(std::string_view value);

// Adds to `list`, in row order and repeats included, the lower-cased unquoted value of every tag that
// refers to another asset by KUID (IsKuidValue). Passed over: the asset's own `kuid`, any tag whose name
// is part of "-ifasset.kuid.", and the entries of `obsolete-table`. The list is not emptied.
void ListDependencies(const TOutlineDocument& document, std::vector<std::string>& list);
// The answer to a request for the loaded asset's dependencies: the program state's DependencyKuids
// emptied, then filled by ListDependencies, so that it never holds an earlier asset's KUIDs.
void RefreshDependencyKuids(TProgramState& state, const TOutlineDocument& document);

// The one 240 x 180 JPEG below the folder (sizes through callback 237), relative to the folder with
// "/" separators; empty when there is none or there are several.
std::string FindThumbnailImage(TProgramState& state, std::string_view folder);

// The image for `name` below the folder, relative to it with "/" separators: a "<name>.texture"
// (named by its ".texture.txt"), else "<name>.tga", ".bmp" or ".jpg"; empty when none. An empty
// folder is refused with a message.
std::string FindArt(TProgramState& state, std::string_view folder, std::string_view name);

// Does an entry of the top-level `thumbnails` table, among the children of `thumbnails`, have this
// width and height? Values that are no number count as 0.
bool HasThumbnailSize(const TOutlineDocument& document, const TOutlineNode* thumbnails, int width, int height);

// Writes image, width and height into the first free entry number of the thumbnail table counting up
// from `firstNumber` (256 when 0 to 255 are taken), creating the table when needed.
void SetThumbnailTags(TOutlineDocument& document, const TOutlineNode* thumbnails, std::string_view imagePath,
                      int width, int height, int firstNumber);

// The program that opens the current asset in the simulator, and its one argument: "-" + the mode in
// lower case + "=" + the config's `kuid` value.
struct TSimulatorLaunch {
    std::string Program;
    std::string Argument;
};
TSimulatorLaunch SimulatorLaunch(const TProgramState& state, const TOutlineDocument& document, std::string_view mode);
// Starts it ("Driver", "Surveyor" or "Railyard") without waiting; a failure is shown as a message.
void LaunchSimulator(TProgramState& state, const TOutlineDocument& document, std::string_view mode);

// The hidden "CMP Error List..." item: kept so the menu's number has its command; it does nothing.
inline void CmpErrorList() {}

}  // namespace kelvarn
