// Tag validation: every node of a config outline checked against the tag definitions of its kind
// for the active build. Faulty nodes get nfError, and a report block goes to the day's log.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagSpec.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TProgramState;
class TWalnut;

// Format codes: positions in TagTypeNames (1 container ... 27 hls).
using TFormatSet = std::bitset<32>;
inline constexpr int kPointFormat = 19;
TFormatSet AllFormats();     // 1 to 27: Validate Tags, Verify All
TFormatSet SyntaxFormats();  // 14 to 18 and 20 to 27: Tag Syntax
TFormatSet PointFormats();   // 19: Verify Attachments

// What one check works on.
struct TCheckContext {
    TProgramState& State;
    const TOutlineDocument& Document;
    const TWalnut& Walnut;
    std::string AssetFolder;
    std::int32_t Build = 0;  // the active build the config is judged at, in tenths
    // The option lines read so far, by source: the files and the config stay as they are while one
    // config is checked, so each list is read once per run.
    mutable std::map<std::string, std::vector<std::string>, std::less<>> Sources = {};
    // Region and era tags whose option list could not be found: not a fault of the asset, so the
    // run says it once instead of on each tag.
    mutable std::vector<std::string> UncheckedLists = {};
};

struct TVerifyRequest {
    TFormatSet Formats = AllFormats();
    // Called once per node with (done, total); false when the user pressed Escape.
    std::function<bool(std::size_t done, std::size_t total)> Progress;
};

// One thing the report says: a node's fault or notice, or a warning about the whole config.
struct TVerifyFinding {
    std::string Node;     // "[path value]"; empty for a warning about the whole config
    std::string Message;  // without the dot of an informational message
    bool Error = false;   // a fault of the asset (the node is marked); else a notice or warning
};

struct TVerifyReport {
    bool Cancelled = false;         // the user confirmed "Cancel Validation?": nothing logged
    std::string Title;              // "Verify Config (Build 2.9): N lines processed"
    std::vector<std::string> Lines; // as handed to the log
    std::vector<TVerifyFinding> Findings;
    std::string LogError;           // the log could not be written
};

// Validates the document, which shows the asset of `assetFolder`, against the walnut's definition
// at the program state's active build, marks the faulty nodes and logs the report. With point tags
// among the formats, the program state's AttachmentPoints is first filled from the mesh-table's meshes;
// a mesh that cannot be read is a warning.
TVerifyReport VerifyConfig(TProgramState& state, TOutlineDocument& document, const TWalnut& walnut,
                           std::string_view assetFolder, const TVerifyRequest& request = {});

// One node's report line ("[path value] message", or ".[path value] message" when informational),
// empty when the node is good.
std::string CheckTag(const TCheckContext& context, const TOutlineNode* node);

// Is the build within the tag's introduced and obsolete builds? An absent or zero obsolete build
// counts as 25.6.
bool InBuildRange(const TTagSpec& spec, std::int32_t build);

// The option-list checks; the options come from the spec's source.
std::string CheckEnum(const TCheckContext& context, std::string_view value, const TTagSpec& spec);
std::string CheckSet(const TCheckContext& context, std::string_view name, std::string_view value,
                     const TTagSpec& spec);

}  // namespace kelvarn
