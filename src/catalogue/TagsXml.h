// tags.xml, parsed once and shared. The tag definitions, the tag catalogue and the option lists of
// "$" sources all read it, so it is read from disk only when the file has changed since the last
// read, and every reader works on the same immutable copy.
//
// The file as we read it: one root element; an element "KIND" whose children are the asset kinds,
// one empty element per kind (lower case) whose "inherit" attribute lists the sections the kind
// loads; the sections themselves, found by name anywhere outside "KIND"; blocks that "subsection"
// elements insert by name; and option lists. Only elements count: text, comments and processing
// instructions are ignored. An element without child elements is an empty element.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kelvarn {

// Limits for a file that is not ours: everything the parse keeps is bounded by them.
inline constexpr std::uint64_t kMaxTagsXmlBytes = 8ull << 20;
inline constexpr std::size_t kMaxTagsXmlElements = 200000;
inline constexpr std::size_t kMaxTagsXmlDepth = 64;

struct TXmlElement {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attributes;  // in file order
    std::vector<const TXmlElement*> Children;
    const TXmlElement* Parent = nullptr;

    // Derived once, for the tag definitions.
    // Display name: a name ending in "-id" (other than "product-id") is "*", every "N" is "#".
    std::string DisplayName;
    // The name a config path part is matched against: the display name, in lower case when the
    // element has attributes (a definition node's name is the text before its first blank).
    std::string MatchName;
    std::size_t NumberAt = std::string::npos;  // position of the first "#" in MatchName
    long long Sequence = 0;   // attribute sequence; 0 when absent or no number
    std::int32_t Introduced = 0, Obsolete = 0, Mandatory = 0;  // builds in tenths; 0 when absent
    bool Required = false;    // attribute required is "1"

    bool Empty() const { return Children.empty(); }
    // The value of an attribute, empty when absent.
    std::string_view Attribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
    // An empty element named "...subsection...": its first attribute names the block inserted in its
    // place, that attribute's value the depth limit.
    bool IsSubsection() const;
};

class TTagsXml {
public:
    // Parses the bytes of a tags.xml. On failure returns null and sets `error` to a message naming
    // the file, the line and the fault.
    static std::shared_ptr<const TTagsXml> Parse(std::string_view bytes, std::string_view fileName, std::string& error);
    // The file parsed, from the shared copy when the file has not changed since it was last read (a
    // failure is kept the same way, so a bad file is not parsed again and again).
    static std::shared_ptr<const TTagsXml> Load(std::string_view fileName, std::string& error);

    const std::string& FileName() const { return fileName_; }
    const TXmlElement* Root() const { return root_; }
    std::size_t ElementCount() const { return elements_.size(); }

    // The element "KIND" (null when the file has none) and the names of its children, sorted.
    const TXmlElement* KindElement() const { return kind_; }
    const std::vector<std::string>& AssetKinds() const { return kinds_; }
    bool IsAssetKind(std::string_view kind) const;
    // The sections a kind loads: "USER-TAGS", "BASE-ASSET", then the kind's inherit list. A kind
    // that "KIND" does not list loads the first two only.
    std::vector<std::string> InheritChain(std::string_view kind) const;

    // The first element of that name that has child elements, outside "KIND" (the sections, the
    // blocks of subsections and the option lists are found this way). Null when there is none.
    const TXmlElement* FindBlock(std::string_view name) const;
    // The names of every element nested in FindBlock(element), in file order. False when the list
    // stays empty.
    bool ListChildElements(std::string_view element, std::vector<std::string>& list) const;

private:
    TTagsXml() = default;

    std::string fileName_;
    std::deque<TXmlElement> elements_;
    const TXmlElement* root_ = nullptr;
    const TXmlElement* kind_ = nullptr;
    std::vector<std::string> kinds_;
    std::unordered_map<std::string_view, const TXmlElement*> blocks_;
};

// The display name of an element name (see TXmlElement::DisplayName).
std::string SpecDisplayName(std::string_view elementName);

}  // namespace kelvarn
