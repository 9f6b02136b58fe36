// TWalnut: the tag definitions of the loaded asset's kind. It turns the sections of tags.xml that
// the kind loads into one tree of definition nodes, and answers, for a config path, the tag's
// definition (TTagSpec), the tags allowed below it and the mandatory ones. The outline, the tag
// editors, validation and scripts all ask it; the program has one, and each load replaces its tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagSpec.h"
#include "catalogue/TagsXml.h"

namespace kelvarn {

class TProgramState;

// The subsection nesting and the nodes one load may add are bounded: nested references could
// otherwise grow a tree without end.
inline constexpr int kMaxSubsectionDepth = 8;
inline constexpr std::size_t kMaxSpecNodes = 100000;

// One node of the definition tree: the root "config.txt" or an element of tags.xml.
class TSpecNode {
public:
    // Null for the root.
    const TXmlElement* Element() const { return element_; }
    const TSpecNode* Parent() const { return parent_; }
    const std::vector<TSpecNode*>& Children() const { return children_; }
    // The name a config path part is matched against ("config.txt" for the root).
    std::string_view Name() const;
    // The text the tree shows: the display name, and when the element has attributes a blank and
    // each attribute as "name=value" in double quotes, joined by ",", apostrophes removed.
    std::string Text() const;
    // "config.txt\" followed by the names of the node's ancestors below the root and its own.
    std::string ConfigPath() const;
    // The first child that matches a config name (MatchSpecName), or null.
    const TSpecNode* FindChild(std::string_view name) const;

private:
    friend class TSpecTreeBuilder;
    const TXmlElement* element_ = nullptr;
    const TSpecNode* parent_ = nullptr;
    std::vector<TSpecNode*> children_;
    // A node with many children (the top level holds a hundred) finds a plain name by a search:
    // the first child of each plain name, sorted by name, and the children named by a pattern
    // ("*" or "#"), in order.
    bool indexed_ = false;
    std::vector<std::pair<std::string_view, std::size_t>> plain_;
    std::vector<std::size_t> patterns_;
};

// Does a definition node match a config name? "*" matches any name; otherwise the name must be
// the node's, or, where the node's name holds "#", the name with the first "#" replaced by a number
// from 0 to the node's sequence.
bool MatchSpecName(const TSpecNode& node, std::string_view name);

// Is a build (in tenths) within a tag's window: from its introduced build up to, not including, its
// obsolete build, where an obsolete build of 0 means none (25.6)?
bool InBuildWindow(std::int32_t introduced, std::int32_t obsolete, std::int32_t build);

// The tree of one kind; immutable once built, so a kind's tree is kept and shared.
struct TSpecTree;

class TWalnut {
public:
    explicit TWalnut(TProgramState& state);
    // The walnut of the main window's asset tells the program state its kind chain and kind list;
    // another (the one a batch reviews each asset with) keeps them to itself.
    void SetPublishing(bool publishing) { publishing_ = publishing; }
    ~TWalnut();
    TWalnut(const TWalnut&) = delete;
    TWalnut& operator=(const TWalnut&) = delete;

    // "%bin%\tags.xml", expanded.
    std::string TagsFileName() const;

    // Builds the definition tree of a kind from the file (an empty kind, or one the file does not
    // list, loads the sections of "unknown"). Sets the kind chain, also into the program state's
    // KindChain, and the kind list. Returns the load's error, empty on success: a missing or
    // malformed file leaves the kinds and the tree empty; a tree that reaches kMaxSpecNodes keeps
    // what was loaded until then.
    std::string LoadTagSpec(std::string_view fileName, std::string_view kind);
    // The same from a file already parsed.
    std::string LoadTagSpec(std::shared_ptr<const TTagsXml> file, std::string_view kind);
    // The error of the last load, empty when it succeeded.
    const std::string& LoadError() const { return error_; }

    // The parsed file of the last load (null after a failed one).
    const std::shared_ptr<const TTagsXml>& File() const { return file_; }
    // The kinds of the file last loaded, sorted.
    const std::vector<std::string>& AssetKinds() const { return kinds_; }
    // The kind the tree was built for, after the fall-back to "unknown".
    const std::string& Kind() const { return kind_; }
    // The sections loaded, comma text: "USER-TAGS,BASE-ASSET,..." .
    const std::string& KindChain() const;
    // Config paths of the elements with required="1", in tree order.
    const std::vector<std::string>& RequiredTagPaths() const;
    // The root "config.txt"; null before the first load or after a failed one.
    const TSpecNode* Root() const;

    // The node of a config path ("\x", "x" and "config.txt\x" alike; a trailing "\" is ignored), or
    // null. Each part takes the first child that matches it.
    const TSpecNode* SpecNodeByPath(std::string_view path) const;
    // The definition of a config path. Paths below "extensions" that hold "user-tag" or
    // "user-table" are looked up as "config.txt\extensions\user-tag" or "...\user-table". `found`
    // is false when tags.xml does not describe the path; the result is then DefaultTagSpec().
    TTagSpec FindSpecNode(std::string_view path, bool& found) const;
    // A node's attributes as a TTagSpec (Path, Name and Value are left empty for the caller).
    TTagSpec ParseTagSpec(const TSpecNode& node) const;

    // Tag names that may be inserted below a container path at the active build.
    void ListAllowedTags(std::string_view path, std::vector<std::string>& list) const;
    // Tag names that the active build requires below a container path.
    void ListMandatoryTags(std::string_view path, std::vector<std::string>& list) const;

    // The names of every element nested in the named element of an XML file (see
    // TTagsXml::ListChildElements). Returns the file's error, empty on success.
    static std::string ListChildElements(std::string_view fileName, std::string_view element,
                                         std::vector<std::string>& list);
    // The definition as display lines, each "\tname=value".
    static void RenderSpecNode(const TTagSpec& spec, std::vector<std::string>& list);

private:
    void ListTags(std::string_view path, bool mandatory, std::vector<std::string>& list) const;
    void Fail(std::string error);

    TProgramState& state_;
    bool publishing_ = true;
    std::shared_ptr<const TTagsXml> file_;
    // Trees kept per kind for the file in file_.
    std::map<std::string, std::shared_ptr<const TSpecTree>, std::less<>> trees_;
    std::shared_ptr<const TSpecTree> tree_;
    std::vector<std::string> kinds_;
    std::string kind_;
    std::string error_;
};

}  // namespace kelvarn
