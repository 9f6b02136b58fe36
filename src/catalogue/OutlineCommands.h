// The operations particular to the outline's commands: the top-level order from SortOrder.txt and
// the alphabetic sort, the kind analysis and the tag changes a chosen kind implies, the KUID
// increment, and copy and paste of nodes. Each works on a document; the view and the script engine
// call them alike.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/OutlineHooks.h"
#include "catalogue/WalnutHooks.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TProgramState;

// --- top-level order

// SortOrder.txt: names that go to the top (in file order), a separator line, names that go to the
// bottom (in file order). ">" as the separator (not on the first line) sorts the top level
// alphabetically first; "@" does not; without a separator every name goes to the top.
struct TSortOrder {
    std::vector<std::string> top;
    std::vector<std::string> bottom;
    bool alphabetic = false;
};
TSortOrder ParseSortOrder(const std::vector<std::string>& lines);
// A SortOrder.txt larger than this is refused: it is a short list of tag names.
inline constexpr std::uint64_t kMaxSortOrderBytes = 1u << 20;

// "%bin%\SortOrder.txt", native.
std::string SortOrderFileName(const TProgramState& state);
// Moves the named top-level nodes (names compared ignoring case; the first node of a name counts)
// in one step. True when the order changed.
bool ReorderConfig(TOutlineDocument& document, const TSortOrder& order);
// The same from the file; nothing when it is missing. Returns an error text naming the file when it
// cannot be read.
std::string ReorderConfig(TOutlineDocument& document, const TProgramState& state);
// Sorts the node's children by their text, ignoring case; equal texts keep their order.
bool AlphaSortChildren(TOutlineDocument& document, TOutlineNode* node);

// --- kind analysis

// Classifies the asset: an empty `kind` is taken from the config (a top-level bogey makes a
// traincar, no kind at all scenery); scenery with trackside, bridges by height and track by its
// tags become the finer kinds the tag definitions know. `build` is in tenths (itrack below 29).
std::string AnalyseKind(const TOutlineDocument& document, std::string_view kind, std::int32_t build);
// The build the analysis judges track by: the config's own trainz-build, else the active build.
std::int32_t KindAnalysisBuild(const TOutlineDocument& document);
// A kind chosen for the kind tag: adjusts the tags that make the analysis yield it and returns the
// kind to store.
std::string TagDefaults(TOutlineDocument& document, std::string_view chosen);

// --- KUID

// Raises the version of a KUID of the user's own (the given node, else the top-level kuid tag); the
// kuid form becomes version 1 of the kuid2 form. Returns the failure, empty on success.
std::string IncrementKuid(TOutlineDocument& document, TOutlineNode* node, bool withUndo);

// --- copy and paste

struct TCopyEntry {
    std::string path;   // the node's config path (a container's with its trailing "\")
    std::string name;   // the node's name
    std::string value;  // TagValue of its text, quotes kept
    int level = 0;
    bool container = false;
    std::string text;   // the node's text as it stands
    bool comment = false;
};
// One copied node: a tag, or a container with every row of its own subtree.
struct TCopyBlock {
    bool container = false;
    int level = 0;
    std::vector<TCopyEntry> entries;
};

class TCopyList {
public:
    bool Empty() const { return blocks_.empty(); }
    std::size_t Count() const { return blocks_.size(); }
    void Clear() { blocks_.clear(); }
    void Append(const TOutlineDocument& document, const TOutlineNode* node);
    const std::vector<TCopyBlock>& Blocks() const { return blocks_; }
    // The list as text: "*Con:" or "*Tag:" and the level, then a path=value line per row.
    std::vector<std::string> Lines() const;

private:
    std::vector<TCopyBlock> blocks_;
};

// The copy list holds the node alone (never the root).
void CopyNode(const TOutlineDocument& document, const TOutlineNode* node, TCopyList& list);
// The copy list holds every visible tagged row at the node's level.
void CopyTaggedNodes(const TOutlineDocument& document, const TOutlineNode* node, TCopyList& list,
                     const std::function<bool(const TOutlineNode*)>& visible);
// Inserts every copied node before the anchor, after an undo snapshot: a tag as it was copied, a
// container with its whole subtree (empty containers and empty tags too), its non-empty values
// written by the automatic value kind. Names stay as written and comment marks stay. The list
// stays, so it can be pasted again.
bool PasteNodes(TOutlineDocument& document, TOutlineNode* anchor, const TCopyList& list);

// --- the hooks a document runs at load and after Delete Tagged

// The tag definitions' hooks with the outline's own parts: the top-level order from
// SortOrder.txt, and the kind analysis, whose kind is shown upper-cased in status panel 4 and whose tag
// definition is loaded.
class TOutlineCommandHooks : public TWalnutHooks {
public:
    TOutlineCommandHooks(TProgramState& state, TWalnut& walnut) : TWalnutHooks(walnut), state_(state) {}

    // The main window's outline shows its kind in the status bar; the editor's does not.
    bool ShowsKind = true;

    void ReorderConfig(TOutlineDocument& document) override;
    std::string AnalyseKind(TOutlineDocument& document) override;
    const std::string& AnalysedKind() const { return kind_; }

private:
    TProgramState& state_;
    std::string kind_;
};

}  // namespace kelvarn
